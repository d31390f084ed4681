// app/battle_clock.cpp — the battle's own clock: fixed ticks of 1/60 s, however fast the frames come
#include "app/battle_clock.h"

#include <algorithm>

#include "ai/computer.h"
#include "app/camera.h"
#include "app/input.h"
#include "app/replay.h"
#include "app/settings.h"
#include "game/unit.h"
#include "render/frame_clock.h"
#include "render/looks.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "save/battle_save.h"

namespace {

// Time is counted in 60ths of a nanosecond, so that a tick is a whole number of them.
constexpr int64_t TICK_UNITS = 1000000000;
int clockTicks = 0;   // ticks run in this program: the once-a-second clock starts afresh on a resume
bool started = false;
int64_t lastFrame = 0;
int64_t owed = 0;   // time since the last frame not yet run as ticks; down to half a tick below 0

}  // namespace

int ticksForFrame(int64_t now) {
    if (!started) {
        started = true;
        lastFrame = now;
        return 1;
    }
    owed += (now - lastFrame) * TICKS_PER_SECOND;
    lastFrame = now;
    const int64_t due = (owed + TICK_UNITS / 2) / TICK_UNITS;
    if (due > MOST_TICKS_PER_FRAME) {
        owed = 0;
        return MOST_TICKS_PER_FRAME;
    }
    owed -= due * TICK_UNITS;
    return static_cast<int>(due);
}

// The swoop's lightning counts the frames it has been shown; it is shown once
// a tick, in the frame before the update, as it was when frames and updates
// went one for one.
void runBattleTick(bool drawnFrame) {
    battleTick++;
    if (attackAnimating && selectedUnit->menuOpen && selectedUnit->unitClass == CLASS_FLIER) lungeEffect.drawCount++;
    frameSeconds = TICK_SECONDS;
    idleUpdate();
    inputTick();
    if (replaying)
        playComputerCommands();
    else if (int key = computerTick(TICK_SECONDS))
        dispatch(computerKey(key));
    checkHeroChoice();
    clockTicks++;
    tickFrameClock(static_cast<uint32_t>(int64_t{clockTicks} * 1000 / TICKS_PER_SECOND), drawnFrame);
    frameSeconds = TICK_SECONDS;
    keepBattleIfChanged();
    if (replaying) playPersonCommands();
    else noteTick();
}

int ticksThisFrame(int due) {
    return std::min(due * computerTurnSpeed() * battleSpeed, MOST_SPED_TICKS);
}

// Up to the tick the frame is due to reach: a space a replay plays inside a
// tick runs the ticks after it itself, and the frame must not run them again
// (past the recording's end, at its last frame).
int runFrameTicks(int due) {
    const int ticks = replaying ? replayTicks(due * computerTurnSpeed()) : ticksThisFrame(due);
    const int reach = battleTick + ticks;
    for (bool first = true; battleTick < reach; first = false) runBattleTick(first);
    return ticks;
}

void nextBattleSpeed() {
    if (replaying) return;
    battleSpeed = battleSpeed >= 4 ? 1 : battleSpeed * 2;
    keepSettings(SETTINGS_FILE);
}

void skipAnimation() {
    finishCameraGlide();
    if (battleRunElsewhere) return;
    auto underWay = [] {
        return moveAnimating || attackAnimating || bannerP1BeginTurn || bannerP1EndTurn || bannerP2BeginTurn ||
               bannerP2EndTurn;
    };
    for (int tick = 0; tick < MOST_SKIPPED_TICKS && underWay(); tick++) runBattleTick(false);
}

void resetBattleClock() {
    battleTick = clockTicks = 0;
    started = false;
    lastFrame = owed = 0;
}
