// tests/unit/combat_fixture.h — a small battle and a chosen hit roll, shared by the combat tests
#pragma once
#include <string>

#include "game/battle_map.h"
#include "game/random.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "tests/support/window_link_fake.h"

// Seeds the generator so that the hit roll, the first draw of an attack,
// falls in [lo, hi].
inline void seedForRoll(int lo, int hi) {
    for (unsigned seed = 1; seed < 100000; seed++) {
        seedRandom(seed);
        int roll = randomInt(0, 100);
        if (roll >= lo && roll <= hi) {
            seedRandom(seed);
            return;
        }
    }
    FAIL() << "no seed rolls between " << lo << " and " << hi;
}

inline bool atCentre(const Unit& unit) {
    const Vector& centre = battleMap[unit.row][unit.col].centre;
    return unit.position.x == centre.x && unit.position.y == centre.y && unit.position.z == centre.z;
}

class CombatFixture : public BattleTest {
protected:
    void SetUp() override {
        BattleTest::SetUp();
        loadUniformMap(7, 7, 1);   // a map needs more than six rows
    }

    // The state target choice leaves behind when Insert confirms a target;
    // the flags the last endAction cleared start cleared.
    static void confirmTarget(Unit& attacker, const Unit& target) {
        selectedUnit = &attacker;
        attacker.canAct = true;
        attacker.menuOpen = true;
        cursorRow = target.row;
        cursorCol = target.col;
        choosingTarget = true;
        attackTargetValid = true;
        attackMissed = false;
        missShown = false;
    }

    // Confirms the target and starts the attack on a roll in [lo, hi];
    // returns what the launch printed.
    static std::string attackOnRoll(Unit& attacker, const Unit& target, int lo, int hi) {
        seedForRoll(lo, hi);
        confirmTarget(attacker, target);
        return captureOutput([] { startAttack(); });
    }
};
