// app/main.cpp — start-up on the console, then the window
#include <cstdio>

#include "app/window.h"
#include "game/startup.h"

int main(int argc, char** argv) {
    // The console is the game's report channel: every line should appear
    // when it is printed, also when the output goes to a pipe or a file.
    setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    startBattle(argc, argv);
    openWindow(argc, argv);
}
