// app/main.cpp — the options, then start-up on the console, a kept battle taken up again or a
// recording played back, then the window
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "ai/computer.h"
#include "ai/levels.h"
#include "app/camera_follow.h"
#include "app/net_play.h"
#include "app/options.h"
#include "app/replay.h"
#include "app/settings.h"
#include "app/window.h"
#include "game/battle_map.h"
#include "game/startup.h"
#include "render/looks.h"
#include "save/battle_save.h"

namespace {

// Start-up as the recording's start-up went: the same seed, the same map
// (from a private copy of its bytes), the army counts given as they were
// given (typed on the console when fewer than ten were), so that it prints
// the same lines and places the same armies.
bool startReplayedBattle(const char* path, char* program) {
    Replay replay;
    const std::string problem = readReplayFile(path, replay);
    if (!problem.empty()) {
        std::printf("Cannot replay %s: %s.\n", path, problem.c_str());
        return false;
    }
    // Said apart from the console lines, which are the recorded game's own.
    if (replay.cut)
        std::fprintf(stderr, "%s has no end line: the recording stops at tick %lld, its last whole command.\n", path,
                     static_cast<long long>(replay.endTick));
    for (int player = 1; player <= 2; player++) {
        commander[player] = replay.sides[player];
        computerLevel[player] = replay.levels[player];
    }
    setenv("KESTRAVA_SEED", std::to_string(replay.seed).c_str(), 1);
    char mapCopy[] = "/tmp/kestrava-replay-map-XXXXXX";
    const int file = mkstemp(mapCopy);
    if (file < 0 || write(file, replay.map.data(), replay.map.size()) != static_cast<ssize_t>(replay.map.size())) {
        std::printf("Cannot replay %s: no room for a copy of its map in /tmp.\n", path);
        return false;
    }
    close(file);
    mapFile = mapCopy;
    std::vector<std::string> given(replay.given, "0");
    std::ostringstream typed;
    for (int k = 0; k < ARMY_COUNTS; k++) {
        if (replay.given >= ARMY_COUNTS) given[k] = std::to_string(replay.counts[k]);
        typed << replay.counts[k] << ' ';
    }
    std::istringstream console(typed.str());
    std::streambuf* keyboard = std::cin.rdbuf(console.rdbuf());
    std::vector<char*> args{program};
    for (std::string& arg : given) args.push_back(arg.data());
    startBattle(static_cast<int>(args.size()), args.data());
    std::cin.rdbuf(keyboard);
    unlink(mapCopy);
    mapFile = "WorldDesc.txt";
    startReplay(std::move(replay));
    return true;
}

// The header of the battle start-up has just placed, then the recording runs.
bool recordBattle(const char* path, int given) {
    Replay start;
    start.seed = battleSeed;
    start.given = given;
    std::copy(placedCounts.begin(), placedCounts.end(), start.counts.begin());
    for (int player = 1; player <= 2; player++) {
        start.sides[player] = commander[player];
        start.levels[player] = computerLevel[player];
    }
    std::string problem = readMapFile(mapFile, start.map);
    if (problem.empty() && startRecording(path, start, problem)) return true;
    std::printf("Cannot record into %s: %s.\n", path, problem.c_str());
    return false;
}

// What the network options cannot go with, or null.
const char* networkMisuse(const StartOptions& o) {
    const bool network = o.host || o.serve || o.join;
    if (o.host && o.serve) return "--host and --serve are two ways of running the one battle: give one.";
    if (o.join && (o.host || o.serve || o.resume || o.replayFile || o.recordFile || o.computerSide))
        return "--join plays a battle run elsewhere: it goes only with --side, --map and the armies.";
    if (o.side && !o.join) return "--side goes with --join.";
    if (network && o.join && !*o.join) return "--join takes HOST or HOST:PORT.";
    if (o.replayFile && network) return "--replay plays a recorded battle as it was: it takes nothing else.";
    if (o.host && o.computerSide)
        return "--host is for two players; --serve --computer 1 or 2 lets the computer take a side.";
    if (o.serve && o.computerSide && std::string(o.computerSide) == "both")
        return "--serve --computer both leaves no side to join.";
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    // The console is the game's report channel: every line should appear
    // when it is printed, also when the output goes to a pipe or a file.
    setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    StartOptions options;
    std::string problem;
    if (!readOptions(argc, argv, options, problem)) {
        std::cerr << "kestrava: " << problem << "\n\n" << USAGE;
        return 2;
    }
    if (options.help) {
        std::cout << USAGE;
        return 0;
    }
    if (options.listMaps) return listBundledMaps(std::cout) ? 0 : 1;
    if (const char* problem = networkMisuse(options)) {
        std::cerr << "kestrava: " << problem << "\n\n" << USAGE;
        return 2;
    }
    if (options.join) return joinBattle(options, argc, argv);
    if (options.replayFile &&
        (options.computerSide || options.level || options.resume || options.recordFile || options.map || options.firstArgument < argc)) {
        std::cerr << "kestrava: --replay plays a recorded battle as it was: it takes nothing else.\n\n" << USAGE;
        return 2;
    }
    if (options.recordFile && options.resume) {
        std::cerr << "kestrava: --record records a battle from its start, not one taken up again.\n\n" << USAGE;
        return 2;
    }
    if (options.recordFile) {
        const std::string refused =
            recordingTargetProblem(options.recordFile, options.map ? mapFileFor(options.map) : mapFile);
        if (!refused.empty()) {
            std::cerr << "kestrava: " << refused << "\n\n" << USAGE;
            return 2;
        }
    }
    if (options.map) {
        mapFile = mapFileFor(options.map);
        std::printf("The map: %s\n", mapFile.c_str());
    }
    if (options.computerSide) {
        if (!commandByComputer(options.computerSide)) {
            std::cout << "--computer takes the player it commands: 1, 2 or both." << std::endl;
            return 1;
        }
        computerPace = computerPaceSetting(std::getenv("KESTRAVA_COMPUTER_PACE"));
        if (options.level) playAtLevel(levelNamed(options.level));
    }
    // The program's name, then the arguments after the options.
    std::vector<char*> rest{argv[0]};
    rest.insert(rest.end(), argv + options.firstArgument, argv + argc);
    int restCount = static_cast<int>(rest.size());
    rest.push_back(nullptr);
    const bool networked = options.host || options.serve;
    if (options.replayFile) {
        if (!startReplayedBattle(options.replayFile, argv[0])) return 1;
    } else if (options.resume) {
        std::string line;
        bool resumed = resumeBattle(SAVE_FILE, line);
        std::printf("%s\n", line.c_str());
        if (!resumed) return 1;
    } else {
        startBattle(restCount, rest.data());
        if (options.recordFile && !networked && !recordBattle(options.recordFile, restCount - 1)) return 1;
    }
    if (networked) {
        // The recording starts in the process that runs the battle.
        auto record = [&] { return !options.recordFile || recordBattle(options.recordFile, restCount - 1); };
        return options.serve ? serveBattle(options, record) : hostBattle(options, record, restCount, rest.data());
    }
    if (commander[1] == BY_PERSON && commander[2] != BY_PERSON) personSide = 1;
    if (commander[2] == BY_PERSON && commander[1] != BY_PERSON) personSide = 2;
    for (int player = 1; player <= 2; player++) computerCommands[player] = commander[player] != BY_PERSON;
    startingView();
    if (!options.replayFile) loadSettings(SETTINGS_FILE);
    std::string claim;
    if (options.replayFile)
        keptFile = REPLAY_SAVE_FILE;
    else if (!claimSaveFolder(SAVE_FILE, claim))
        std::printf("%s\n", claim.c_str());
    openWindow(restCount, rest.data());
}
