// app/net_play.h — a battle over the network, as the command line starts it: a server without a
// window, a host (a server of its own and this window joined to it), a joiner's window
#pragma once
#include <functional>

struct StartOptions;

// --serve: the battle start-up has placed (or --resume took up), run at its
// fixed ticks with no window and no display, for the players who join. The
// kept battle and a recording (`record`, run once the server is up) are kept
// here. Returns the exit status.
int serveBattle(const StartOptions& options, const std::function<bool()>& record);
// --host: the same server in a process of its own, and this window joined to
// it as player 1 through the seat kept for it, so that this screen too shows
// player 1's sight only. Returns the exit status when it fails; else the
// window runs until the game ends.
int hostBattle(const StartOptions& options, const std::function<bool()>& record, int argc, char** argv);
// --join: the window as a side of a battle run elsewhere. Returns the exit
// status when it cannot join; else the window runs until the game ends.
int joinBattle(const StartOptions& options, int argc, char** argv);

// The window is a joiner's: each frame takes the host's views instead of
// running the battle's ticks.
bool inJoinedGame();
// A frame's worth of `ticks` on the joining side: what the host sent taken
// up, the units' idle animations and the frame clock run here, the sounds heard.
void playJoinedTicks(int ticks);
