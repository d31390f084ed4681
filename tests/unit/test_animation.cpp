// tests/unit/test_animation.cpp — the idle animations, calm and lively, over many updates
#include <algorithm>
#include <cmath>
#include <vector>

#include "game/unit.h"
#include "tests/support/window_link_fake.h"

namespace {

// Runs the unit's animation for the given number of updates and returns the
// field read after each one.
template <class T, class F> std::vector<float> animateAndRead(T& unit, int updates, F read) {
    std::vector<float> seen;
    for (int i = 0; i < updates; i++) {
        unit.animate();
        seen.push_back(read(unit));
    }
    return seen;
}

std::vector<float> stepsOf(const std::vector<float>& values, float from) {
    std::vector<float> steps;
    for (float v : values) {
        steps.push_back(v - from);
        from = v;
    }
    return steps;
}

}  // namespace

TEST_F(BattleTest, ArcherCalmFlexesItsBowWhileItsVanesStayPut) {
    Archer archer(0, 0, 0, 1);
    archer.swingAngle = 12;
    std::vector<float> flex = animateAndRead(archer, 600, [](const Archer& a) { return a.flexAngle; });

    EXPECT_EQ(archer.swingAngle, 12);
    EXPECT_EQ(archer.swingStep, 1.0f);   // ready to rise once lively
    EXPECT_NEAR(flex[0], 0.05f, 1e-6f);
    for (float step : stepsOf(flex, 0)) ASSERT_NEAR(std::abs(step), 0.05f, 1e-4f);
    // The bow bends to just past 10, then back to just below 0, and again.
    EXPECT_GT(*std::max_element(flex.begin(), flex.end()), 10.0f);
    EXPECT_LT(*std::max_element(flex.begin(), flex.end()), 10.11f);
    EXPECT_LT(*std::min_element(flex.begin(), flex.end()), 0.0f);
    EXPECT_GT(*std::min_element(flex.begin(), flex.end()), -0.11f);
}

TEST_F(BattleTest, ArcherLivelySwingRisesOneAndFallsTwo) {
    Archer archer(0, 0, 0, 1);
    archer.menuOpen = true;
    std::vector<float> swing = animateAndRead(archer, 300, [](const Archer& a) { return a.swingAngle; });

    // The first update only sets the step: the swing starts rising after it.
    EXPECT_EQ(swing[0], 0);
    EXPECT_EQ(swing[1], 1);
    EXPECT_EQ(swing[40], 40);
    EXPECT_EQ(swing[41], 38);
    EXPECT_EQ(swing[70], -20);
    EXPECT_EQ(swing[71], -19);
    std::vector<float> steps = stepsOf(swing, 0);
    for (size_t i = 1; i < steps.size(); i++) ASSERT_TRUE(steps[i] == 1 || steps[i] == -2) << i;
    EXPECT_EQ(*std::max_element(swing.begin(), swing.end()), 40);
    EXPECT_EQ(*std::min_element(swing.begin(), swing.end()), -20);

    // The bow flexes five times as fast, within the same bounds.
    Archer bow(0, 0, 0, 1);
    bow.menuOpen = true;
    std::vector<float> flex = animateAndRead(bow, 300, [](const Archer& a) { return a.flexAngle; });
    EXPECT_NEAR(flex[0], 0.25f, 1e-6f);
    for (float step : stepsOf(flex, 0)) ASSERT_NEAR(std::abs(step), 0.25f, 1e-4f);
    EXPECT_LT(*std::max_element(flex.begin(), flex.end()), 10.3f);
    EXPECT_GT(*std::min_element(flex.begin(), flex.end()), -0.3f);
}

TEST_F(BattleTest, FighterCrownTurnsOnlyWhenLivelyAndSpikesStepOverThreeSixty) {
    Fighter fighter(0, 0, 0, 1);
    for (int i = 0; i < 10; i++) fighter.animate();
    EXPECT_EQ(fighter.crownSpin, 0);
    EXPECT_NEAR(fighter.spikeSpin, 3.0f, 1e-4f);

    // 359.8 + 0.3 is not exactly 360: the spikes keep counting past it.
    fighter.spikeSpin = 359.8f;
    fighter.animate();
    EXPECT_NEAR(fighter.spikeSpin, 360.1f, 1e-3f);
    fighter.animate();
    EXPECT_NEAR(fighter.spikeSpin, 360.4f, 1e-3f);

    // Lively: the crown turns 5 and the spikes 1 a step, both wrapping at exactly 360.
    Fighter lively(0, 0, 0, 1);
    lively.menuOpen = true;
    std::vector<float> crown = animateAndRead(lively, 360, [](const Fighter& f) { return f.crownSpin; });
    EXPECT_EQ(crown[0], 5);
    EXPECT_EQ(crown[70], 355);
    EXPECT_EQ(crown[71], 0);
    EXPECT_EQ(crown[72], 5);
    EXPECT_EQ(lively.spikeSpin, 0);
}

