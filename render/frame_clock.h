// render/frame_clock.h — the frame clock: frame time, the once-a-second update, the HUD texts
#pragma once
#include <cstdint>

// The clock counts whole milliseconds from the program's start; its seconds
// are doubles, exact to the millisecond for far longer than any battle.
extern uint64_t clockMilliseconds;     // counted so far, across any wrap of the tick counter
extern uint32_t previousTick;          // the tick count of the previous frame, as the source gave it
extern double   nowSeconds;            // this frame's time: clockMilliseconds in seconds
extern double   previousFrameSeconds;
extern double   lastSecondMark;        // nowSeconds at the last once-a-second update
extern float    framesThisSecond;
extern int      runSeconds;            // once-a-second updates since the last whole minute
extern int      runMinutes;
extern char     fpsText[64];
extern char     runTimeText[64];

// Milliseconds since the program started on a 32-bit counter that may wrap;
// tests drive their own.
extern uint32_t (*tickSource)();

void tickFrameClock(uint32_t milliseconds);   // steps 2–6 of the HUD: timing, banner tick, updateBanners
void resetFrameClock();                       // every clock value back to its start
