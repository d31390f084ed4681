// tests/unit/test_turns.cpp — the hero choice, turns, banners and the per-frame update
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "app/input.h"
#include "game/battle_map.h"
#include "rules/combat.h"
#include "rules/cues.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/game_state.h"
#include "rules/keyboard.h"
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

// Player 1 keeps the material shown during the choice; an entry before the frame confirms
// the hero does nothing; with both heroes a menu is only a menu.
TEST_F(TurnTest, HeroChoiceGoesFromPlayerOneToPlayerTwoToTheFirstTurn) {
    Fighter* p1Hero = placeUnit<Fighter>(1, 0, 0);
    Archer* p1Other = placeUnit<Archer>(1, 0, 1);
    Mage* p2Hero = placeUnit<Mage>(2, 6, 0);
    Healer* p2Other = placeUnit<Healer>(2, 6, 1);
    EXPECT_EQ(heroCheckOutput(), "") << "nothing happens while no menu is open";
    onKeyboard('t', 0, 0);   // the keys go to player 2, who is not choosing
    openMenuOf(*p2Hero);
    EXPECT_FALSE(p2Hero->menuOpen);
    onKeyboard('t', 0, 0);

    openMenuOf(*p1Hero);
    menuItem = 3;
    press(KEY_INSERT);
    EXPECT_TRUE(p1Hero->canAct && p1Hero->menuOpen) << "Defend was not taken";
    EXPECT_EQ(heroCheckOutput(), "p1 hero selected!\n");
    EXPECT_TRUE(p1Hero->hero && !p1Hero->menuOpen);
    EXPECT_EQ(p1Material, 16);
    EXPECT_TRUE(currentPlayer == 2 && bannerP2BeginTurn);
    EXPECT_TRUE(!p1Other->visible && p2Other->visible);

    openMenuOf(*p2Hero);
    EXPECT_EQ(heroCheckOutput(), "p2 hero selected!\n");
    EXPECT_TRUE(p2Hero->hero && currentPlayer == 1 && bannerP1BeginTurn);
    EXPECT_TRUE(p1Other->visible && !p2Other->visible);

    openMenuOf(*p1Other);
    ASSERT_TRUE(p1Other->menuOpen);
    EXPECT_EQ(heroCheckOutput(), "");
    EXPECT_FALSE(p1Other->hero);
}

// A side with no army loses at the first check, and the victory is heard; with nobody on
// either side nobody wins.
TEST_F(TurnTest, ASideWithNoArmyLosesAtOnce) {
    for (const auto& [first, second] : {std::pair{true, false}, {false, true}, {false, false}}) {
        SCOPED_TRACE(testing::Message() << first << second);
        resetBattleState();
        if (first) placeUnit<Mage>(1, 0, 0);
        if (second) placeUnit<Mage>(2, 6, 0);
        EXPECT_EQ(heroCheckOutput(), "");
        EXPECT_FALSE(choosingHeroes || p1ChoosingHero || p2ChoosingHero);
        EXPECT_EQ(bannerP1Wins, first);
        EXPECT_EQ(bannerP2Wins, second);
        const bool heard = pendingCues.size() == 1 && pendingCues[0].cue == CUE_VICTORY;
        EXPECT_TRUE(first != second ? heard : pendingCues.empty()) << pendingCues.size() << " cues";
    }
}

// The next special key after the last attack passes the turn, and an arrow still selects.
TEST_F(TurnTest, TheTurnPassesOnTheNextSpecialKeyAfterTheLastAttackNotAtItsEnd) {
    Fighter* p1Hero = placeUnit<Fighter>(1, 3, 1);
    Fighter* p2Hero = placeUnit<Fighter>(2, 3, 3);
    Archer* p2Archer = placeUnit<Archer>(2, 3, 2);
    captureOutput([&] { chooseHeroes(*p1Hero, *p2Hero); });

    chooseEntry(*p1Hero, 1);
    press(KEY_RIGHT);
    std::string out = captureOutput([] { press(KEY_INSERT); });
    EXPECT_EQ(out.rfind("Hit range = ", 0), 0u) << out;
    frameSeconds = 0.05f;
    captureOutput([] { ASSERT_GT(idleUntil([] { return !attackAnimating; }, 5000), 0); });
    EXPECT_TRUE(currentPlayer == 1 && !bannerP1EndTurn);

    p2Archer->movePoints = 0;
    press(KEY_RIGHT);
    EXPECT_TRUE(currentPlayer == 2 && bannerP1EndTurn);
    EXPECT_EQ(p2Archer->movePoints, 5);
    EXPECT_EQ(selectedUnit, p2Hero);
    EXPECT_FALSE(cursorOnUnit);
}

