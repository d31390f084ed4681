// rules/battle_log.cpp — the events of the battle, as the log panel lists them
#include "rules/battle_log.h"

#include "game/unit.h"

std::vector<LogEvent> battleLog;
int loggedEvents = 0;

LogUnit logUnit(const Unit& unit) { return {unit.player, unit.unitClass, unit.hero}; }

void noteLog(LogEvent event) {
    event.serial = ++loggedEvents;
    if (static_cast<int>(battleLog.size()) >= LOG_LIMIT) battleLog.erase(battleLog.begin());
    battleLog.push_back(event);
}

void clearLog() { battleLog.clear(); }
