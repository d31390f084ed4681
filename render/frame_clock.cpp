// render/frame_clock.cpp — the frame clock: frame time, the once-a-second update and the HUD texts
#include "render/frame_clock.h"

#include <cstdio>
#include <iostream>

#include "rules/game_state.h"

double   nowSeconds = 0;
double   previousFrameSeconds = 0;
double   lastSecondMark = 0;
uint64_t clockMilliseconds = 0;
uint32_t previousTick = 0;
float    framesThisSecond = 0;
int      runSeconds = 0;
int      runMinutes = 0;
char     fpsText[64] = "";
char     runTimeText[64] = "";

uint32_t (*tickSource)() = nullptr;

// The once-a-second update fires on the first frame more than a second past
// the last one and re-bases there, so its period follows the frame rate.
void tickFrameClock(uint32_t milliseconds, int framesDrawn) {
    // Unsigned arithmetic carries the difference across the counter's wrap.
    clockMilliseconds += static_cast<uint32_t>(milliseconds - previousTick);
    previousTick = milliseconds;
    nowSeconds = clockMilliseconds / 1000.0;
    frameSeconds = static_cast<float>(nowSeconds - previousFrameSeconds);
    previousFrameSeconds = nowSeconds;
    framesThisSecond += framesDrawn;

    if (nowSeconds - lastSecondMark > 1.0) {
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

void resetFrameClock() {
    nowSeconds = previousFrameSeconds = lastSecondMark = 0;
    clockMilliseconds = 0;
    previousTick = 0;
    framesThisSecond = 0;
    runSeconds = runMinutes = 0;
    fpsText[0] = runTimeText[0] = '\0';
}