// The turn banners up, in drawing order: the drawing shows the last.
std::string turnBanners() {
    std::string up;
    for (auto [flag, name] : {std::pair{bannerP1BeginTurn, "p1 begin "}, {bannerP1EndTurn, "p1 end "},
                              {bannerP2BeginTurn, "p2 begin "}, {bannerP2EndTurn, "p2 end "}})
        if (flag) up += name;
    return up;
}

// Turns passed within a banner's three seconds: no banner outlasts its turn.
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

// t while a blow plays: the blow plays out under its own player, then the
// turn passes, once however often t was pressed; not after a blow that wins.
TEST_F(TurnTest, TurnKeyDuringABlowPassesTheTurnOnceTheBlowEnds) {
    for (bool heroFalls : {false, true}) {
        SCOPED_TRACE(heroFalls ? "the blow fells the hero" : "an ordinary blow");
        resetBattleState();
        loadUniformMap(7, 5, 1);
        startPlaying();
        Unit* enemyHero = allUnits[1];
        ASSERT_TRUE(enemyHero->hero && enemyHero->player == 2);
        Mage* mage = placeUnit<Mage>(1, 5, 4);
        if (heroFalls) enemyHero->hp = 1;
        chooseEntry(*mage, 1);
        seedForRoll(90, 100);
        frameSeconds = 1.0f / 60;
        captureOutput([] {
            press({KEY_DOWN, KEY_INSERT});
            for (int i = 0; i < 3; i++) {
                onKeyboard('t', 0, 0);
                idleUpdate();
            }
        });
        ASSERT_TRUE(attackAnimating);
        EXPECT_EQ(currentPlayer, 1) << "the blow plays under its own player";
        int updates = 0;
        captureOutput([&] { updates = idleUntil([] { return !attackAnimating; }, 5000); });
        ASSERT_GT(updates, 0);
        EXPECT_EQ(currentPlayer, heroFalls ? 1 : 2);
        EXPECT_EQ(battleWon(), heroFalls);
        idleUpdate();
        EXPECT_EQ(currentPlayer, heroFalls ? 1 : 2) << "the turn passes once";
    }
}

// e: what is under way left as Home leaves it, every unit gives up its action (keeping its
// points), the turn passes with its banners. Not during the hero choice nor a blow.
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

