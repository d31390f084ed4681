// app/main.cpp — start-up on the console, then the window
#include "app/window.h"
#include "game/startup.h"

int main(int argc, char** argv) {
    startBattle(argc, argv);
    openWindow(argc, argv);
}
