// app/replay.h — recording every command that reaches the battle, and playing a recording back
#pragma once
#include <string>

#include "app/replay_file.h"

extern bool replaying;     // --replay: the commands come from the file, not from the keys or the computer
extern bool replayPaused;  // space while replaying
extern int  replaySpeed;   // ticks a frame's time runs while replaying: 1, 2, 4 or 8 (g doubles it)

// --record: writes the header of the battle start-up has just placed
// (`start` holds what it was placed from), then every command the dispatcher
// sees, but the quit keys, each with the tick it came at; the end line is
// written when the game exits. False, with the reason, when the file cannot
// be written.
bool startRecording(const char* path, const Replay& start, std::string& problem);
// After each tick while recording: a new battle's seed, once Enter has started one.
void noteTick();

// --replay: the recorded commands take the place of the keys, the mouse and the computer.
void startReplay(Replay replay);
void playComputerCommands();   // in a tick, where the computer's key would come
void playPersonCommands();     // after a tick, where the keys and the mouse come
// Of the ticks a frame's time holds, those the replay runs: none while
// paused or once the recording's last tick is reached, else `due` × speed.
int replayTicks(int due);
void replayViewerKey(unsigned char key);   // space pauses, g doubles the speed, q and Esc quit
