// rules/keyboard.h — the character keys
#pragma once

extern bool lightingOn;   // last state set by the l key

void onKeyboard(unsigned char key, int x, int y);
