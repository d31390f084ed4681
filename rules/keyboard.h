// rules/keyboard.h — the character keys that act on the battle
#pragma once

// t hands the keys to the other side, ending nothing; e ends the turn; m
// shows the next material on the choosing army during the hero choice; u
// takes back the steps of the unit that moved last (rules/takeback.h).
// Every other key does nothing here: the view's keys are the window's.
void onKeyboard(unsigned char key, int x, int y);
