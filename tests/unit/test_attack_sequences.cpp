// tests/unit/test_attack_sequences.cpp — each class's attack played from launch to outcome
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "rules/behaviour.h"
#include "tests/unit/combat_fixture.h"

namespace {

// Updates allowed before a sequence counts as stuck.
constexpr int UPDATE_BOUND = 100000;

int countOf(const std::string& text, const std::string& line) {
    int count = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) count++;
    return count;
}

class AttackSequenceTest : public CombatFixture {
protected:
    // Starts the attack with a roll that hits (90 or more) or misses (10 or
    // less): every miss range here lies between those.
    void launch(Unit& attacker, Unit& target, bool hit) {
        launchOutput = hit ? attackOnRoll(attacker, target, 90, 100) : attackOnRoll(attacker, target, 0, 10);
        ASSERT_EQ(attackMissed, !hit) << launchOutput;
    }

    // Steps the attack while keepGoing() holds, calling each(update) after
    // every step; returns the updates taken, UPDATE_BOUND when stuck.
    template <class Cond, class Each> static int stepWhile(Cond keepGoing, Each each) {
        int updates = 0;
        while (keepGoing() && updates < UPDATE_BOUND) {
            attackStep();
            each(++updates);
        }
        return updates;
    }
    template <class Cond> static int stepWhile(Cond keepGoing) {
        return stepWhile(keepGoing, [](int) {});
    }

    // Plays the attack to its end, keeping what it printed.
    int playToEnd() {
        int updates = 0;
        playOutput = captureOutput([&] { updates = stepWhile([] { return attackAnimating; }); });
        return updates;
    }

    std::string launchOutput, playOutput;
};

}  // namespace

TEST_F(AttackSequenceTest, ArcherVolleyFliesScattersThenStrikesOnce) {
    Archer* archer = placeUnit<Archer>(1, 2, 0);
    Fighter* fighter = placeUnit<Fighter>(2, 2, 2);
    specialChosen = true;
    launch(*archer, *fighter, true);
    frameSeconds = 0.05f;

    // The lead arrow: 2 squares at 1.5 squares a second, 0.075 per update.
    EXPECT_EQ(stepWhile([] { return arrowVolley.state == 0; }), 27);
    EXPECT_EQ(arrowVolley.arrow.x, arrowVolley.end.x);
    EXPECT_TRUE(atCentre(*fighter));

    // The trail: one arrow leaves per update, each flies as long as the lead
    // arrow did, in an arc that comes back down to where it started.
    const float startY = arrowVolley.start.y;
    float highest = startY;
    int highestAt = 0, firstLanded = 0, firstShaken = 0, trailUpdates = 0;
    std::string out = captureOutput([&] {
        trailUpdates = stepWhile([] { return attackAnimating; }, [&](int update) {
            if (!attackAnimating) return;
            if (update <= 50) {
                EXPECT_EQ(arrowVolley.released, update);
            }
            if (arrowVolley.trailLive[0] && arrowVolley.trail[0].y > highest) {
                highest = arrowVolley.trail[0].y;
                highestAt = update;
            }
            if (!arrowVolley.trailLive[0] && firstLanded == 0) firstLanded = update;
            if (!atCentre(*fighter) && firstShaken == 0) firstShaken = update;
        });
    });
    // The last of 50 arrows leaves at the 50th update and lands 27 updates later.
    EXPECT_EQ(trailUpdates, 49 + 27);
    EXPECT_EQ(firstLanded, 27);
    EXPECT_EQ(highestAt, 13);                              // the top of the arc at half the flight
    EXPECT_NEAR(arrowVolley.trail[0].y, startY, 1e-3f);    // down again
    EXPECT_GT(highest - startY, 0.6f);
    // Shaking starts once the sixteenth arrow (released at update 16) is
    // past the top of its arc: 14 of its updates, at update 29.
    EXPECT_EQ(firstShaken, 29);

    // The outcome, once: 13.5 plus the skill's extra, and 10 magic points.
    ASSERT_EQ(out.rfind("An Extra ", 0), 0u) << out;
    int extra = std::stoi(out.substr(9));
    EXPECT_EQ(out, "An Extra " + std::to_string(extra) + " damage received with special attack\n"
                   "arher attacks a fighter! Less damage!\n");
    EXPECT_EQ(fighter->hp, 100 - static_cast<int>(13.5 + extra));
    EXPECT_EQ(archer->mp, 10);
    EXPECT_FALSE(archer->canAct);
    EXPECT_FALSE(missShown);
    EXPECT_TRUE(atCentre(*archer) && atCentre(*fighter));
    EXPECT_TRUE(arrowVolley.state == 0 && arrowVolley.released == 0);
}

