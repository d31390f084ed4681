// tests/unit/test_turns.cpp — the hero choice, turns, banners and the per-frame update
#include <algorithm>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "app/camera.h"
#include "game/battle_map.h"
#include "render/frame_clock.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/keyboard.h"
#include "render/looks.h"
#include "tests/support/battle.h"
#include "tests/support/window_link_fake.h"
#include "tests/unit/rules_keys.h"

namespace {

class TurnTest : public BattleTest {
protected:
    void SetUp() override {
        BattleTest::SetUp();
        loadUniformMap(7, 5, 1);
    }
};

std::string heroCheckOutput() {
    return captureOutput([] { checkHeroChoice(); });
}

TEST_F(TurnTest, HeroChoiceGoesFromPlayerOneToPlayerTwoToTheFirstTurn) {
    Fighter* p1Hero = placeUnit<Fighter>(1, 0, 0);
    Archer* p1Other = placeUnit<Archer>(1, 0, 1);
    Mage* p2Hero = placeUnit<Mage>(2, 6, 0);
    Healer* p2Other = placeUnit<Healer>(2, 6, 1);
    EXPECT_EQ(heroCheckOutput(), "") << "nothing happens while no menu is open";

    openMenuOf(*p1Hero);
    EXPECT_EQ(heroCheckOutput(), "p1 hero selected!\n");
    EXPECT_TRUE(p1Hero->hero);
    EXPECT_EQ(p1Material, 16);
    EXPECT_EQ(materialBrowse, 1);
    EXPECT_TRUE(bannerP2BeginTurn);
    EXPECT_EQ(currentPlayer, 2);
    EXPECT_FALSE(p1Hero->menuOpen) << "the fed Home key closed the menu";
    EXPECT_TRUE(p1Hero->canAct) << "opening the menu did not use the action";
    EXPECT_FALSE(p1Other->visible);
    EXPECT_TRUE(p2Other->visible);
    EXPECT_EQ(heroCheckOutput(), "") << "a closed menu confirms nothing";

    onKeyboard('m', 0, 0);
    openMenuOf(*p2Hero);
    EXPECT_EQ(heroCheckOutput(), "p2 hero selected!\n");
    EXPECT_TRUE(p2Hero->hero);
    EXPECT_EQ(p2Material, 2);
    EXPECT_EQ(currentPlayer, 1);
    EXPECT_TRUE(bannerP1BeginTurn);
    EXPECT_FALSE(p2Hero->menuOpen);
    EXPECT_TRUE(p1Other->visible);
    EXPECT_FALSE(p2Other->visible);

    // The choice is over: an open menu is only a menu.
    openMenuOf(*p1Other);
    ASSERT_TRUE(p1Other->menuOpen);
    EXPECT_EQ(heroCheckOutput(), "");
    EXPECT_FALSE(p1Other->hero);
}

// During the choice a menu only names the hero: no entry acts, even on keys
// that come before the frame confirming the hero. With the keys handed over
// by t, no menu opens on either side.
TEST_F(TurnTest, NothingActsDuringTheHeroChoice) {
    Fighter* own = placeUnit<Fighter>(1, 0, 0);
    Fighter* enemy = placeUnit<Fighter>(2, 0, 1);   // in reach to the right; free square below
    onKeyboard('t', 0, 0);
    for (Unit* unit : {own, enemy}) {
        openMenuOf(*unit);
        EXPECT_FALSE(unit->menuOpen);
    }
    onKeyboard('t', 0, 0);
    frameSeconds = 0.05f;
    std::string out = captureOutput([&] {
        for (int entry = 1; entry <= 4; entry++) {
            openMenuOf(*own);
            menuItem = entry;
            press({KEY_INSERT, KEY_RIGHT, KEY_INSERT, KEY_LEFT, KEY_DOWN, KEY_INSERT});
            for (int i = 0; i < 300; i++) idleUpdate();
            EXPECT_TRUE(own->menuOpen && !choosingTarget && !choosingMove) << "entry " << entry;
            press(KEY_HOME);
        }
    });
    EXPECT_EQ(out, "") << "no blow was struck";
    EXPECT_TRUE(own->canAct && standsOn(*own, 0, 0) && own->movePoints == 5);
    EXPECT_EQ(enemy->hp, enemy->maxHp);

    openMenuOf(*own);
    EXPECT_EQ(heroCheckOutput(), "p1 hero selected!\n");
}

// Whatever player 1 has under way when the keys go to player 2 is left as
// Home leaves it, so player 2 cannot drive player 1's unit: a glide stops
// and the unit stands back on its square. A blow already rolled plays out
// first: t waits for it.
TEST_F(TurnTest, HandingTheTurnOverLeavesWhateverWasUnderWay) {
    auto underWay = [] {
        bool anyMenu = false;
        for (const Unit* unit : allUnits) anyMenu = anyMenu || unit->menuOpen;
        return anyMenu || choosingMove || moveTargetValid || moveAnimating || choosingTarget || attackTargetValid;
    };
    const std::initializer_list<int> sequences[] = {
        {},                                        // menu
        {1, KEY_RIGHT},                            // aiming at the Fighter
        {1, KEY_RIGHT, KEY_HOME},                  // backed out: the Fighter is selected, the Archer's menu left open
        {4, KEY_UP},                               // stepping
        {4, KEY_UP, KEY_INSERT},                   // gliding
    };
    Archer* archer = nullptr;
    for (const auto& keys : sequences) {
        SCOPED_TRACE(keys.size());
        resetBattleState();
        loadUniformMap(7, 5, 1);
        startPlaying();
        archer = placeUnit<Archer>(1, 3, 1);
        placeUnit<Fighter>(1, 3, 2);
        openMenuOf(*archer);
        pressSequence(keys);
        for (int i = 0; i < 10; i++) idleUpdate();
        onKeyboard('t', 0, 0);
        EXPECT_FALSE(underWay());
        EXPECT_TRUE(standsOn(*archer, 3, 1));
        openMenuOf(*archer);
        press({KEY_INSERT, KEY_RIGHT, KEY_INSERT});
        glide();
        EXPECT_TRUE(archer->canAct && standsOn(*archer, 3, 1) && archer->movePoints == 5);
    }

    onKeyboard('t', 0, 0);   // back to player 1, the Archer free to act
    chooseEntry(*archer, 1);
    press({KEY_RIGHT, KEY_INSERT});
    ASSERT_TRUE(attackAnimating);
    onKeyboard('t', 0, 0);
    EXPECT_EQ(currentPlayer, 1);
    frameSeconds = 0.05f;
    captureOutput([] { idleUntil([] { return !attackAnimating; }, 5000); });
    onKeyboard('t', 0, 0);
    EXPECT_EQ(currentPlayer, 2);
}

// A side with no army could never choose its hero: the first frame settles
// the battle instead. With nobody on either side nobody wins.
TEST_F(TurnTest, ASideWithNoArmyLosesAtOnce) {
    const std::pair<bool, bool> armies[] = {{true, false}, {false, true}, {false, false}};
    for (const auto& [first, second] : armies) {
        SCOPED_TRACE(testing::Message() << first << second);
        resetBattleState();
        if (first) placeUnit<Mage>(1, 0, 0);
        if (second) placeUnit<Mage>(2, 6, 0);
        EXPECT_EQ(heroCheckOutput(), "");
        EXPECT_FALSE(choosingHeroes || p1ChoosingHero || p2ChoosingHero);
        EXPECT_EQ(bannerP1Wins, first);
        EXPECT_EQ(bannerP2Wins, second);
    }
}

TEST_F(TurnTest, TheFirstTurnStartsFromTheValuesUnitsWereBuiltWith) {
    Fighter* h1 = placeUnit<Fighter>(1, 0, 0);
    Flier* flier = placeUnit<Flier>(1, 0, 1);
    Mage* mage = placeUnit<Mage>(1, 0, 2);
    Fighter* h2 = placeUnit<Fighter>(2, 6, 0);
    Healer* healer = placeUnit<Healer>(2, 6, 1);
    captureOutput([&] { chooseHeroes(*h1, *h2); });
    for (Unit* unit : allUnits) {
        EXPECT_TRUE(unit->canAct);
        EXPECT_TRUE(unit->defending) << "every unit starts defending";
    }
    EXPECT_EQ(flier->movePoints, 7);
    EXPECT_EQ(mage->movePoints, 6);
    EXPECT_EQ(healer->movePoints, 7);
}

TEST_F(TurnTest, BeginTurnGivesFreshActionsAndFivePointsToTheCurrentPlayerOnly) {
    Flier* p1Flier = placeUnit<Flier>(1, 0, 0);
    Healer* p2Healer = placeUnit<Healer>(2, 6, 1);
    Mage* p2Mage = placeUnit<Mage>(2, 6, 2);
    p1Flier->movePoints = 2;
    p2Healer->movePoints = 0;
    p2Mage->canAct = false;

    currentPlayer = 2;
    beginTurn();
    EXPECT_FALSE(p1Flier->canAct);
    EXPECT_EQ(p1Flier->movePoints, 2);
    for (Unit* unit : std::initializer_list<Unit*>{p2Healer, p2Mage}) {
        EXPECT_TRUE(unit->canAct);
        EXPECT_EQ(unit->movePoints, 5);
    }
    EXPECT_TRUE(bannerP1EndTurn);
    EXPECT_FALSE(bannerP2EndTurn);
    EXPECT_EQ(windowLinkRecord.redisplays, 1);

    currentPlayer = 1;
    beginTurn();
    EXPECT_TRUE(bannerP2EndTurn);
    EXPECT_EQ(p1Flier->movePoints, 5);
    EXPECT_FALSE(p2Mage->canAct);
}

TEST_F(TurnTest, TheTurnPassesOnTheNextSpecialKeyAfterTheLastAttackNotAtItsEnd) {
    Fighter* p1Hero = placeUnit<Fighter>(1, 3, 1);
    Fighter* p2Hero = placeUnit<Fighter>(2, 6, 4);
    Archer* p2Archer = placeUnit<Archer>(2, 3, 2);
    captureOutput([&] { chooseHeroes(*p1Hero, *p2Hero); });

    chooseEntry(*p1Hero, 1);
    press(KEY_RIGHT);
    std::string out = captureOutput([] { press(KEY_INSERT); });
    EXPECT_EQ(out.rfind("Hit range = ", 0), 0u) << out;
    ASSERT_TRUE(attackAnimating);

    frameSeconds = 0.05f;
    captureOutput([] { ASSERT_GT(idleUntil([] { return !attackAnimating; }, 5000), 0); });
    EXPECT_FALSE(p1Hero->canAct);
    EXPECT_EQ(currentPlayer, 1) << "the end of the attack does not pass the turn";
    EXPECT_FALSE(bannerP1EndTurn);

    p2Archer->movePoints = 0;
    press(KEY_F1);
    EXPECT_EQ(currentPlayer, 2);
    EXPECT_EQ(p2Archer->movePoints, 5);
    EXPECT_TRUE(bannerP1EndTurn);
    EXPECT_FALSE(cursorOnUnit);
    EXPECT_TRUE(p2Archer->visible);
    EXPECT_FALSE(p2Archer->menuOpen);
}

TEST_F(TurnTest, DefendingWithTheLastUnitPassesTheTurnWithinThatKey) {
    Fighter* p1Hero = placeUnit<Fighter>(1, 3, 1);
    Fighter* p2Hero = placeUnit<Fighter>(2, 6, 4);
    captureOutput([&] { chooseHeroes(*p1Hero, *p2Hero); });
    chooseEntry(*p1Hero, 3);
    EXPECT_EQ(currentPlayer, 2);
    EXPECT_TRUE(bannerP1EndTurn);
}

TEST_F(TurnTest, APlayerWithNoUnitsKeepsTheTurn) {
    Archer* p2Only = placeUnit<Archer>(2, 6, 0);
    choosingHeroes = p1ChoosingHero = false;
    p2Only->canAct = false;
    press({KEY_F2, KEY_DOWN, KEY_HOME, KEY_INSERT});
    EXPECT_EQ(currentPlayer, 1);
    EXPECT_FALSE(bannerP2EndTurn);
    EXPECT_FALSE(p2Only->canAct);
}

TEST_F(TurnTest, AFallenUnitLosesItsActionAndItsSquareForGood) {
    Archer* p1Hero = placeUnit<Archer>(1, 3, 0);
    Fighter* p2Hero = placeUnit<Fighter>(2, 6, 4);
    Fighter* victim = placeUnit<Fighter>(2, 3, 2);
    captureOutput([&] { chooseHeroes(*p1Hero, *p2Hero); });

    victim->hp = 1;
    captureOutput([&] { resolveDamage(*p1Hero, *victim); });
    ASSERT_TRUE(victim->dead);
    EXPECT_FALSE(victim->canAct);
    EXPECT_EQ(battleMap[3][2].occupant, -1);
    EXPECT_EQ(std::count(allUnits.begin(), allUnits.end(), victim), 1) << "the fallen stay in every list";

    // Player 2's turns never give it an action back, and never wait for it.
    currentPlayer = 2;
    victim->movePoints = 0;
    beginTurn();
    EXPECT_FALSE(victim->canAct);
    EXPECT_EQ(victim->movePoints, 0);
    p2Hero->canAct = false;
    press(KEY_F1);
    EXPECT_EQ(currentPlayer, 1) << "the turn did not wait for the fallen unit";

    // Its square is empty to the cursor: nothing to select, nothing to open...
    browseTo(3, 2);
    EXPECT_FALSE(cursorOnUnit);
    EXPECT_NE(selectedUnit, victim);
    press(KEY_INSERT);
    EXPECT_FALSE(victim->menuOpen);

    // ...to targeting, and to movement.
    chooseEntry(*p1Hero, 1);
    press({KEY_RIGHT, KEY_RIGHT});
    EXPECT_EQ(cursorSquare(), Square(3, 2));
    EXPECT_FALSE(attackTargetValid);
    press({KEY_HOME, KEY_HOME});
    startStepping(*p1Hero);
    for (int step = 1; step <= 2; step++) {
        press({KEY_RIGHT, KEY_INSERT});
        ASSERT_TRUE(moveAnimating) << "step " << step;
        ASSERT_GT(glide(), 0);
    }
    EXPECT_TRUE(standsOn(*p1Hero, 3, 2)) << "the fallen unit's square can be entered";
    EXPECT_EQ(victim->row, 3);
}

TEST_F(TurnTest, EachBannerUpdateMakesOneTransitionAtThreeTicks) {
    auto tick = [](float seconds) { bannerSeconds = seconds; updateBanners(); };
    bannerP1EndTurn = bannerP1BeginTurn = bannerP1Wins = true;
    tick(2);
    EXPECT_TRUE(bannerP1EndTurn);
    EXPECT_EQ(bannerSeconds, 2);
    tick(3);   // the end banner hands over; the begin banner waits for the next call
    EXPECT_EQ(bannerSeconds, 0);
    EXPECT_TRUE(!bannerP1EndTurn && bannerP2BeginTurn && bannerP1BeginTurn);
    tick(3);
    EXPECT_TRUE(!bannerP1BeginTurn && bannerP2BeginTurn);
    tick(3);
    EXPECT_FALSE(bannerP2BeginTurn);
    bannerP2EndTurn = true;
    tick(3);
    EXPECT_TRUE(!bannerP2EndTurn && bannerP1BeginTurn);
    EXPECT_TRUE(bannerP1Wins) << "the victory banner stays";
}

TEST_F(TurnTest, EndOfTurnAndBeginTurnBannersShowAboutThreeSecondsEach) {
    // Frames every 50 ms from a fixed tick count, as the frame clock sees them.
    uint32_t now = 10000;
    tickFrameClock(now);
    bannerP1EndTurn = true;
    bannerSeconds = 0;
    uint32_t shownAt = now, handedOverAt = 0, goneAt = 0;
    for (int frame = 0; frame < 400 && goneAt == 0; frame++) {
        now += 50;
        tickFrameClock(now);
        if (handedOverAt == 0 && bannerP2BeginTurn) {
            EXPECT_FALSE(bannerP1EndTurn);
            handedOverAt = now;
        }
        if (handedOverAt != 0 && !bannerP2BeginTurn) goneAt = now;
    }
    ASSERT_NE(goneAt, 0u);
    EXPECT_GE(handedOverAt - shownAt, 2000u) << "the first tick may come early";
    EXPECT_LE(handedOverAt - shownAt, 3300u);
    EXPECT_GE(goneAt - handedOverAt, 3000u);
    EXPECT_LE(goneAt - handedOverAt, 3300u);
}

// The turn banners up, in drawing order: the drawing shows the last.
std::string turnBanners() {
    std::string up;
    for (auto [flag, name] : {std::pair{bannerP1BeginTurn, "p1 begin "}, {bannerP1EndTurn, "p1 end "},
                              {bannerP2BeginTurn, "p2 begin "}, {bannerP2EndTurn, "p2 end "}})
        if (flag) up += name;
    return up;
}

// Heroes chosen and turns passed within a banner's three seconds: the banner
// left over must not outlast the turn it belongs to.
TEST_F(TurnTest, TheBannerNamesThePlayerWhoseTurnItIsAfterQuickTurns) {
    Fighter* h1 = placeUnit<Fighter>(1, 0, 0);
    Fighter* h2 = placeUnit<Fighter>(2, 6, 0);
    auto threeTicksPass = [] {
        bannerSeconds = 3;
        updateBanners();
    };
    captureOutput([&] { chooseHeroes(*h1, *h2); });
    EXPECT_EQ(turnBanners(), "p1 begin ");
    chooseEntry(*h1, 3);
    EXPECT_EQ(turnBanners(), "p1 end ");
    threeTicksPass();
    chooseEntry(*h2, 3);
    EXPECT_EQ(turnBanners(), "p2 end ");
    threeTicksPass();
    EXPECT_EQ(turnBanners(), "p1 begin ");
    onKeyboard('t', 0, 0);
    EXPECT_EQ(turnBanners(), "") << "t hands over without a turn";
}

TEST_F(TurnTest, HeldCameraKeysAddUpAndFollowTheFrameTime) {
    cameraMoveAxis = Vector(0, 0, -3);
    onKeyboard('8', 0, 0);
    onKeyboard('6', 0, 0);
    frameSeconds = 0.1f;
    idleUpdate();
    EXPECT_NEAR(cameraEye.x, 6 - 0.7f, 1e-5);   // across the view
    EXPECT_NEAR(cameraEye.y, 10, 1e-5);
    EXPECT_NEAR(cameraEye.z, 13 + 0.7f, 1e-5);   // level, against the view axis
    frameSeconds = 0.05f;
    idleUpdate();
    idleUpdate();
    EXPECT_NEAR(cameraEye.x, 6 - 1.4f, 1e-5);
    EXPECT_NEAR(cameraEye.z, 13 + 1.4f, 1e-5);

    held8 = held6 = false;
    cameraMoveAxis = Vector(0, -3, -4);   // looking down and ahead
    onKeyboard('+', 0, 0);
    frameSeconds = 1.0f;
    idleUpdate();
    EXPECT_NEAR(cameraEye.y, 10 + 0.6f * 7, 1e-4);
    EXPECT_NEAR(cameraEye.z, 13 + 1.4f + 0.8f * 7, 1e-4);
    heldPlus = false;
    onKeyboard('2', 0, 0);
    idleUpdate();
    EXPECT_NEAR(cameraEye.y, 10 + 0.6f * 7, 1e-4) << "2 and 8 stay level";
    EXPECT_NEAR(cameraEye.z, 13 + 1.4f, 1e-4);

    // However long a key is held, the eye stops a unit short of the sky box's walls.
    Vector low, high;
    skyBoxAroundMap(low, high);
    frameSeconds = 100;
    idleUpdate();
    EXPECT_FLOAT_EQ(cameraEye.z, low.z + 1);
    heldPlus = true;
    idleUpdate();
    EXPECT_FLOAT_EQ(cameraEye.y, high.y - 1);
    EXPECT_FLOAT_EQ(cameraEye.z, low.z + 1);
}

// e: whatever is under way is left as Home leaves it, every unit of the
// player gives up its action (keeping the points it has not spent), and the
// turn passes with its banners as after the last action. Not during the
// hero choice, nor while a blow plays.
TEST_F(TurnTest, EndTurnKeyGivesUpEveryActionAndPassesTheTurn) {
    Fighter* fighter = placeUnit<Fighter>(1, 3, 1);
    onKeyboard('e', 0, 0);
    EXPECT_TRUE(choosingHeroes && fighter->canAct);
    startPlaying();
    Archer* archer = placeUnit<Archer>(1, 3, 3);
    Mage* enemy = placeUnit<Mage>(2, 5, 1);
    enemy->canAct = false;
    enemy->movePoints = 2;
    startStepping(*fighter);
    press({KEY_DOWN, KEY_INSERT});
    ASSERT_GT(glide(), 0);
    press(KEY_UP);
    attackAnimating = true;
    onKeyboard('e', 0, 0);
    EXPECT_EQ(currentPlayer, 1) << "a blow plays out first";
    attackAnimating = false;

    onKeyboard('e', 0, 0);
    EXPECT_EQ(currentPlayer, 2);
    EXPECT_EQ(turnBanners(), "p1 end ");
    EXPECT_FALSE(fighter->canAct || archer->canAct || fighter->menuOpen || choosingMove || cursorOnUnit);
    EXPECT_TRUE(standsOn(*fighter, 4, 1));
    EXPECT_EQ(fighter->movePoints, 4);
    EXPECT_EQ(archer->movePoints, 5);
    EXPECT_TRUE(enemy->canAct && enemy->visible);
    EXPECT_EQ(enemy->movePoints, 5);
}

// Once a hero has fallen the battle keys do nothing; the banner stays its
// three seconds, then the next key (and only that) puts it away, and Enter
// starts the same armies afresh: placed again, and with KESTRAVA_SEED set
// placed as that seed places them.
TEST_F(TurnTest, AfterTheVictoryAKeyShowsTheBoardAndEnterStartsTheArmiesAfresh) {
    ASSERT_EQ(setenv("KESTRAVA_SEED", "3", 1), 0);
    startPlaying();
    placeUnit<Healer>(1, 1, 1);
    placeUnit<Mage>(2, 5, 1);
    placeUnit<Mage>(2, 4, 2);
    bannerP1Wins = true;
    frameSeconds = 1;
    for (int second = 0; second < 3; second++) {
        onWindowSpecialKey(KEY_DOWN, 0, 0);
        onWindowKey('e', 0, 0);
        onWindowKey('t', 0, 0);
        EXPECT_FALSE(afterVictory);
        idleUpdate();
    }
    EXPECT_EQ(cursorSquare(), Square(0, 0));
    EXPECT_EQ(currentPlayer, 1);
    onWindowKey('\r', 0, 0);
    EXPECT_TRUE(afterVictory && bannerP1Wins) << "the key puts the banner away";
    EXPECT_EQ(battlesStarted, 0);

    auto placement = [] {
        std::string squares;
        for (const Unit* unit : allUnits)
            squares += std::to_string(unit->player) + std::to_string(unit->unitClass) + "@" +
                       std::to_string(unit->row) + std::to_string(unit->col) + " ";
        return squares;
    };
    std::string out = captureOutput([] { onWindowKey('\r', 0, 0); });
    EXPECT_EQ(battlesStarted, 1);
    EXPECT_TRUE(choosingHeroes && p1ChoosingHero && currentPlayer == 1);
    EXPECT_FALSE(battleWon() || afterVictory);
    EXPECT_EQ(out.rfind("id num is 0\noccupying a square with unit with id num of 0\n", 0), 0u) << out;
    const std::string first = placement();
    EXPECT_EQ(std::count(first.begin(), first.end(), '@'), 5);
    EXPECT_NE(first.find("14@"), std::string::npos) << first;
    for (const Unit* unit : allUnits) {
        EXPECT_TRUE(standsOn(*unit, unit->row, unit->col));
        EXPECT_TRUE(unit->player == 1 ? unit->row <= 2 : unit->row >= 4) << first;
        EXPECT_FALSE(unit->hero || unit->hp < unit->maxHp);
    }
    bannerP2Wins = true;
    victorySeconds = 3;
    captureOutput([] { onWindowSpecialKey(KEY_F1, 0, 0); onWindowKey('\r', 0, 0); });
    EXPECT_EQ(placement(), first) << "the same seed, the same placement";
    unsetenv("KESTRAVA_SEED");
}

TEST_F(TurnTest, IdleUpdateAnimatesEachVisibleUnitOnceAndAsksForARedraw) {
    Fighter* own = placeUnit<Fighter>(1, 0, 0);
    Fighter* hidden = placeUnit<Fighter>(2, 6, 4);
    idleUpdate();
    EXPECT_TRUE(own->visible);
    EXPECT_FALSE(hidden->visible);
    EXPECT_FLOAT_EQ(own->spikeSpin, 0.3f);
    EXPECT_FLOAT_EQ(hidden->spikeSpin, 0.0f);
    EXPECT_EQ(windowLinkRecord.redisplays, 1);
}

}  // namespace
