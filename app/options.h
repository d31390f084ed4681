// app/options.h — the command line's options: one table, read before the army counts
#pragma once
#include <string>

// What the options asked for. The arguments after them are read as before:
// the army counts, or nothing after --resume.
struct StartOptions {
    const char* computerSide = nullptr;   // --computer SIDE: the side as given, checked by the computer player
    const char* level = nullptr;          // --level NAME: how well the computer plays, one of the level names
    bool resume = false;                  // --resume
    const char* map = nullptr;            // --map NAME_OR_PATH: the battlefield instead of WorldDesc.txt
    bool listMaps = false;                // --maps
    const char* recordFile = nullptr;     // --record FILE: every command of the battle, written there
    const char* replayFile = nullptr;     // --replay FILE: a recorded battle played back
    bool host = false;                    // --host [PORT]: a battle over the network, this window player 1
    bool serve = false;                   // --serve [PORT]: a battle over the network, without a window
    const char* port = nullptr;           // the PORT of --host or --serve, when given
    const char* join = nullptr;           // --join HOST[:PORT]: this window commands a side of that battle
    const char* side = nullptr;           // --side 1|2: the side a joiner asks for
    bool help = false;                    // --help, or -h as the only argument left
    int  firstArgument = 1;               // index in argv of the first argument that is no option
};

extern const char* const USAGE;

// Takes the options off the front of the arguments, in any order, each at
// most once, with the value an option takes (an option at the very end is
// given an empty value); --host and --serve take the next argument as their
// PORT when it is a whole number of 1024 or more, which no army count is.
// Refused, with the reason in `problem`: an argument
// that starts with "--" and is no option, or a known option given again or
// after the first argument that is none; --map, --record or --replay without
// its value, or with one that starts with "--"; and --map with --resume (the
// kept battle holds its own map); --level without --computer or naming no
// level.
bool readOptions(int argc, char** argv, StartOptions& options, std::string& problem);
