// app/replay_file.cpp — a recorded battle as text: written line by line, read strictly
#include "app/replay_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ext/stdio_filebuf.h>
#include <sstream>
#include <vector>

#include "ai/computer.h"
#include "game/battle_map.h"
#include "game/regular_file.h"
#include "game/startup.h"
#include "rules/game_state.h"

namespace {

const char* const FORMAT_START = "kestrava-replay version=";
const char* const SIDE_NAMES[] = {"person", "computer", "greedy", "random", "squad"};   // by Commander
constexpr size_t LONGEST_LINE = 16384;             // the map line of a 50 × 50 map is under 11,000
constexpr int MOST_GIVEN = 100000;
constexpr int KEY_ENTER = 13;

// Each command's word, its kind and how many numbers follow it, with their range.
const struct CommandWord {
    const char* word;
    CommandKind kind;
    int numbers;
    int lo, hi;
} COMMAND_WORDS[] = {
    {"key", CMD_KEY, 1, 0, 255},
    {"keyup", CMD_KEY_UP, 1, 0, 255},
    {"special", CMD_SPECIAL, 1, 0, 255},
    {"specialup", CMD_SPECIAL_UP, 1, 0, 255},
    {"point", CMD_POINT, 2, -1, MAP_LIMIT - 1},
    {"click", CMD_CLICK, 2, -1, MAP_LIMIT - 1},
    {"entry", CMD_CLICK_ENTRY, 1, 1, 4},
    {"back", CMD_BACK, 0, 0, 0},
    {"zoom", CMD_ZOOM, 1, -1000, 1000},
    {"turn", CMD_TURN, 2, -100000, 100000},
    {"mode", CMD_CAMERA_MODE, 1, 1, 3},
};

const CommandWord* wordOf(CommandKind kind) {
    for (const CommandWord& w : COMMAND_WORDS)
        if (w.kind == kind) return &w;
    return nullptr;
}

// A whole number in lo…hi, written plainly: an optional minus and digits.
bool number(const std::string& text, long long lo, long long hi, long long& value) {
    if (text.empty() || text.size() > 20) return false;
    size_t k = text[0] == '-' ? 1 : 0;
    if (k == text.size()) return false;
    for (size_t i = k; i < text.size(); i++)
        if (text[i] < '0' || text[i] > '9') return false;
    errno = 0;
    value = std::strtoll(text.c_str(), nullptr, 10);
    return errno == 0 && value >= lo && value <= hi;
}

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// What measureMap says of the bytes, leaving the map in play as it was.
std::string mapProblem(const std::string& bytes, const Replay& replay) {
    FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "r");
    if (!file) return "the map cannot be read";
    const int rows = mapRows, cols = mapCols;
    const MapCheck check = measureMap(file);
    std::fclose(file);
    std::string problem;
    if (check != MAP_OK) problem = "the map is not one the game plays on";
    else if (!armiesFit(replay.counts)) problem = "the armies do not fit on the map";
    mapRows = rows;
    mapCols = cols;
    return problem;
}

class Reader {
public:
    Reader(std::istream& in, Replay& replay) : in(in), replay(replay) {}

    std::string read() {
        if (!headerLine()) return problem;
        replay.version = 0;
        for (int version = 1; version <= REPLAY_VERSION; version++)
            if (line == FORMAT_START + std::to_string(version)) replay.version = version;
        if (!replay.version) return fail("it is not a Kestrava replay (or not one this version plays)");
        headerLines.push_back(line);
        if (!header()) return problem;
        // Each value once, as the game writes it: no other spelling of the same replay.
        std::istringstream canonical(replayHeader(replay));
        int at = 0;
        for (std::string written; std::getline(canonical, written); at++)
            if (written != headerLines[at]) {
                number_ = at + 1;
                return fail("the line is not written as the game writes it");
            }
        for (;;) {
            if (!next()) return atEnd ? cutShort() : problem;
            std::vector<std::string> w = words(line);
            if (!w.empty() && w[0] == "end") return end(w);
            if (!entry(w)) return problem;
        }
    }

private:
    std::istream& in;
    Replay& replay;
    std::string line, problem;
    int number_ = 0;          // the line's number, from 1
    unsigned hash = FNV_START;
    unsigned hashBefore = FNV_START;   // of every byte before the current line
    bool lastWasPerson = false;
    bool lastWasCommand = false;
    bool atEnd = false;       // the file ended before the next line break
    std::vector<std::string> headerLines;

    std::string fail(const std::string& what) {
        problem = "line " + std::to_string(number_) + ": " + what;
        return problem;
    }
    bool bad(const std::string& what) {
        fail(what);
        return false;
    }

    // The next whole line, which must end with a line break. False at the
    // end of the file (atEnd; what came after the last break is left in
    // line), and on a line too long, which is then the problem.
    bool next() {
        line.clear();
        hashBefore = hash;
        number_++;
        for (int c; (c = in.get()) != EOF;) {
            if (c == '\n') {
                hash = fnv1a(line + "\n", hash);
                return true;
            }
            if (line.size() >= LONGEST_LINE) {
                fail("the line is too long");
                return false;
            }
            line += static_cast<char>(c);
        }
        atEnd = true;
        return false;
    }

