// tests/unit/test_frame_clock.cpp — frame time, the once-a-second update and the HUD texts
#include <string>
#include <vector>

#include "app/battle_clock.h"
#include "app/pacing.h"
#include "render/frame_clock.h"
#include "rules/game_state.h"
#include "tests/support/window_link_fake.h"

using FrameClockTest = BattleTest;

TEST_F(FrameClockTest, TextsChangeOnTheFirstFrameMoreThanASecondOnAndAMinuteIsSixtyOfThem) {
    const struct { uint32_t ms; float frameSeconds; int runSeconds; const char* fps; } frames[] = {
        {5000, 5, 1, "Frames Per Second: 1"},      // the first frame takes the whole tick count
        {5250, 0.25f, 1, "Frames Per Second: 1"},
        {5990, 0.74f, 1, "Frames Per Second: 1"},  // not a whole second yet
        {6010, 0.02f, 2, "Frames Per Second: 3"},
    };
    for (const auto& frame : frames) {
        tickFrameClock(frame.ms);
        EXPECT_NEAR(frameSeconds, frame.frameSeconds, 1e-4) << frame.ms;
        EXPECT_EQ(runSeconds, frame.runSeconds) << frame.ms;
        EXPECT_STREQ(fpsText, frame.fps) << frame.ms;
    }
    EXPECT_EQ(captureOutput([] { for (int i = 1; i <= 57; i++) tickFrameClock(6010 + i * 1500); }), "");
    EXPECT_STREQ(runTimeText, "Kestrava Has Been Running For: 0 minutes");
    EXPECT_EQ(captureOutput([] { tickFrameClock(6010 + 58 * 1500); }), "total time is0\n");
    EXPECT_STREQ(runTimeText, "Kestrava Has Been Running For: 1 minutes");
}

TEST_F(FrameClockTest, WeeksOfRunningAndTheCounterWrappingKeepFramesAndSecondsExact) {
    // After ten days, and two seconds before the 32-bit counter wraps.
    for (uint32_t start : {864000000u, UINT32_MAX - 2000}) {
        SCOPED_TRACE(start);
        resetBattleState();
        choosingHeroes = false;
        tickFrameClock(start);
        bannerP1EndTurn = true;
        uint32_t ms = start;
        for (int frame = 1; frame <= 250; frame++) {
            tickFrameClock(ms += 16);
            ASSERT_NEAR(frameSeconds, 0.016f, 1e-6) << "frame " << frame;
        }
        // Updates at 1008, 2016 and 3024 ms after the first frame's; the third ends the banner.
        EXPECT_EQ(runSeconds, 4);
        EXPECT_NEAR(nowSeconds - lastSecondMark, 0.976, 1e-6);
        EXPECT_TRUE(bannerP2BeginTurn && !bannerP1EndTurn);
    }
}

TEST_F(FrameClockTest, CappedFramesComeAtTheCapOrAsFastAsTheyCanAndNeverRushToCatchUp) {
    constexpr int64_t MS = 1000000;   // the pacing clock counts nanoseconds
    // The frames take costs to draw, in turn, over and over; frame stallAt (-1:
    // none) half a second more; frames are started in ten seconds.
    const struct { const char* what; int cap; std::vector<int64_t> costs; int stallAt, frames; } cases[] = {
        {"fast", 60, {2 * MS}, -1, 600},
        {"now and then late, on schedule on average", 60, {20 * MS, 2 * MS}, -1, 600},
        {"slower than the cap", 60, {30 * MS}, -1, 334},
        {"uncapped", 0, {2 * MS}, -1, 5000},
        {"after a stall, afresh: no burst", 60, {2 * MS}, 100, 571},
    };
    static int64_t start = 0;   // the schedule goes on from run to run: each row starts far past the last
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        maxFramesPerSecond = c.cap;
        start += 1000000 * MS;   // far past the last row's schedule
        int frames = 0;
        for (int64_t now = start; now < start + 10000 * MS; frames++) {
            const int64_t frameStart = nextFrameStart(now);
            ASSERT_GE(frameStart, now);
            now = frameStart + c.costs[frames % c.costs.size()] + (frames == c.stallAt ? 500 * MS : 0);
        }
        EXPECT_NEAR(frames, c.frames, 1);
    }
}

TEST_F(FrameClockTest, FrameCapSettingIsAWholeNumberOrTheDefault) {
    const struct { const char* setting; int cap; } cases[] = {
        {nullptr, 60}, {"", 60}, {"0", 0}, {"144", 144}, {"1000", 1000}, {"1001", 60}, {"-5", 60}, {"30fps", 60},
        {"many", 60}, {"inf", 60}, {"1e3", 60},
    };
    for (const auto& c : cases) EXPECT_EQ(maxFramesPerSecondSetting(c.setting), c.cap) << (c.setting ? c.setting : "unset");
}

// The battle's ticks, however the frames come: a fake clock hands each frame
// its start, in nanoseconds, and the ticks each runs are counted.
TEST_F(FrameClockTest, FramesRunTheTicksTheirTimeHoldsAtMostFifteenAndNoRushAfterAStall) {
    constexpr int64_t MS = 1000000;
    // Frame lengths in turn, over and over, for frames frames after the first; a
    // whole second of them runs 60 ticks (but after the stall), each frame
    // between least and most.
    const struct { const char* what; std::vector<int64_t> lengths; int frames, ticks, least, most; } cases[] = {
        {"60 a second, as a millisecond clock jitters", {16 * MS, 17 * MS, 17 * MS}, 60, 60, 1, 1},
        {"60 a second, late and early by 7 ms in turn", {23 * MS, 10 * MS, 17 * MS}, 60, 60, 1, 1},
        {"30 a second", {33 * MS, 33 * MS, 34 * MS}, 30, 60, 2, 2},
        {"7 a second", {142857143}, 7, 60, 8, 9},
        {"240 a second", {4166667}, 240, 60, 0, 1},
        {"a stall of two seconds, then 60 a second", {2000 * MS, 17 * MS, 16 * MS, 17 * MS}, 4, 18, 1, 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        resetBattleClock();
        int64_t now = 5000 * MS;
        ASSERT_EQ(ticksForFrame(now), 1) << "the first frame";
        int ticks = 0, least = 1000, most = 0;
        for (int frame = 0; frame < c.frames; frame++) {
            now += c.lengths[frame % c.lengths.size()];
            const int these = ticksForFrame(now);
            ticks += these;
            least = std::min(least, these);
            most = std::max(most, these);
        }
        EXPECT_EQ(ticks, c.ticks);
        EXPECT_EQ(least, c.least);
        EXPECT_EQ(most, c.most);
    }
}
