// tests/unit/test_animation.cpp — the idle animations, calm and lively, over many updates
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include "game/unit.h"
#include "tests/support/window_link_fake.h"

namespace {

// Runs the unit's animation for the given number of updates and returns a
// copy of the unit after each one.
template <class T> std::vector<T> animateFor(T& unit, int updates) {
    std::vector<T> seen;
    for (int i = 0; i < updates; i++) {
        unit.animate();
        seen.push_back(unit);
    }
    return seen;
}

template <class T> std::vector<float> fieldOf(const std::vector<T>& history, float T::*field) {
    std::vector<float> values;
    for (const T& unit : history) values.push_back(unit.*field);
    return values;
}

// Changes from one update to the next, the first from `from`.
std::vector<float> stepsOf(const std::vector<float>& values, float from) {
    std::vector<float> steps;
    for (float v : values) {
        steps.push_back(v - from);
        from = v;
    }
    return steps;
}

// Checks the values after chosen updates (0 is after the first).
void expectAt(const std::vector<float>& values, std::initializer_list<std::pair<int, float>> marks) {
    for (const auto& mark : marks)
        EXPECT_EQ(values[mark.first], mark.second) << "after update " << mark.first + 1;
}

float highest(const std::vector<float>& v) { return *std::max_element(v.begin(), v.end()); }
float lowest(const std::vector<float>& v) { return *std::min_element(v.begin(), v.end()); }

}  // namespace

TEST_F(BattleTest, ArcherCalmFlexesItsBowWhileItsVanesStayPut) {
    Archer archer(0, 0, 0, 1);
    archer.swingAngle = 12;
    std::vector<float> flex = fieldOf(animateFor(archer, 600), &Archer::flexAngle);

    EXPECT_EQ(archer.swingAngle, 12);
    EXPECT_EQ(archer.swingStep, 1.0f);   // ready to rise once lively
    EXPECT_NEAR(flex[0], 0.05f, 1e-6f);
    for (float step : stepsOf(flex, 0)) ASSERT_NEAR(std::abs(step), 0.05f, 1e-4f);
    // The bow bends to just past 10, then back to just below 0, and again.
    EXPECT_TRUE(highest(flex) > 10.0f && highest(flex) < 10.11f) << highest(flex);
    EXPECT_TRUE(lowest(flex) < 0.0f && lowest(flex) > -0.11f) << lowest(flex);
}

TEST_F(BattleTest, ArcherLivelySwingRisesOneAndFallsTwoAndTheBowFlexesFaster) {
    Archer archer(0, 0, 0, 1);
    archer.menuOpen = true;
    std::vector<Archer> history = animateFor(archer, 300);
    std::vector<float> swing = fieldOf(history, &Archer::swingAngle);

    // The first update only sets the step: the swing starts rising after it.
    expectAt(swing, {{0, 0}, {1, 1}, {40, 40}, {41, 38}, {70, -20}, {71, -19}});
    std::vector<float> steps = stepsOf(swing, 0);
    for (size_t i = 1; i < steps.size(); i++) ASSERT_TRUE(steps[i] == 1 || steps[i] == -2) << i;
    EXPECT_EQ(highest(swing), 40);
    EXPECT_EQ(lowest(swing), -20);

    // The bow flexes five times as fast, within the same bounds.
    std::vector<float> flex = fieldOf(history, &Archer::flexAngle);
    EXPECT_NEAR(flex[0], 0.25f, 1e-6f);
    for (float step : stepsOf(flex, 0)) ASSERT_NEAR(std::abs(step), 0.25f, 1e-4f);
    EXPECT_LT(highest(flex), 10.3f);
    EXPECT_GT(lowest(flex), -0.3f);
}

