// app/battle_clock.h — the battle's own clock: fixed ticks of 1/60 s, however fast the frames come
//
// Every animation, the turn banners and the computer's pace move on by one
// tick at a time. Before each frame the window runs as many ticks as the time
// since the last frame holds, so a glide or a spell takes as long on a slow
// machine as on a fast one; at 60 frames a second that is one tick a frame.
// A replay and the kept battle count these ticks (battleTick, rules/game_state.h).
#pragma once
#include <cstdint>

constexpr int   TICKS_PER_SECOND = 60;
constexpr float TICK_SECONDS = 1.0f / TICKS_PER_SECOND;
// The most ticks one frame runs: frames down to four a second keep time;
// after a longer stall the battle takes up where it was rather than rushing
// through what it missed.
constexpr int MOST_TICKS_PER_FRAME = 15;

// How many ticks to run before the frame that starts at `now` (nanoseconds on
// a monotonic clock): the time since the last frame in whole ticks, what is
// left over carried to the next frame. A frame up to half a tick early still
// runs its tick, so that frames that jitter about 60 a second run one each.
// The first frame runs one.
int ticksForFrame(int64_t now);

// One tick of the battle, as the window runs it: the rules' update with the
// tick's time, what a click set going, the computer's key (or a replay's
// commands), the hero choice confirmed, the banners' clock, the battle kept
// when it changed. `drawnFrame`: a frame follows this tick (the frame counter
// of F2 counts it).
void runBattleTick(bool drawnFrame);

// The ticks a frame runs of the `due` its time holds: more while the
// computer plays its turn (computerTurnSpeed) and at a battle speed above 1
// (battleSpeed, render/looks.h), at most MOST_SPED_TICKS.
constexpr int MOST_SPED_TICKS = 120;
int ticksThisFrame(int due);
// Before a frame: ticksThisFrame(due) ticks, or those a replay runs
// (replayTicks, at the computer's turn speed), counted from the tick the
// frame starts at; how many were due.
int runFrameTicks(int due);

// g: the next battle speed, 1, 2, 4 and 1 again; kept in kestrava-settings.txt.
// Nothing while a replay plays, which keeps its own speed keys; on a screen
// joined to a battle the host runs at its own pace the key never comes here.
void nextBattleSpeed();

// Space: the camera's glide arrives, then the battle's own ticks run, one
// after another at once, until no step glides (a click's walk to its end),
// no blow plays and no turn banner is up: the same ticks that would have
// run, in the same order, only sooner. At most a minute's worth. On a
// joined screen only the glide: the battle's ticks are the host's.
void skipAnimation();
constexpr int MOST_SKIPPED_TICKS = 60 * TICKS_PER_SECOND;

void resetBattleClock();   // tick 0, nothing carried over