TEST_F(AttackSequenceTest, MissedVolleyPlaysInFullAndShowsTheMissMarker) {
    Archer* archer = placeUnit<Archer>(1, 2, 0);
    Fighter* fighter = placeUnit<Fighter>(2, 2, 2);
    launch(*archer, *fighter, false);
    frameSeconds = 0.05f;

    bool everShaken = false;
    int mostReleased = 0;
    auto watch = [&](int) {
        mostReleased = std::max(mostReleased, arrowVolley.released);
        everShaken |= !atCentre(*fighter);
    };
    int leadUpdates = stepWhile([] { return arrowVolley.state == 0; }, watch);
    int trailUpdates = stepWhile([] { return attackAnimating; }, watch);
    // The flight is as long as the way to the aim point beside the target.
    EXPECT_GE(leadUpdates * 0.075f, arrowVolley.distance - 1e-4f);
    EXPECT_LT((leadUpdates - 1) * 0.075f, arrowVolley.distance + 1e-4f);
    EXPECT_EQ(mostReleased, 50);
    EXPECT_EQ(trailUpdates, 49 + leadUpdates);
    EXPECT_FALSE(everShaken);
    EXPECT_TRUE(missShown);
    EXPECT_EQ(fighter->hp, 100);
    EXPECT_FALSE(archer->canAct);
    EXPECT_FALSE(attackMissed);
}

TEST_F(AttackSequenceTest, FighterLungesPausesOnlyWhileItsCounterIsBelowFive) {
    Fighter* fighter = placeUnit<Fighter>(1, 2, 1);
    Archer* archer = placeUnit<Archer>(2, 2, 2);
    launch(*fighter, *archer, true);
    // 1/16 s: every point of the lunge is exact, so the way back ends
    // exactly where the lunge began.
    frameSeconds = 0.0625f;
    const float startX = fighter->position.x, centreX = archer->position.x;

    std::vector<float> reach;   // how far out the Fighter is drawn, update by update
    std::vector<float> pushed;  // how far the target has been pushed along the lunge
    std::string out = captureOutput([&] {
        stepWhile([] { return attackAnimating; }, [&](int) {
            reach.push_back(lungeEffect.current.x - startX);
            pushed.push_back(archer->position.x - centreX);
        });
    });
    // Out in 11 updates of 0.09375, five updates at the target, back in 11.
    ASSERT_EQ(reach.size(), 27u);
    EXPECT_LT(reach[9], 1.0f);
    EXPECT_GE(reach[10], 1.0f);
    for (int i = 11; i < 16; i++) EXPECT_EQ(reach[i], reach[10]) << "pause update " << i + 1;
    EXPECT_LT(reach[16], reach[10]);
    EXPECT_EQ(reach[26], 0.0f);
    EXPECT_EQ(lungeEffect.backTime, 5);
    // The last three outward updates, within 0.25 of the target, hit it and
    // push it 0.04 each.
    EXPECT_EQ(pushed[7], 0.0f);
    EXPECT_NEAR(pushed[10], 0.12f, 0.04f);

    EXPECT_EQ(out, "fighter attacks an archer! Bonus damage!\n");
    EXPECT_EQ(archer->hp, 49);   // 30 - 4.8 + 6 = 31.2
    EXPECT_TRUE(atCentre(*archer));
    EXPECT_FALSE(fighter->canAct);

    // The counter is not reset by the next launch: no pause this time.
    launch(*fighter, *archer, true);
    EXPECT_EQ(playToEnd(), 22);
    EXPECT_EQ(archer->hp, 16);   // 30 - 2.94 + 6 = 33.06
    EXPECT_EQ(playOutput, "fighter attacks an archer! Bonus damage!\n");
}

