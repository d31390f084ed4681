// app/setup.h — the setup screen (kestrava --setup): the map, both armies, who commands each side
// and how well the computer plays, the battle speed; and the command line those choices amount to
//
// Start hands that command line to the one start-up path the game's own
// command line takes, so a battle begun here is the battle the same options
// and numbers begin. The screen's keys and clicks come through the
// dispatcher (app/input.h) like every other input. No GL here; the screen
// is drawn by app/setup_screen.cpp.
#pragma once
#include <string>
#include <vector>

#include "game/battle_map.h"
#include "game/startup.h"

struct Command;

// No more of one class fits on the home rows of any map.
constexpr int MOST_CLASS_COUNT = 3 * MAP_LIMIT;

struct SetupMap {
    std::string name;            // as --map takes it
    int rows = 0, cols = 0;
    std::vector<int> terrain;    // rows × cols codes, row by row
    std::string character;       // a line on how it plays; empty for a map we know nothing of
};

struct SetupChoices {
    int map = 0;                                      // in setupMaps
    ArmyCounts counts{2, 2, 2, 2, 2, 2, 2, 2, 2, 2};  // the ten numbers, in their order
    bool computer[3] = {false, false, false};         // the computer commands player 1, 2; index 0 unused
    int level = 1;                                    // a Level (ai/levels.h), for every side the computer commands
    int speed = 1;                                    // the battle speed: 1, 2 or 4
};

// The rows the keys move through (Up and Down), each changed by Left and
// Right, Enter starting what the row is for (the battle, except on Resume and
// the replays).
enum SetupRow {
    ROW_MAP, ROW_COUNTS, ROW_COMMANDER = ROW_COUNTS + ARMY_COUNTS, ROW_LEVEL = ROW_COMMANDER + 2, ROW_SPEED,
    ROW_START, ROW_RESUME, ROW_REPLAYS, SETUP_ROWS
};

extern bool setupShowing;                      // the setup screen is up: the dispatcher hands it every command
extern SetupChoices setupChoices;
// The bundled maps that read as maps and the recordings in the run folder,
// by name; the screen offers the first MOST_SETUP_MAPS and MOST_SETUP_REPLAYS.
extern std::vector<SetupMap> setupMaps;
extern std::vector<std::string> setupReplays;
extern bool setupResumable;                    // a kept battle stands in the run folder
extern int setupFocus;                         // the SetupRow the keys act on
extern int setupReplay;                        // the replay the keys would watch, in setupReplays
// What Start, Resume or a replay does with its command line (the program's
// name first); main goes on to the battle with it.
extern void (*setupStarts)(const std::vector<std::string>& arguments);

// The maps, the replays and the kept battle, found in the run folder.
void findSetupFiles();

// The command line the choices amount to: --map NAME, --computer SIDE and
// --level NAME when the computer commands a side, then the ten counts.
std::vector<std::string> setupArguments(const SetupChoices& choices, const std::vector<SetupMap>& maps);
// Whether both armies fit on the chosen map's home rows, checked as start-up
// checks them (each side's units to place against three rows of its columns).
bool setupFits(const SetupChoices& choices, const std::vector<SetupMap>& maps);

// A key or click of the screen (the click already resolved to a control, as CMD_CHOOSE).
void setupCommand(const Command& command);