// After a hero falls the arrows read the board, but nothing opens, acts or passes; the banner
// shows after the fall's moment, and three seconds later the next key alone puts it away, and
// Enter places the same armies afresh (as KESTRAVA_SEED places them) from player 1's hero
// choice, nothing of the last battle left.
TEST_F(TurnTest, AfterTheVictoryAKeyShowsTheBoardAndEnterStartsTheArmiesAfresh) {
    ASSERT_EQ(setenv("KESTRAVA_SEED", "3", 1), 0);
    startPlaying();
    Healer* healer = placeUnit<Healer>(1, 1, 1);
    placeUnit<Mage>(2, 5, 1);
    placeUnit<Mage>(2, 4, 2);
    bannerP1Wins = true;
    frameSeconds = 1;
    EXPECT_TRUE(bannerUp() && !bannerShown()) << "the fall is seen before the banner comes up";
    for (int key : {KEY_DOWN, KEY_RIGHT, KEY_INSERT}) {
        dispatch({CMD_SPECIAL, key});
        dispatch({CMD_SPECIAL_UP, key});
        dispatch({CMD_KEY, 'e'});
        dispatch({CMD_KEY, 't'});
        EXPECT_FALSE(afterVictory);
        idleUpdate();
    }
    EXPECT_EQ(cursorSquare(), Square(1, 1));
    EXPECT_TRUE(selectedUnit == healer && statusShown()) << "the status panel reads the unit under the cursor";
    EXPECT_TRUE(healer->canAct && !healer->menuOpen);
    EXPECT_EQ(currentPlayer, 1);
    frameSeconds = 1.5f;
    idleUpdate();
    dispatch({CMD_KEY, '\r'});
    EXPECT_TRUE(bannerShown() && !afterVictory) << "up for less than its three seconds";
    frameSeconds = 0.125f;
    idleUpdate();
    dispatch({CMD_KEY, '\r'});
    EXPECT_TRUE(afterVictory && bannerP1Wins) << "the key puts the banner away";
    EXPECT_EQ(battlesStarted, 0);
    // What else a battle may leave about: the looks browsed and kept, a blow's
    // number and a fall, a line on screen, the help, a menu entry.
    materialBrowse = 5;
    p1Material = 2;
    p2Material = 3;
    noteBlow(*healer, 7, false);
    fallingUnits.push_back({healer->id, 0});
    tellPlayer("a line left on screen");
    helpShown = firstTurn = true;
    menuItem = 3;

    auto placement = [] {
        std::string squares;
        for (const Unit* unit : allUnits)
            squares += std::to_string(unit->player) + std::to_string(unit->unitClass) + "@" +
                       std::to_string(unit->row) + std::to_string(unit->col) + " ";
        return squares;
    };
    std::string out = captureOutput([] { dispatch({CMD_KEY, '\r'}); });
    EXPECT_EQ(battlesStarted, 1);
    const struct { const char* what; bool fresh; } starts[] = {
        {"player 1 chooses first", choosingHeroes && p1ChoosingHero && !p2ChoosingHero && currentPlayer == 1},
        {"on the first look, no army's look kept", materialBrowse == 16 && p1Material == 0 && p2Material == 0},
        {"no banner, no victory", !bannerUp() && !battleWon() && bannerSeconds == 0 && victorySeconds == 0},
        {"no help, no hint", !helpShown && !firstTurn},
        {"the cursor on the first square, nothing open",
         cursorSquare() == Square(0, 0) && menuItem == 1 && !cursorOnUnit && !choosingMove && !choosingTarget},
        {"nothing rising, falling or said", floatingNumbers.empty() && fallingUnits.empty() && noticeSeconds == 0},
    };
    for (const auto& start : starts) EXPECT_TRUE(start.fresh) << start.what;
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
    victorySeconds = VICTORY_BANNER_DELAY + VICTORY_BANNER_SECONDS;
    captureOutput([] {
        dispatch({CMD_SPECIAL, KEY_F1});
        dispatch({CMD_KEY, '\r'});
    });
    EXPECT_EQ(placement(), first) << "the same seed, the same placement";
    unsetenv("KESTRAVA_SEED");

    // The choice browses from the first look: past the last, 16, to none, 0, and on.
    onKeyboard('m', 0, 0);
    onKeyboard('m', 0, 0);
    captureOutput([] {
        openMenuOf(*allUnits[0]);
        checkHeroChoice();
    });
    EXPECT_TRUE(allUnits[0]->hero && p1Material == 1) << p1Material;
}

// Either side's units in sight move; one the fog hides does not.
TEST_F(TurnTest, IdleUpdateAnimatesEachVisibleUnitOnce) {
    Fighter* own = placeUnit<Fighter>(1, 0, 0);
    Fighter* seen = placeUnit<Fighter>(2, 1, 0);
    Fighter* hidden = placeUnit<Fighter>(2, 6, 4);
    idleUpdate();
    EXPECT_FLOAT_EQ(own->spikeSpin, 0.3f);
    EXPECT_FLOAT_EQ(seen->spikeSpin, 0.3f);
    EXPECT_FLOAT_EQ(hidden->spikeSpin, 0.0f);
}

}  // namespace
