// app/pacing.h — at most so many frames a second: when the next one may start
//
// Each update moves the animations on by a fixed step, so they run at the
// speed of the frame rate. Held to at most 60 frames a second, they run on a
// fast machine as they do at 60, and the processor rests between frames; a
// machine slower than the cap draws as fast as it can, as before.
#pragma once
#include <cstdint>

constexpr int DEFAULT_MAX_FPS = 60;
constexpr int MOST_MAX_FPS = 1000;   // a cap above any display's rate; 0 for none
extern int maxFramesPerSecond;   // 0: no cap

// The cap KESTRAVA_MAX_FPS asks for: a whole number of frames a second, 0
// for none, up to MOST_MAX_FPS. Without the setting, or with one that is
// not such a number (said on standard error), the default.
int maxFramesPerSecondSetting(const char* setting);

// When the frame asked for at `now` (nanoseconds on a monotonic clock) may
// start: a whole frame's time after the previous one was due, or at once if
// that time has passed. A frame later than that by more than a frame's time
// starts the schedule afresh, rather than the frames after it rushing to
// make up for it.
int64_t nextFrameStart(int64_t now);