TEST_F(AttackSequenceTest, FlierSwoopWaitsForItsLightningToBeDrawn) {
    Flier* flier = placeUnit<Flier>(1, 2, 1);
    Healer* healer = placeUnit<Healer>(2, 2, 2);
    launch(*flier, *healer, true);
    frameSeconds = 0.05f;
    auto swooping = [] { return lungeEffect.phase < 1; };

    int outUpdates = 0, backUpdates = 0;
    bool alwaysShaken = true;
    std::string out = captureOutput([&] {
        outUpdates = stepWhile(swooping, [&](int) { alwaysShaken &= !atCentre(*healer); });
        EXPECT_NEAR(lungeEffect.outTime, 0.7f, 1e-5f);
        // The bolt strikes from where the Flier stands.
        EXPECT_EQ(lungeEffect.current.x, flier->position.x);

        // No frame drawn, no end.
        for (int i = 0; i < 20; i++) attackStep();
        EXPECT_TRUE(attackAnimating);
        EXPECT_EQ(lungeEffect.backTime, 0);

        // Each drawn frame advances drawCount, as the lightning's drawing does.
        while (attackAnimating && backUpdates < UPDATE_BOUND) {
            lungeEffect.drawCount++;
            attackStep();
            backUpdates++;
        }
    });
    EXPECT_EQ(outUpdates, 14);
    EXPECT_EQ(backUpdates, 14);   // as long as the way out took
    EXPECT_TRUE(alwaysShaken);
    EXPECT_EQ(out, "flier attacks a healer! Bonus damage!\n");
    EXPECT_EQ(healer->hp, 27);   // 23 - 4.125 + 10 = 28.875
    EXPECT_TRUE(atCentre(*healer));

    // What the first swoop left in backTime ends the second at its first drawn frame.
    launch(*flier, *healer, true);
    captureOutput([&] {
        outUpdates = stepWhile(swooping);
        lungeEffect.drawCount = 1;
        attackStep();
    });
    EXPECT_EQ(outUpdates, 14);
    EXPECT_FALSE(attackAnimating);
    // 23 - 2.025 + 10 = 30.975 from 27: the Healer falls and frees its square.
    EXPECT_EQ(healer->hp, -3);
    EXPECT_TRUE(healer->dead);
    EXPECT_EQ(battleMap[2][2].occupant, -1);
}

