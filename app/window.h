// app/window.h — the window, its callback table and the frame
#pragma once

void createWindow(int argc, char** argv);  // the game's one window, full screen
// The window (unless the setup screen's is open), callbacks, GL state, textures, display lists.
void setUpWindow(int argc, char** argv);
// setUpWindow, then the event loop, which never returns; from the setup
// screen, whose loop is running, it returns to that loop with the battle set up.
void openWindow(int argc, char** argv);
void waitForNextFrame();   // sleeps until the next frame is due (app/pacing.h); the idle callback's first step
void onDisplay();
void onReshape(int width, int height);
