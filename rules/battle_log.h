// rules/battle_log.h — what happened in the battle, for the log panel to put into words
//
// The rules note each event where its outcome shows and its console lines
// are printed; the frame words it for the side watching. Noting changes
// nothing else, and anything else that learns of an event (a peer over the
// network) may note it the same way.
#pragma once
#include <vector>
struct Unit;

enum LogKind {
    LOG_HIT,      // actor's blow struck target: amount hit points, with the class table's matchup
    LOG_MISS,     // actor's blow at target missed
    LOG_HEAL,     // actor healed target by amount hit points
    LOG_DEFEND,   // actor defended and got amount hit points back
    LOG_FALL,     // target fell (a hero: the battle is won)
    LOG_TURN,     // the turn passed to player actor.player
};

struct LogUnit {
    int  player = 0;
    int  unitClass = 0;
    bool hero = false;
};

struct LogEvent {
    LogKind kind = LOG_TURN;
    LogUnit actor{}, target{};
    int  amount = 0;
    int  matchup = 0;       // +1 the class table's bonus damage, -1 its lesser damage, 0 neither
    bool special = false;   // Skills or Magic
    int  serial = 0;        // set by noteLog: 1 for the first event since start-up, and on
};

constexpr int LOG_LIMIT = 40;             // the oldest are dropped beyond this
extern std::vector<LogEvent> battleLog;   // this battle's events, oldest first
extern int loggedEvents;                  // events noted since start-up: the newest one's serial

LogUnit logUnit(const Unit& unit);
void noteLog(LogEvent event);
void clearLog();   // a new battle: nothing of the last one; the serials go on