TEST_F(BattleTest, FlierWingsRiseOneAndFallFiveAndItHoversWhenLively) {
    Flier flier(0, 0, 0, 1);
    flier.menuOpen = true;
    std::vector<float> wing = animateAndRead(flier, 300, [](const Flier& f) { return f.wingAngle; });
    EXPECT_EQ(wing[0], 1);
    EXPECT_EQ(wing[24], 25);
    EXPECT_EQ(wing[25], 20);
    EXPECT_EQ(wing[35], -30);
    EXPECT_EQ(wing[36], -29);
    for (float step : stepsOf(wing, 0)) ASSERT_TRUE(step == 1 || step == -5) << step;

    Flier hovering(0, 0, 0, 1);
    hovering.menuOpen = true;
    std::vector<float> height = animateAndRead(hovering, 300, [](const Flier& f) { return f.hoverHeight; });
    // Up 0.006 an update to 0.3, then down again as fast.
    EXPECT_NEAR(height[0], 0.006f, 1e-6f);
    EXPECT_NEAR(height[9], 0.06f, 1e-5f);
    float top = *std::max_element(height.begin(), height.end());
    EXPECT_GE(top, 0.3f);
    EXPECT_LT(top, 0.31f);
    auto peak = std::max_element(height.begin(), height.end()) - height.begin();
    EXPECT_LT(height[peak + 10], top - 0.05f);
    EXPECT_LT(*std::min_element(height.begin() + peak, height.end()), 0.006f);
    EXPECT_GT(*std::min_element(height.begin(), height.end()), -0.01f);

    // Lively, the rings turn 2 and the tail 1 a step.
    EXPECT_EQ(hovering.ringSpin, 240);   // 600 wrapped once at 360
    Flier tail(0, 0, 0, 1);
    tail.menuOpen = true;
    std::vector<float> tailAngles = animateAndRead(tail, 60, [](const Flier& f) { return f.tailAngle; });
    EXPECT_EQ(tailAngles[9], 10);
    EXPECT_EQ(tailAngles[10], 9);
    EXPECT_EQ(tailAngles[29], -10);
    EXPECT_EQ(tailAngles[30], -9);
}

TEST_F(BattleTest, FlierCalmKeepsItsWingsAndBarelyBobs) {
    Flier flier(0, 0, 0, 1);
    flier.wingAngle = 7;
    std::vector<float> height = animateAndRead(flier, 720, [](const Flier& f) { return f.hoverHeight; });
    EXPECT_EQ(flier.wingAngle, 7);
    for (float h : height) ASSERT_TRUE(h <= 0 && h >= -0.0011f) << h;
    EXPECT_EQ(flier.ringSpin, 0);   // 0.5 a step: exactly 360 after 720, wrapped

    Flier tail(0, 0, 0, 1);
    std::vector<float> tailAngles = animateAndRead(tail, 100, [](const Flier& f) { return f.tailAngle; });
    EXPECT_EQ(tailAngles[19], 10);
    EXPECT_EQ(tailAngles[20], 9.5f);
    EXPECT_EQ(tailAngles[59], -10);
    EXPECT_EQ(tailAngles[60], -9.5f);
}

TEST_F(BattleTest, HealerFramesSpinAndWrapAtThreeSixty) {
    Healer healer(0, 0, 0, 1);
    for (int i = 0; i < 100; i++) healer.animate();
    EXPECT_EQ(healer.spinLarge, 0);
    EXPECT_EQ(healer.spinSmall, 0);
    EXPECT_EQ(healer.spinMiddle, 50);

    Healer lively(0, 0, 0, 1);
    lively.menuOpen = true;
    for (int i = 0; i < 119; i++) lively.animate();
    EXPECT_EQ(lively.spinLarge, 238);
    EXPECT_EQ(lively.spinMiddle, 357);
    EXPECT_EQ(lively.spinSmall, 357);
    lively.animate();
    EXPECT_EQ(lively.spinMiddle, 0);
    EXPECT_EQ(lively.spinSmall, 0);

    // At or above 360 wraps, unlike the other classes' exact test.
    lively.spinLarge = 359;
    lively.animate();
    EXPECT_EQ(lively.spinLarge, 0);
}

TEST_F(BattleTest, MageSpinsByTheStepItsDrawingSets) {
    Mage mage(0, 0, 0, 1);
    std::vector<float> spin = animateAndRead(mage, 720, [](const Mage& m) { return m.spin; });
    EXPECT_EQ(spin[0], 0.5f);
    EXPECT_EQ(spin[718], 359.5f);
    EXPECT_EQ(spin[719], 0);

    // Lively, the drawing sets 7 a step, which steps over 360 and keeps counting.
    mage.spinStep = 7.0f;
    for (int i = 0; i < 52; i++) mage.animate();
    EXPECT_EQ(mage.spin, 364);
}
