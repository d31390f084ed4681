// app/replay.h — recording every command that reaches the battle, and playing a recording back
#pragma once
#include <string>

#include "app/replay_file.h"

extern bool replaying;     // --replay: the commands come from the file, not from the keys or the computer
extern bool replayPaused;  // space while replaying
extern int  replaySpeed;   // ticks a frame's time runs while replaying: 1, 2, 4 or 8 (g doubles it)

// Why --record cannot write into path, said as a refusal of the command
// line, or "": it must be a regular file or a new one, and none of the files
// the game reads or keeps in the run folder (the map, given as map, the
// save, the replay's save), found by what file it is, not by its name.
std::string recordingTargetProblem(const char* path, const std::string& map);

// --record: writes the header of the battle start-up has just placed
// (`start` holds what it was placed from), then every command the dispatcher
// sees, but the quit keys, each with the tick it came at, each line whole as
// it comes. False, with the reason, when the file cannot be written. A write
// that fails later is told once, on standard error and on screen (as the
// save's trouble is), and the recording stops there.
bool startRecording(const char* path, const Replay& start, std::string& problem);
// The end line, once, when the game ends (std::exit runs it): the quit keys,
// a signal that quits as they do, a window closed.
void finishRecording();
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
