// app/window.h — the window, its callback table and the frame
#pragma once

void setUpWindow(int argc, char** argv);   // window, callbacks, GL state, textures, display lists
void openWindow(int argc, char** argv);    // setUpWindow, then the event loop; never returns
void waitForNextFrame();   // sleeps until the next frame is due (app/pacing.h); the idle callback's first step
void onDisplay();
void onReshape(int width, int height);
