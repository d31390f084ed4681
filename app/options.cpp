// app/options.cpp — the command line's options: one table, read before the army counts
#include "app/options.h"

#include <cstdlib>
#include <cstring>

#include "ai/levels.h"

const char* const USAGE =
    "Usage: kestrava [--computer 1|2|both [--level easy|normal|hard]] [--map NAME|FILE] [--record FILE]\n"
    "                [AP1 FP1 LP1 HP1 MP1 AP2 FP2 LP2 HP2 MP2]\n"
    "       kestrava [--computer 1|2|both [--level easy|normal|hard]] --resume\n"
    "       kestrava --replay FILE\n"
    "       kestrava --maps\n"
    "       kestrava --host [PORT] | --serve [PORT] [--computer 1|2] [--map NAME|FILE] [--record FILE] [ARMIES]\n"
    "       kestrava --join HOST[:PORT] [--side 1|2] [--map NAME|FILE] [ARMIES]\n"
    "\n"
    "Kestrava is a two-player hot-seat tactics game. The ten numbers are the\n"
    "sizes of both armies: player 1's Archers, Fighters, Fliers, Healers and\n"
    "Mages, then player 2's in the same order. With fewer than ten the game\n"
    "asks for them on the console; numbers after the tenth are ignored.\n"
    "Options come first, before the numbers.\n"
    "\n"
    "--computer lets the computer command player 1, player 2, or both while\n"
    "you watch. It presses the keys a person would, one about every 0.15 s,\n"
    "faster when many units must act, and w in the window makes it four times\n"
    "as fast; KESTRAVA_COMPUTER_PACE=<seconds> sets another pace, 0 for as\n"
    "fast as the frames come.\n"
    "\n"
    "--level sets how well the computer plays: easy makes a beginner's\n"
    "mistakes, normal is the default, hard is the strongest and thinks longer.\n"
    "\n"
    "Read from the current folder: the map WorldDesc.txt and the pictures\n"
    "under images/. --map plays on another map instead: a NAME from maps/\n"
    "(--maps lists them with their sizes) or any map FILE.\n"
    "\n"
    "After every action the battle is kept in kestrava-save.txt there;\n"
    "--resume takes it up again where it stood, without asking for armies.\n"
    "\n"
    "KESTRAVA_SEED=<0 to 4294967295> seeds the random generator instead of the\n"
    "clock, so that the same battle can be played again.\n"
    "\n"
    "KESTRAVA_MAX_FPS=<0 to 1000> caps the frames drawn per second (60 by\n"
    "default; 0 draws them as fast as the machine can). KESTRAVA_VOLUME=<0 to\n"
    "100> sets the loudness (100 by default). A setting out of its range is\n"
    "said once and the default kept.\n"
    "\n"
    "--record FILE writes the battle's start and every key, click and computer\n"
    "move into FILE; --replay FILE plays it back in the window, the same battle\n"
    "to the same end. While it plays, space pauses, g doubles the speed (up to\n"
    "eight times, then back to its own), q or Esc quits. A recording whose game\n"
    "was stopped plays up to its last whole command.\n"
    "\n"
    "Over the network (UDP port 7531 unless PORT says otherwise): --host plays\n"
    "player 1 in this window and waits for player 2 to --join from another\n"
    "machine; --serve runs the battle without a window for two players who\n"
    "join, or one when --computer takes the other side. A joiner sees its own\n"
    "side's sight only; its ARMIES and --map, when given, must be the host's.\n";

namespace {

// Every option the game knows: its name, whether the next argument is its
// value, what that value must be (nullptr: checked where it is used), and
// what it sets. A value that is missing, or that starts with "--" (the value
// forgotten, the next option taken for it), is refused with what it must be.
// A new option is one more row.
const struct Option {
    const char* name;
    bool        takesValue;
    const char* valueIs;
    void (*take)(StartOptions& options, const char* value);
} OPTIONS[] = {
    {"--computer", true, nullptr, [](StartOptions& o, const char* side) { o.computerSide = side; }},
    {"--level", true, "easy, normal or hard", [](StartOptions& o, const char* name) { o.level = name; }},
    {"--resume", false, nullptr, [](StartOptions& o, const char*) { o.resume = true; }},
    {"--help", false, nullptr, [](StartOptions& o, const char*) { o.help = true; }},
    {"--map", true, "a map: a name from maps/ or a map file",
     [](StartOptions& o, const char* nameOrPath) { o.map = nameOrPath; }},
    {"--maps", false, nullptr, [](StartOptions& o, const char*) { o.listMaps = true; }},
    {"--record", true, "the file to record into", [](StartOptions& o, const char* file) { o.recordFile = file; }},
    {"--replay", true, "a recorded battle's file", [](StartOptions& o, const char* file) { o.replayFile = file; }},
    {"--host", false, nullptr, [](StartOptions& o, const char*) { o.host = true; }},
    {"--serve", false, nullptr, [](StartOptions& o, const char*) { o.serve = true; }},
    {"--join", true, "the host to join: HOST or HOST:PORT", [](StartOptions& o, const char* address) { o.join = address; }},
    {"--side", true, "the side to play: 1 or 2", [](StartOptions& o, const char* side) { o.side = side; }},
};

bool looksLikePort(const char* argument) {
    char* end = nullptr;
    const long value = std::strtol(argument, &end, 10);
    return *argument && !*end && value >= 1024 && value <= 65535;
}

const Option* optionNamed(const char* name) {
    for (const Option& option : OPTIONS)
        if (std::strcmp(option.name, name) == 0) return &option;
    return nullptr;
}

bool looksLikeOption(const char* argument) { return std::strncmp(argument, "--", 2) == 0; }

}  // namespace

bool readOptions(int argc, char** argv, StartOptions& options, std::string& problem) {
    options = StartOptions();
    bool given[sizeof OPTIONS / sizeof OPTIONS[0]] = {};
    int k = 1;
    for (; k < argc && looksLikeOption(argv[k]); k++) {
        const Option* option = optionNamed(argv[k]);
        if (!option) {
            problem = std::string("there is no option ") + argv[k] + ".";
            return false;
        }
        bool& again = given[option - OPTIONS];
        if (again) {
            problem = std::string(argv[k]) + " is given twice.";
            return false;
        }
        again = true;
        const char* value = "";
        if (option->takesValue && k + 1 < argc) value = argv[++k];
        if (option->valueIs && (!*value || looksLikeOption(value))) {
            problem = std::string(option->name) + " takes " + option->valueIs + ".";
            return false;
        }
        option->take(options, value);
        if ((options.host || options.serve) && !options.port && k + 1 < argc && looksLikePort(argv[k + 1]) &&
            (std::strcmp(option->name, "--host") == 0 || std::strcmp(option->name, "--serve") == 0))
            options.port = argv[++k];
    }
    options.firstArgument = k;
    for (; k < argc; k++) {
        if (!looksLikeOption(argv[k])) continue;
        problem = optionNamed(argv[k]) ? std::string(argv[k]) + " must come before the army counts."
                                       : std::string("there is no option ") + argv[k] + ".";
        return false;
    }
    if (options.map && options.resume) {
        problem = "--map cannot go with --resume: the kept battle holds its own map.";
        return false;
    }
    if (options.level && levelNamed(options.level) < 0) {
        problem = "--level takes easy, normal or hard.";
        return false;
    }
    if (options.level && !options.computerSide) {
        problem = "--level goes with --computer: it sets how well the computer plays.";
        return false;
    }
    if (argc - options.firstArgument == 1 && std::strcmp(argv[options.firstArgument], "-h") == 0) options.help = true;
    return true;
}