    // A line of the header: without all of it there is no battle to play.
    bool headerLine() {
        if (next()) return true;
        if (atEnd) fail(number_ == 1 && line.empty() ? "the file is empty"
                                                     : "the file is cut short before the battle's start is whole");
        return false;
    }

    // The game that wrote the file was stopped: what it holds is played, up
    // to its last whole command. An Enter last may have started a new battle
    // whose seed was about to follow it; the replay stops before it.
    std::string cutShort() {
        const ReplayEntry* last = replay.entries.empty() ? nullptr : &replay.entries.back();
        if (last && !last->isSeed && !last->fromComputer && last->kind == CMD_KEY && last->values[0] == KEY_ENTER)
            replay.entries.pop_back();
        replay.cut = true;
        replay.endTick = replay.entries.empty() ? 0 : replay.entries.back().tick;
        return "";
    }

    bool expect(const char* name, size_t count, std::vector<std::string>& w) {
        if (!headerLine()) return false;
        headerLines.push_back(line);
        w = words(line);
        if (w.empty() || w[0] != name) return bad(std::string("the ") + name + " line is missing");
        if (w.size() != count + 1) {
            fail(std::string("the ") + name + " line does not hold " + std::to_string(count) + " values");
            return false;
        }
        return true;
    }

    bool header() {
        std::vector<std::string> w;
        long long value;
        if (!expect("seed", 1, w)) return false;
        if (!number(w[1], 0, UINT_MAX, value)) return bad("the seed is not a number from 0 to 4294967295");
        replay.seed = static_cast<unsigned>(value);
        if (!expect("armies", 11, w)) return false;
        if (!number(w[1], 0, MOST_GIVEN, value)) return bad("the count of arguments is not a number");
        replay.given = static_cast<int>(value);
        for (int k = 0; k < 10; k++) {
            if (!number(w[k + 2], INT_MIN, INT_MAX, value)) return bad("an army count is not a number");
            replay.counts[k] = static_cast<int>(value);
        }
        if (!expect("sides", 2, w)) return false;
        for (int player = 1; player <= 2; player++) {
            int side = -1;
            for (int k = 0; k < 5; k++)
                if (w[player] == SIDE_NAMES[k]) side = k;
            if (side < 0) return bad("a side is not person, computer, greedy, random or squad");
            replay.sides[player] = side;
        }
        if (replay.version >= 2) {
            if (!expect("levels", 2, w)) return false;
            for (int player = 1; player <= 2; player++) {
                replay.levels[player] = levelNamed(w[player].c_str());
                if (replay.levels[player] < 0) return bad("a level is not easy, normal or hard");
            }
        }
        if (!expect("map", 1, w)) return false;
        const std::string& hex = w[1];
        if (hex.size() % 2 != 0) return bad("the map is not whole bytes of hexadecimal");
        replay.map.clear();
        for (size_t i = 0; i < hex.size(); i += 2) {
            int high = hexDigit(hex[i]), low = hexDigit(hex[i + 1]);
            if (high < 0 || low < 0) return bad("the map is not whole bytes of hexadecimal");
            replay.map += static_cast<char>(high * 16 + low);
        }
        std::string wrong = mapProblem(replay.map, replay);
        if (!wrong.empty()) return bad(wrong);
        return true;
    }

    bool entry(const std::vector<std::string>& w) {
        long long tick;
        if (w.size() < 2 || !number(w[0], 0, MOST_BATTLE_TICKS, tick))
            return bad("the line does not start with a tick");
        const int64_t last = replay.entries.empty() ? 0 : replay.entries.back().tick;
        if (tick < last) return bad("the tick goes back");
        long long value;
        if (w[1] == "seed") {
            if (w.size() != 3 || !number(w[2], 0, UINT_MAX, value))
                return bad("the seed is not a number from 0 to 4294967295");
            if (!lastWasCommand) return bad("a seed follows no command");
            lastWasCommand = false;
            return add(ReplayEntry::seedOf(tick, static_cast<unsigned>(value)));
        }
        const bool person = w[1] == "person";
        if (!person && w[1] != "computer") return bad("the command is neither a person's nor the computer's");
        if (w.size() < 3) return bad("the command is missing");
        const CommandWord* word = nullptr;
        for (const CommandWord& c : COMMAND_WORDS)
            if (w[2] == c.word) word = &c;
        if (!word) return bad("there is no such command");
        if (!person && (word->kind != CMD_SPECIAL || tick == 0))
            return bad("the computer presses only special keys, and only during a tick");
        if (!person && lastWasPerson && tick == last)
            return bad("the computer's command comes after a person's of the same tick");
        if (w.size() != static_cast<size_t>(3 + word->numbers))
            return bad("the command does not hold " + std::to_string(word->numbers) + " values");
        int values[2] = {0, 0};
        for (int k = 0; k < word->numbers; k++) {
            if (!number(w[3 + k], word->lo, word->hi, value)) return bad("a value of the command is out of its range");
            values[k] = static_cast<int>(value);
        }
        // Every field given the values; ReplayEntry::of keeps those of the command's kind.
        const Command command{word->kind, values[0], values[0], values[1], values[0], values[1],
                              person ? FROM_PERSON : FROM_COMPUTER};
        lastWasPerson = person;
        lastWasCommand = true;
        return add(ReplayEntry::of(tick, command));
    }

