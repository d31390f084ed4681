// app/main.cpp — start-up on the console, or a kept battle taken up again, then the window
#include <cstdio>
#include <cstring>
#include <string>

#include "ai/computer.h"
#include "app/window.h"
#include "game/startup.h"
#include "render/looks.h"
#include "save/battle_save.h"

int main(int argc, char** argv) {
    // The console is the game's report channel: every line should appear
    // when it is printed, also when the output goes to a pipe or a file.
    setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    argc = takeComputerOption(argc, argv);
    if (commander[1] == BY_PERSON && commander[2] != BY_PERSON) personSide = 1;
    if (commander[2] == BY_PERSON && commander[1] != BY_PERSON) personSide = 2;
    if (argc >= 2 && std::strcmp(argv[1], "--resume") == 0) {
        std::string line;
        bool resumed = resumeBattle(SAVE_FILE, line);
        std::printf("%s\n", line.c_str());
        if (!resumed) return 1;
    } else {
        startBattle(argc, argv);
    }
    std::string claim;
    if (!claimSaveFolder(SAVE_FILE, claim)) std::printf("%s\n", claim.c_str());
    openWindow(argc, argv);
}
