// tests/unit/test_animation.cpp — the idle animations, calm and lively (menu open), over many updates
#include <functional>

#include "game/battle_map.h"
#include "game/unit.h"
#include "rules/game_state.h"
#include "tests/support/window_link_fake.h"

namespace {

// The field of a fresh unit of player 1 after the given number of updates.
template <class T> std::function<float()> after(int updates, bool lively, float T::*field) {
    return [=] {
        T unit(0, 0, 0, 1);
        unit.menuOpen = lively;
        for (int i = 0; i < updates; i++) unit.animate();
        return unit.*field;
    };
}

constexpr bool CALM = false, LIVELY = true;

}  // namespace

TEST_F(BattleTest, IdleAnimationsSwingSpinAndWrapAtTheirOwnPace) {
    const struct { const char* what; std::function<float()> value; float expected; } marks[] = {
        {"calm Archer's vanes stay put", after(600, CALM, &Archer::swingAngle), 0},
        {"calm Archer's bow bends 0.05", after(1, CALM, &Archer::flexAngle), 0.05f},
        {"lively bow bends 0.25", after(1, LIVELY, &Archer::flexAngle), 0.25f},
        {"lively swing rises one to 40", after(41, LIVELY, &Archer::swingAngle), 40},
        {"then falls two", after(42, LIVELY, &Archer::swingAngle), 38},
        {"to -20, then rises", after(72, LIVELY, &Archer::swingAngle), -19},
        {"calm spikes turn 0.3", after(10, CALM, &Fighter::spikeSpin), 3},
        {"lively crown turns 5 and wraps at 360", after(72, LIVELY, &Fighter::crownSpin), 0},
        {"lively spikes turn 1 and wrap", after(360, LIVELY, &Fighter::spikeSpin), 0},
        {"lively wings rise one to 25, then fall five", after(26, LIVELY, &Flier::wingAngle), 20},
        {"to -30, then rise", after(37, LIVELY, &Flier::wingAngle), -29},
        {"lively Flier rises 0.006 to 0.3, then sinks", after(60, LIVELY, &Flier::hoverHeight), 0.25f},
        {"lively rings turn 2", after(300, LIVELY, &Flier::ringSpin), 240},
        {"calm wings keep still", after(720, CALM, &Flier::wingAngle), 0},
        {"calm tail swings 0.5 to 10", after(21, CALM, &Flier::tailAngle), 9.5f},
        {"calm Healer turns its middle frame 0.5", after(100, CALM, &Healer::spinMiddle), 50},
        {"lively large frame turns 2", after(119, LIVELY, &Healer::spinLarge), 238},
        {"lively middle frame wraps at 360", after(120, LIVELY, &Healer::spinMiddle), 0},
        {"Mage beads turn by the step", after(719, CALM, &Mage::spin), 359.5f},
        {"and wrap at 360", after(720, CALM, &Mage::spin), 0},
    };
    for (const auto& mark : marks) EXPECT_NEAR(mark.value(), mark.expected, 1e-3f) << mark.what;
}