    bool add(const ReplayEntry& e) {
        if (replayLine(e) != line) return bad("the line is not written as the game writes it");
        replay.entries.push_back(e);
        return true;
    }

    std::string end(const std::vector<std::string>& w) {
        long long tick;
        const int64_t last = replay.entries.empty() ? 0 : replay.entries.back().tick;
        if (w.size() != 3 || !number(w[1], 0, MOST_BATTLE_TICKS, tick)) return fail("the end line does not hold the last tick and the checksum");
        if (tick < last) return fail("the end comes before the last command");
        char expected[16];
        std::snprintf(expected, sizeof expected, "%08x", hashBefore);
        if (w[2] != expected) return fail("the checksum does not match: the file was changed after it was written");
        if (line != "end " + std::to_string(tick) + " " + expected) return fail("the line is not written as the game writes it");
        replay.endTick = tick;
        if (in.peek() != EOF) {
            number_++;
            return fail("there is more after the end line");
        }
        return "";
    }
};

}  // namespace

unsigned fnv1a(const std::string& bytes, unsigned hash) {
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

std::string replayHeader(const Replay& start) {
    std::ostringstream out;
    out << FORMAT_START << start.version << "\nseed " << start.seed << "\narmies " << start.given;
    for (int count : start.counts) out << ' ' << count;
    out << "\nsides " << SIDE_NAMES[start.sides[1]] << ' ' << SIDE_NAMES[start.sides[2]];
    if (start.version >= 2)
        out << "\nlevels " << LEVEL_SETUPS[start.levels[1]].name << ' ' << LEVEL_SETUPS[start.levels[2]].name;
    out << "\nmap ";
    static const char HEX[] = "0123456789abcdef";
    for (unsigned char c : start.map) out << HEX[c >> 4] << HEX[c & 15];
    out << '\n';
    return out.str();
}

ReplayEntry ReplayEntry::of(int64_t tick, const Command& c) {
    ReplayEntry e;
    e.tick = tick;
    e.kind = static_cast<uint8_t>(c.kind);
    e.fromComputer = c.source == FROM_COMPUTER;
    if (c.kind == CMD_POINT || c.kind == CMD_CLICK) {
        e.values[0] = c.row;
        e.values[1] = c.row < 0 ? -1 : c.col;
    } else if (c.kind == CMD_TURN) {
        e.values[0] = c.dx;
        e.values[1] = c.dy;
    } else {
        e.values[0] = c.code;
    }
    return e;
}

ReplayEntry ReplayEntry::seedOf(int64_t tick, unsigned seed) {
    ReplayEntry e;
    e.tick = tick;
    e.isSeed = true;
    e.values[0] = static_cast<int32_t>(seed);
    return e;
}

Command ReplayEntry::command() const {
    Command c{static_cast<CommandKind>(kind)};
    c.source = fromComputer ? FROM_COMPUTER : FROM_PERSON;
    if (c.kind == CMD_POINT || c.kind == CMD_CLICK) {
        c.row = values[0];
        c.col = values[1];
    } else if (c.kind == CMD_TURN) {
        c.dx = values[0];
        c.dy = values[1];
    } else {
        c.code = values[0];
    }
    return c;
}

std::string replayLine(const ReplayEntry& e) {
    std::ostringstream out;
    out << e.tick;
    if (e.isSeed) {
        out << " seed " << e.seed();
        return out.str();
    }
    const Command c = e.command();
    const CommandWord* word = wordOf(c.kind);
    out << (c.source == FROM_PERSON ? " person " : " computer ") << word->word;
    if (c.kind == CMD_POINT || c.kind == CMD_CLICK) out << ' ' << c.row << ' ' << (c.row < 0 ? -1 : c.col);
    else if (c.kind == CMD_TURN) out << ' ' << c.dx << ' ' << c.dy;
    else if (word->numbers == 1) out << ' ' << c.code;
    return out.str();
}

std::string readReplay(std::istream& in, Replay& replay) {
    replay = Replay();
    return Reader(in, replay).read();
}

std::string readReplayFile(const char* path, Replay& replay) {
    std::string problem;
    int file;
    if (openRegularFile(path, MOST_REPLAY_BYTES, "any replay the game plays", file, problem) != FILE_READABLE)
        return problem;
    // Read as it goes: a replay's commands are held, never its text.
    __gnu_cxx::stdio_filebuf<char> buffer(file, std::ios::in);
    std::istream in(&buffer);
    return readReplay(in, replay);
}
