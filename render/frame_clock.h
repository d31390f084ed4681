// render/frame_clock.h — the frame clock: frame time, the once-a-second update, the HUD texts
#pragma once
#include <cstdint>

extern float nowSeconds;            // this frame's tick count in seconds
extern float previousFrameSeconds;
extern float lastSecondMark;        // nowSeconds at the last once-a-second update
extern float framesThisSecond;
extern int   runSeconds;            // once-a-second updates since the last whole minute
extern int   runMinutes;
extern char  fpsText[64];
extern char  runTimeText[64];

extern uint32_t (*tickSource)();    // milliseconds from a monotonic clock; tests drive their own

void tickFrameClock(uint32_t milliseconds);   // steps 2–6 of the HUD: timing, banner tick, updateBanners