TEST_F(AttackSequenceTest, HealerHealsThirtyPercentOnceItsTimerPassesThreeSecondsAndTheTimerCarriesOver) {
    Healer* healer = placeUnit<Healer>(1, 2, 1);
    Fighter* fighter = placeUnit<Fighter>(1, 2, 2);
    fighter->hp = 50;
    healChosen = true;
    launch(*healer, *fighter, true);
    const Vector boltAtLaunch = boltPosition;
    frameSeconds = 0.05f;   // 5 hundredths per update

    std::vector<int> hpSeen;
    int updates = 0;
    std::string out = captureOutput([&] {
        updates = stepWhile([] { return attackAnimating; }, [&](int) { hpSeen.push_back(fighter->hp); });
    });
    // 59 updates of waiting, then 1 hp an update until 30 % of 100 is gained.
    ASSERT_EQ(updates, 89);
    EXPECT_EQ(hpSeen[58], 50);
    EXPECT_EQ(hpSeen[59], 51);
    EXPECT_EQ(fighter->hp, 80);
    EXPECT_EQ(out, "");
    EXPECT_EQ(particleStyle, 0);
    EXPECT_EQ(healer->mp, 90);
    EXPECT_FALSE(healer->canAct);
    EXPECT_TRUE(boltActive);
    EXPECT_TRUE(boltPosition.x == boltAtLaunch.x && boltPosition.z == boltAtLaunch.z);
    EXPECT_EQ(actionCounter, 445);

    // The timer is never reset: the next heal takes effect at once and stops
    // at the ceiling.
    healChosen = true;
    launch(*healer, *fighter, true);
    captureOutput([] { attackStep(); });
    EXPECT_EQ(fighter->hp, 81);
    EXPECT_EQ(playToEnd(), 19);
    EXPECT_EQ(fighter->hp, 100);
    EXPECT_EQ(healer->mp, 80);

    // Healing a unit at its ceiling ends at once, gains nothing, still costs 10.
    healChosen = true;
    launch(*healer, *fighter, true);
    EXPECT_EQ(playToEnd(), 1);
    EXPECT_EQ(fighter->hp, 100);
    EXPECT_EQ(healer->mp, 70);

    // 30 % of a small ceiling, 55, is 16.5: the heal stops at a gain of 17,
    // and a missed heal heals all the same.
    Healer* patient = placeUnit<Healer>(1, 3, 1);
    patient->hp = 20;
    healChosen = true;
    launch(*healer, *patient, false);
    EXPECT_EQ(playToEnd(), 17);
    EXPECT_EQ(patient->hp, 37);
    EXPECT_FALSE(missShown);
}

TEST_F(AttackSequenceTest, HealerAttackStrikesAfterTenSeconds) {
    Healer* healer = placeUnit<Healer>(1, 2, 1);
    Fighter* fighter = placeUnit<Fighter>(2, 2, 2);
    launch(*healer, *fighter, true);
    EXPECT_EQ(particleStyle, 2);
    frameSeconds = 0.05f;

    int firstShaken = 0, updates = 0;
    std::string out = captureOutput([&] {
        updates = stepWhile([] { return attackAnimating; }, [&](int update) {
            if (attackAnimating && !atCentre(*fighter) && firstShaken == 0) firstShaken = update;
        });
    });
    EXPECT_EQ(updates, 200);       // 1000 hundredths
    EXPECT_EQ(firstShaken, 60);    // shaking from 300 on
    EXPECT_EQ(out, "");            // no pairing for a Healer on a Fighter
    EXPECT_EQ(fighter->hp, 93);    // 15 - 7.5
    EXPECT_EQ(particleStyle, 0);
    EXPECT_EQ(healer->mp, 100);
}

TEST_F(AttackSequenceTest, MageBoltLandsThenOneStageStrikesTwice) {
    Mage* mage = placeUnit<Mage>(1, 2, 0);
    Fighter* fighter = placeUnit<Fighter>(2, 2, 2);
    launch(*mage, *fighter, true);
    frameSeconds = 0.25f;   // 0.025 of growth per update: a stage is 8 updates

    // The bolt speeds up with the way covered (it may overshoot a little
    // before the update that sees it there) and lands on the aim point.
    float lastStep = 0;
    bool speedingUp = true;
    Vector before = boltPosition;
    int flight = stepWhile([] { return boltActive; }, [&](int) {
        if (!boltActive) return;
        float step = length(boltPosition - before);
        speedingUp &= step >= lastStep;
        lastStep = step;
        before = boltPosition;
    });
    ASSERT_LT(flight, UPDATE_BOUND);
    EXPECT_GT(flight, 20);
    EXPECT_TRUE(speedingUp);
    EXPECT_TRUE(boltPosition.x == aimPoint.x && boltPosition.z == aimPoint.z);
    EXPECT_EQ(spellScale, 1.0f);
    EXPECT_TRUE(atCentre(*fighter));
    // The burst starts fresh: every particle live at full life, fast, on a grid of 10.
    for (const Particle& p : particles) {
        ASSERT_TRUE(p.active && p.life == 1.0f && p.position.y == 1.0f && p.gravity.y == -0.8f);
        ASSERT_EQ(std::fmod(p.speed.x, 10.0f), 0.0f);
        ASSERT_TRUE(p.speed.x >= -260 && p.speed.x <= 230 && p.speed.y >= -250 && p.speed.y <= 240)
            << p.speed.x << " " << p.speed.y;
    }

    std::vector<int> stages;
    int updates = 0;
    std::string out = captureOutput([&] {
        updates = stepWhile([] { return attackAnimating; }, [&](int) { stages.push_back(actionCounter); });
    });
    EXPECT_EQ(updates, 9);
    EXPECT_EQ(stages[6], 0);
    EXPECT_EQ(stages[7], 1);
    EXPECT_EQ(actionCounter, 0);
    // Two separate blows: 17 - 7.5 + 10 from 100, then 17 - 6.075 + 10 from 81.
    EXPECT_EQ(out, "mage attacks a fighter! Bonus damage!\n"
                   "mage attacks a fighter! Bonus damage!\n");
    EXPECT_EQ(fighter->hp, 61);
    EXPECT_FALSE(mage->canAct);
    EXPECT_TRUE(atCentre(*fighter));
}

