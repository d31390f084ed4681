// app/setup_screen.h — the setup screen in the game's window: drawn from render/setup_layout.h,
// its keys and clicks handed to the dispatcher
#pragma once

// Opens the window on the setup screen and runs the event loop; Start,
// Resume or a replay goes on to the battle in the same window (setupStarts).
void openSetupWindow(int argc, char** argv);

void drawSetupScreen();   // the whole screen, in the window's pixels
