// app/main.cpp — the options, then start-up on the console or a kept battle taken up again, then the window
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "ai/computer.h"
#include "app/options.h"
#include "app/window.h"
#include "game/battle_map.h"
#include "game/startup.h"
#include "render/looks.h"
#include "save/battle_save.h"

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
    }
    if (commander[1] == BY_PERSON && commander[2] != BY_PERSON) personSide = 1;
    if (commander[2] == BY_PERSON && commander[1] != BY_PERSON) personSide = 2;
    // The program's name, then the arguments after the options.
    std::vector<char*> rest{argv[0]};
    rest.insert(rest.end(), argv + options.firstArgument, argv + argc);
    int restCount = static_cast<int>(rest.size());
    rest.push_back(nullptr);
    if (options.resume) {
        std::string line;
        bool resumed = resumeBattle(SAVE_FILE, line);
        std::printf("%s\n", line.c_str());
        if (!resumed) return 1;
    } else {
        startBattle(restCount, rest.data());
    }
    std::string claim;
    if (!claimSaveFolder(SAVE_FILE, claim)) std::printf("%s\n", claim.c_str());
    openWindow(restCount, rest.data());
}
