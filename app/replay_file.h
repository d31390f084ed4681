// app/replay_file.h — a recorded battle as text: its start and every command, each with its tick
//
//   kestrava-replay version=2
//   seed 1234                      the battle's seed
//   armies 10 2 2 2 2 2 2 2 2 2 2  how many army counts were given, then the ten placed
//   sides person computer          who commanded player 1 and player 2
//   levels normal hard             how well the computer played each (normal where it did not)
//   map 3131...23                  the map file's bytes, in hexadecimal
//   TICK person|computer COMMAND   one command that reached the dispatcher (see below)
//   TICK seed S                    the new battle the command before started was seeded with S
//   end TICK CHECKSUM              the last tick recorded, and FNV-1a of every byte before this line
//
// A command is `key C`, `keyup C`, `special C`, `specialup C`, `point ROW COL`,
// `click ROW COL`, `entry E`, `back`, `zoom N`, `turn DX DY` or `mode M`. A
// person's command came after tick TICK had run; the computer's during it.
// Version 1, written before the computer had levels, has no levels line: its
// computer played at the normal level.
#pragma once
#include <array>
#include <iosfwd>
#include <string>
#include <vector>

#include "ai/levels.h"
#include "app/input.h"

constexpr int REPLAY_VERSION = 2;

struct ReplayEntry {
    long     tick = 0;
    bool     isSeed = false;   // a new battle's seed rather than a command
    unsigned seed = 0;
    Command  command{CMD_KEY};
};

struct Replay {
    unsigned seed = 0;
    int given = 0;                    // army counts given on the command line; fewer than ten were typed
    std::array<int, 10> counts{};
    int version = REPLAY_VERSION;     // of the format; the recorder writes the latest
    int sides[3] = {};                // Commander of players 1 and 2; index 0 unused
    int levels[3] = {LEVEL_NORMAL, LEVEL_NORMAL, LEVEL_NORMAL};   // the computer's Level for each
    std::string map;                  // the map file's bytes
    std::vector<ReplayEntry> entries;
    long endTick = 0;
};

// The header's lines, for the recorder.
std::string replayHeader(const Replay& start);
// One entry's line, without its line break.
std::string replayLine(const ReplayEntry& entry);
// The checksum the end line carries: FNV-1a, 32 bits, continued from `hash`.
constexpr unsigned FNV_START = 2166136261u;
unsigned fnv1a(const std::string& bytes, unsigned hash);

// "" for a whole replay the game could have written, else the first problem,
// with its line number. Reads no further than that problem.
std::string readReplay(std::istream& in, Replay& replay);
// readReplay of the file at path: only a regular file of at most a bounded size.
std::string readReplayFile(const char* path, Replay& replay);