TEST_F(AttackSequenceTest, MageMagicPlaysFiveStagesAndChargesOnce) {
    Mage* mage = placeUnit<Mage>(1, 2, 0);
    Fighter* fighter = placeUnit<Fighter>(2, 2, 2);
    specialChosen = true;
    launch(*mage, *fighter, true);
    frameSeconds = 0.25f;
    stepWhile([] { return boltActive && attackAnimating; });

    std::vector<int> stageEnds;
    int last = actionCounter, updates = 0;
    std::string out = captureOutput([&] {
        updates = stepWhile([] { return attackAnimating; }, [&](int update) {
            if (actionCounter != last) stageEnds.push_back(update);
            last = actionCounter;
        });
    });
    // Stages end every 8 updates; the fifth is followed by the blows, then the reset.
    EXPECT_EQ(stageEnds, (std::vector<int>{8, 16, 24, 32, 40, 41}));
    EXPECT_EQ(updates, 41);
    EXPECT_EQ(countOf(out, " damage received with special attack\n"), 2);
    EXPECT_EQ(countOf(out, "mage attacks a fighter! Bonus damage!\n"), 2);
    EXPECT_EQ(mage->mp, 40);
    EXPECT_LE(fighter->hp, 61);   // two blows, each with its extra
}

TEST_F(AttackSequenceTest, MageMissEndsBeforeTheBoltLands) {
    Mage* mage = placeUnit<Mage>(1, 2, 0);
    Fighter* fighter = placeUnit<Fighter>(2, 2, 2);
    specialChosen = true;
    actionCounter = 3;
    launch(*mage, *fighter, false);
    frameSeconds = 0.25f;
    EXPECT_EQ(playToEnd(), 1);
    EXPECT_TRUE(missShown);
    EXPECT_EQ(playOutput, "");
    EXPECT_EQ(fighter->hp, 100);
    EXPECT_EQ(actionCounter, 0);
    EXPECT_EQ(mage->mp, 40);
    EXPECT_FALSE(mage->canAct);
}

TEST_F(AttackSequenceTest, MageAfterAHealerStrikesAsSoonAsTheBoltLands) {
    Mage* mage = placeUnit<Mage>(1, 2, 0);
    Fighter* fighter = placeUnit<Fighter>(2, 2, 2);
    actionCounter = 445;   // as a Healer's heal leaves it
    launch(*mage, *fighter, true);
    frameSeconds = 0.25f;
    stepWhile([] { return boltActive && attackAnimating; });
    EXPECT_EQ(playToEnd(), 1);
    EXPECT_EQ(fighter->hp, 61);
    EXPECT_EQ(actionCounter, 0);
}
