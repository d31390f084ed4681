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

// Milliseconds on a 32-bit counter that may wrap, for a HUD drawn without
// the window's battle clock (the window moves the clock with its ticks and
// leaves this empty); tests and benchmarks drive their own.
extern uint32_t (*tickSource)();

// Steps 2–6 of the HUD: timing, banner tick, updateBanners. `framesDrawn`:
// how many drawn frames this step stands for, in the frame rate's count.
void tickFrameClock(uint32_t milliseconds, int framesDrawn = 1);
void resetFrameClock();                       // every clock value back to its start
