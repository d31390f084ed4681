// rules/battle_log.cpp — the events of the battle, as the log panel lists them, and its console lines
#include "rules/battle_log.h"

#include <iostream>

#include "game/unit.h"

std::vector<LogEvent> battleLog;
int loggedEvents = 0;
void (*logWatcher)(const LogEvent& event) = nullptr;
void (*consoleWatcher)(const std::string& line, const Unit* actor) = nullptr;

LogUnit logUnit(const Unit& unit) { return {unit.player, unit.unitClass, unit.hero, unit.id}; }

void noteLog(LogEvent event) {
    event.serial = ++loggedEvents;
    if (static_cast<int>(battleLog.size()) >= LOG_LIMIT) battleLog.erase(battleLog.begin());
    battleLog.push_back(event);
    if (logWatcher) logWatcher(event);
}

void sayLine(const std::string& line, const Unit* actor) {
    std::cout << line << std::endl;
    if (consoleWatcher) consoleWatcher(line, actor);
}

void clearLog() { battleLog.clear(); }
