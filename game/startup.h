// game/startup.h — everything before the window: seed, map, army counts, placement
#pragma once

// Runs start-up up to the hand-over to the window. Exits with status 1 on a
// bad map or armies that do not fit; prints usage and exits 0 for -h/--help.
void startBattle(int argc, char** argv);
