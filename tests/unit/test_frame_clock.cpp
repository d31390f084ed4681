// tests/unit/test_frame_clock.cpp — frame time, the once-a-second update, the HUD texts and the banner timer
#include <string>
#include <vector>

#include "app/pacing.h"
#include "render/frame_clock.h"
#include "rules/game_state.h"
#include "tests/support/window_link_fake.h"

namespace {
class FrameClockTest : public BattleTest {};
}

TEST_F(FrameClockTest, FirstFrameTakesTheWholeTickCountThenTextsWaitForMoreThanASecond) {
    tickFrameClock(5000);
    EXPECT_TRUE(nowSeconds == 5 && frameSeconds == 5 && previousFrameSeconds == 5 && lastSecondMark == 5);
    EXPECT_EQ(runSeconds, 1);
    EXPECT_STREQ(fpsText, "Frames Per Second: 1");
    EXPECT_STREQ(runTimeText, "Kestrava Has Been Running For: 0 minutes");
    EXPECT_FLOAT_EQ(framesThisSecond, 0);

    tickFrameClock(5250);
    EXPECT_NEAR(frameSeconds, 0.25f, 1e-4);
    tickFrameClock(5500);
    tickFrameClock(5990);   // not a whole second yet
    EXPECT_EQ(runSeconds, 1);
    EXPECT_FLOAT_EQ(lastSecondMark, 5);
    EXPECT_FLOAT_EQ(framesThisSecond, 3);
    EXPECT_STREQ(fpsText, "Frames Per Second: 1");

    tickFrameClock(6010);
    EXPECT_EQ(runSeconds, 2);
    EXPECT_NEAR(lastSecondMark, 6.01f, 1e-4);   // re-based on this frame
    EXPECT_STREQ(fpsText, "Frames Per Second: 4");
    EXPECT_FLOAT_EQ(framesThisSecond, 0);
    EXPECT_NEAR(frameSeconds, 0.02f, 1e-4);
}

TEST_F(FrameClockTest, MinuteLinePrintsTotalTimeIsZeroOnTheSixtiethUpdate) {
    std::string early = captureOutput([] {
        for (int i = 1; i <= 59; i++) tickFrameClock(i * 1500);
    });
    EXPECT_EQ(early, "");
    EXPECT_EQ(runSeconds, 59);
    EXPECT_STREQ(runTimeText, "Kestrava Has Been Running For: 0 minutes");

    std::string minute = captureOutput([] { tickFrameClock(60 * 1500); });
    EXPECT_EQ(minute, "total time is0\n");
    EXPECT_EQ(runMinutes, 1);
    EXPECT_EQ(runSeconds, 0);
    EXPECT_STREQ(runTimeText, "Kestrava Has Been Running For: 1 minutes");
}

TEST_F(FrameClockTest, EndOfTurnBannerGivesWayAfterThreeUpdatesThenTheNextBannerRuns) {
    choosingHeroes = false;
    bannerP1EndTurn = true;
    uint32_t ms = 2000;
    tickFrameClock(ms);
    tickFrameClock(ms += 400);   // a frame in between does not count
    tickFrameClock(ms += 700);
    EXPECT_FLOAT_EQ(bannerSeconds, 2);
    EXPECT_TRUE(bannerP1EndTurn);
    tickFrameClock(ms += 1100);
    EXPECT_FALSE(bannerP1EndTurn);
    EXPECT_TRUE(bannerP2BeginTurn);
    EXPECT_FLOAT_EQ(bannerSeconds, 0);

    for (int i = 0; i < 2; i++) tickFrameClock(ms += 1100);
    EXPECT_TRUE(bannerP2BeginTurn);
    tickFrameClock(ms += 1100);
    EXPECT_FALSE(bannerP2BeginTurn);
    EXPECT_FALSE(bannerP1BeginTurn || bannerP1EndTurn || bannerP2EndTurn);
}

TEST_F(FrameClockTest, VictoryBannerDoesNotRunTheBannerTimer) {
    bannerP2Wins = true;
    for (int i = 1; i <= 5; i++) tickFrameClock(i * 1100);
    EXPECT_EQ(runSeconds, 5);
    EXPECT_FLOAT_EQ(bannerSeconds, 0);
    EXPECT_TRUE(bannerP2Wins);
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
    const struct Case {
        const char* what;
        int cap;
        std::vector<int64_t> costs;   // what the frames take to draw, in turn, over and over
        int stallAt;                  // this frame takes half a second more; -1: none
        int frames;                   // frames started in ten seconds
    } cases[] = {
        {"fast", 60, {2 * MS}, -1, 600},
        {"now and then late, on schedule on average", 60, {20 * MS, 2 * MS}, -1, 600},
        {"slower than the cap", 60, {30 * MS}, -1, 334},
        {"uncapped", 0, {2 * MS}, -1, 5000},
        {"after a stall, afresh: no burst", 60, {2 * MS}, 100, 571},
    };
    int64_t start = 0;
    for (const Case& c : cases) {
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
    maxFramesPerSecond = DEFAULT_MAX_FPS;
}

TEST_F(FrameClockTest, FrameCapSettingIsAWholeNumberOrTheDefault) {
    const struct { const char* setting; int cap; } cases[] = {
        {nullptr, 60}, {"", 60}, {"0", 0}, {"144", 144}, {"-5", 60}, {"30fps", 60}, {"many", 60},
    };
    for (const auto& c : cases) EXPECT_EQ(maxFramesPerSecondSetting(c.setting), c.cap) << (c.setting ? c.setting : "unset");
}
