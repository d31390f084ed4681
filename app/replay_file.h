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
//
// The recorder writes each line whole as it goes, and the end line when the
// game ends, so a file without its end line is a game that was stopped
// (killed, or the machine went down): it is played up to its last whole
// command, each line checked as any other, but without the checksum.
//
// Version 1, written before the computer had levels, has no levels line: its
// computer played at the normal level.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <iosfwd>
#include <string>

#include "ai/levels.h"
#include "app/input.h"

constexpr int REPLAY_VERSION = 2;

// One line after the header, in 24 bytes: a long replay holds millions of them.
struct ReplayEntry {
    int64_t tick = 0;
    int32_t values[2] = {0, 0};   // the command's numbers (code; row and column; dx and dy), or the seed
    uint8_t kind = CMD_KEY;       // a CommandKind
    bool    fromComputer = false;
    bool    isSeed = false;       // a new battle's seed rather than a command

    static ReplayEntry of(int64_t tick, const Command& command);
    static ReplayEntry seedOf(int64_t tick, unsigned seed);
    Command command() const;
    unsigned seed() const { return static_cast<unsigned>(values[0]); }
};

struct Replay {
    unsigned seed = 0;
    int given = 0;                    // army counts given on the command line; fewer than ten were typed
    std::array<int, 10> counts{};
    int version = REPLAY_VERSION;     // of the format; the recorder writes the latest
    int sides[3] = {};                // Commander of players 1 and 2; index 0 unused
    int levels[3] = {LEVEL_NORMAL, LEVEL_NORMAL, LEVEL_NORMAL};   // the computer's Level for each
    std::string map;                  // the map file's bytes
    std::deque<ReplayEntry> entries;  // a deque: growing it never holds two copies at once
    int64_t endTick = 0;
    bool cut = false;                 // no end line: endTick is the last whole command's
};

// The header's lines, for the recorder.
std::string replayHeader(const Replay& start);
// One entry's line, without its line break.
std::string replayLine(const ReplayEntry& entry);
// The checksum the end line carries: FNV-1a, 32 bits, continued from `hash`.
constexpr unsigned FNV_START = 2166136261u;
unsigned fnv1a(const std::string& bytes, unsigned hash);

// "" for a replay the game could have written, whole or cut short (see
// above), else the first problem, with its line number. Reads no further
// than that problem. Of a cut file, the line it ends in without a line break
// is left out, and so is a last Enter: the seed of the new battle it may
// have started would follow it.
std::string readReplay(std::istream& in, Replay& replay);
// The largest replay played: days of play with the mouse moving all along.
constexpr long long MOST_REPLAY_BYTES = 256LL << 20;
// readReplay of the file at path: only a regular file of at most MOST_REPLAY_BYTES.
std::string readReplayFile(const char* path, Replay& replay);