TEST_F(BattleTest, FighterCrownTurnsOnlyWhenLivelyAndSpikesStepOverThreeSixty) {
    Fighter fighter(0, 0, 0, 1);
    for (int i = 0; i < 10; i++) fighter.animate();
    EXPECT_EQ(fighter.crownSpin, 0);
    EXPECT_NEAR(fighter.spikeSpin, 3.0f, 1e-4f);

    // 359.8 + 0.3 is not exactly 360: the spikes keep counting past it.
    fighter.spikeSpin = 359.8f;
    fighter.animate();
    fighter.animate();
    EXPECT_NEAR(fighter.spikeSpin, 360.4f, 1e-3f);

    // Lively: the crown turns 5 and the spikes 1 a step, both wrapping at exactly 360.
    Fighter lively(0, 0, 0, 1);
    lively.menuOpen = true;
    std::vector<float> crown = fieldOf(animateFor(lively, 360), &Fighter::crownSpin);
    expectAt(crown, {{0, 5}, {70, 355}, {71, 0}, {72, 5}});
    EXPECT_EQ(lively.spikeSpin, 0);
}

TEST_F(BattleTest, FlierWingsRiseOneAndFallFiveAndItHoversWhenLively) {
    Flier flier(0, 0, 0, 1);
    flier.menuOpen = true;
    std::vector<Flier> history = animateFor(flier, 300);
    std::vector<float> wing = fieldOf(history, &Flier::wingAngle);
    expectAt(wing, {{0, 1}, {24, 25}, {25, 20}, {35, -30}, {36, -29}});
    for (float step : stepsOf(wing, 0)) ASSERT_TRUE(step == 1 || step == -5) << step;

    // Up 0.006 an update to 0.3, then down again as fast.
    std::vector<float> height = fieldOf(history, &Flier::hoverHeight);
    EXPECT_NEAR(height[0], 0.006f, 1e-6f);
    EXPECT_NEAR(height[9], 0.06f, 1e-5f);
    float top = highest(height);
    EXPECT_TRUE(top >= 0.3f && top < 0.31f) << top;
    auto peak = std::max_element(height.begin(), height.end()) - height.begin();
    EXPECT_LT(height[peak + 10], top - 0.05f);
    EXPECT_LT(*std::min_element(height.begin() + peak, height.end()), 0.006f);
    EXPECT_GT(lowest(height), -0.01f);

    // The rings turn 2 and the tail 1 a step.
    EXPECT_EQ(flier.ringSpin, 240);   // 600 wrapped once at 360
    expectAt(fieldOf(history, &Flier::tailAngle), {{9, 10}, {10, 9}, {29, -10}, {30, -9}});
}

TEST_F(BattleTest, FlierCalmKeepsItsWingsAndBarelyBobs) {
    Flier flier(0, 0, 0, 1);
    flier.wingAngle = 7;
    std::vector<Flier> history = animateFor(flier, 720);
    EXPECT_EQ(flier.wingAngle, 7);
    for (float h : fieldOf(history, &Flier::hoverHeight))
        ASSERT_TRUE(h <= 0 && h >= -0.0011f) << h;
    EXPECT_EQ(flier.ringSpin, 0);   // 0.5 a step: exactly 360 after 720, wrapped
    expectAt(fieldOf(history, &Flier::tailAngle),
             {{19, 10}, {20, 9.5f}, {59, -10}, {60, -9.5f}});
}

TEST_F(BattleTest, HealerFramesSpinAndWrapAtThreeSixty) {
    Healer healer(0, 0, 0, 1);
    for (int i = 0; i < 100; i++) healer.animate();
    EXPECT_EQ(healer.spinLarge, 0);   // calm, only the middle frame turns
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
    expectAt(fieldOf(animateFor(mage, 720), &Mage::spin), {{0, 0.5f}, {718, 359.5f}, {719, 0}});

    // Lively, the drawing sets 7 a step, which steps over 360 and keeps counting.
    mage.spinStep = 7.0f;
    for (int i = 0; i < 52; i++) mage.animate();
    EXPECT_EQ(mage.spin, 364);
}
