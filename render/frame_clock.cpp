// render/frame_clock.cpp — the frame clock: frame time, the once-a-second update and the HUD texts
#include "render/frame_clock.h"

#include <cstdio>
#include <ctime>
#include <iostream>

#include "rules/game_state.h"

float nowSeconds = 0;
float previousFrameSeconds = 0;
float lastSecondMark = 0;
float framesThisSecond = 0;
int   runSeconds = 0;
int   runMinutes = 0;
char  fpsText[64] = "";
char  runTimeText[64] = "";

namespace {
// Milliseconds since the system started, wrapping like a 32-bit tick counter.
uint32_t monotonicMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000);
}
}

uint32_t (*tickSource)() = monotonicMilliseconds;

// The once-a-second update fires on the first frame more than a second past
// the last one and re-bases there, so its period follows the frame rate.
void tickFrameClock(uint32_t milliseconds) {
    nowSeconds = static_cast<float>(milliseconds) * 0.001f;
    frameSeconds = nowSeconds - previousFrameSeconds;
    previousFrameSeconds = nowSeconds;
    framesThisSecond += 1;

    if (nowSeconds - lastSecondMark > 1.0f) {
        runSeconds++;
        if (runSeconds % 60 == 0) {
            runMinutes++;
            runSeconds = 0;
            std::cout << "total time is" << runSeconds << std::endl;
        }
        if (bannerP1BeginTurn || bannerP2BeginTurn || bannerP1EndTurn || bannerP2EndTurn) bannerSeconds += 1;
        snprintf(runTimeText, sizeof runTimeText, "Kestrava Has Been Running For: %d minutes", runMinutes);
        lastSecondMark = nowSeconds;
        snprintf(fpsText, sizeof fpsText, "Frames Per Second: %d", static_cast<int>(framesThisSecond));
        framesThisSecond = 0;
    }
    updateBanners();
}
