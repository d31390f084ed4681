// rules/keyboard.h — the character keys
#pragma once

extern bool lightingOn;   // last state set by the l key

// The character keys' commands, as the window and the frame (its two v
// presses) give them.
void onKeyboard(unsigned char key, int x, int y);

// The window's keyboard callback: a key a person pressed. The first key
// after the victory banner's time puts it away (the quit keys still quit);
// after that Enter starts a new battle.
void onWindowKey(unsigned char key, int x, int y);
