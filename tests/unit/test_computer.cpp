// tests/unit/test_computer.cpp — the computer's choices, and the keys it presses to carry them out
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "ai/computer.h"
#include "ai/knowledge.h"
#include "ai/planner.h"
#include "game/battle_map.h"
#include "game/random.h"
#include "game/startup.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/movement.h"
#include "tests/support/battle.h"
#include "tests/support/window_link_fake.h"
#include "tests/unit/rules_keys.h"

namespace {

class ComputerTest : public BattleTest {
protected:
    void SetUp() override { startOver(); }
    static void startOver() {
        resetBattleState();
        forgetOrders();
    }
    void TearDown() override {
        commander[1] = commander[2] = BY_PERSON;
        computerPace = 0.15f;
        BattleTest::TearDown();
    }
};

// A battle under way on open grass, player 1 to move, seeing what it sees.
void lookAround() {
    choosingHeroes = p1ChoosingHero = false;
    currentPlayer = 1;
    updateVisibility(1);
    noteSightings(1);
}

// A unit of a set-up: hit points and magic points as the class starts them
// unless given, no move points unless given.
struct Piece {
    int  unitClass, player, row, col, hp = 0;
    bool hero = false;
    int  mp = -1, movePoints = 0;
};

// Places the pieces; returns the last, the one to act.
Unit* setUp(std::initializer_list<Piece> pieces) {
    Unit* unit = nullptr;
    for (const Piece& p : pieces) {
        unit = placeUnitOfClass(p.unitClass, p.player, p.row, p.col);
        if (p.hp) unit->hp = p.hp;
        if (p.mp >= 0) unit->mp = p.mp;
        unit->hero = p.hero;
        unit->movePoints = p.movePoints;
    }
    return unit;
}

const struct Choice {
    const char* what;
    std::initializer_list<Piece> pieces;
    Square target;   // the square attacked or healed; (-1, -1) for none
} choices[] = {
    {"kills the weak enemy rather than hurting the strong one more",
     {{CLASS_HEALER, 2, 3, 7, 5}, {CLASS_FLIER, 2, 3, 3}, {CLASS_ARCHER, 1, 3, 5}}, {3, 7}},
    {"finishes the enemy hero over any other kill",
     {{CLASS_MAGE, 2, 3, 7, 10}, {CLASS_HEALER, 2, 3, 3, 5, true}, {CLASS_ARCHER, 1, 3, 5}}, {3, 3}},
    {"heals its wounded hero before a more wounded friend or an attack",
     {{CLASS_ARCHER, 1, 3, 7, 40, true}, {CLASS_FIGHTER, 1, 3, 3, 30}, {CLASS_MAGE, 2, 2, 5}, {CLASS_HEALER, 1, 3, 5}},
     {3, 7}},
    {"attacks when out of the magic points a heal needs",
     {{CLASS_ARCHER, 1, 3, 7, 40, true}, {CLASS_MAGE, 2, 2, 5}, {CLASS_HEALER, 1, 3, 5, 0, false, 9}}, {2, 5}},
    {"ignores a weak enemy it cannot see, though a step would bring it in reach",
     {{CLASS_MAGE, 2, 0, 4, 5}, {CLASS_FIGHTER, 1, 0, 0, 0, false, -1, 5}}, {-1, -1}},
};

TEST_F(ComputerTest, ChoosesTheActionThatMattersMost) {
    for (const Choice& choice : choices) {
        SCOPED_TRACE(choice.what);
        startOver();
        loadUniformMap(7, 12, 1);
        Unit* actor = setUp(choice.pieces);
        lookAround();
        Plan plan = planUnit(*actor);
        EXPECT_EQ(Square(plan.target.row, plan.target.col), choice.target);
        EXPECT_EQ(plan.entry == MENU_DEFEND, choice.target.first < 0) << "entry " << plan.entry;
    }
}

TEST_F(ComputerTest, KeepsItsHeroOutOfReachOfTwoEnemiesItSees) {
    loadUniformMap(7, 12, 1);
    // The Healer is an army to keep the hero for.
    Unit* hero = setUp({{CLASS_FIGHTER, 2, 3, 0}, {CLASS_FIGHTER, 2, 4, 0}, {CLASS_HEALER, 1, 0, 11},
                        {CLASS_FLIER, 1, 3, 5, 0, true, -1, 5}});
    lookAround();
    // On open grass a Fighter strikes 5 steps and 1 square away.
    auto strikers = [](Square at) {
        return (std::abs(at.first - 3) + at.second <= 6) + (std::abs(at.first - 4) + at.second <= 6);
    };
    ASSERT_EQ(strikers({3, 5}), 2) << "the hero starts in reach of both";

    Plan plan = planUnit(*hero);
    ASSERT_FALSE(plan.path.empty());
    Square end(plan.path.back().row, plan.path.back().col);
    EXPECT_LT(strikers(end), 2) << "ends on " << end.first << "," << end.second;
}

const int STRAY_KEYS[] = {KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN, KEY_INSERT, KEY_HOME};

// Everything a key can change; a key that changes none of it was refused.
auto gameState() {
    return std::make_tuple(cursorRow, cursorCol, cursorOnUnit, menuItem, choosingMove, moveTargetValid, moveAnimating,
                           choosingTarget, attackTargetValid, attackAnimating, selectedUnit, selectedUnit->menuOpen,
                           currentPlayer, choosingHeroes);
}

// Whole battles on a small map, the computer as player 1 against each way of
// playing, frames run as the window runs them, and now and then a stray key
// from a person: every key the computer presses is taken, none while
// something plays, one at most every 0.15 s, and each battle ends with a
// victory.
TEST_F(ComputerTest, PlaysWholeBattlesWithKeysTheRulesTake) {
    const float frame = 0.1f;
    for (unsigned seed = 1; seed <= 6; seed++) for (int opponent : {BY_COMPUTER, BY_GREEDY, BY_RANDOM}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", opponent " << opponent);
        startOver();
        loadMap("11111#\n11111#\n11132#\n24351#\n11111#\n16111#\n11111#");   // hills and water between the armies
        seedRandom(seed);
        randomPlayDraws.seed(seed);
        ArmyCounts counts;
        counts.fill(1);
        captureOutput([&] { placeArmies(counts); });
        commander[1] = BY_COMPUTER;
        commander[2] = opponent;
        computerPace = 0.15f;

        int refused = 0, hasty = 0, frames = 0, lastKey = -10;
        std::string console = captureOutput([&] {
            for (; frames < 200000 && !bannerP1Wins && !bannerP2Wins; frames++) {
                frameSeconds = frame;
                idleUpdate();
                bool playing = moveAnimating || attackAnimating;
                auto before = gameState();
                if (computerTick(frame)) {
                    refused += gameState() == before;
                    hasty += playing || frames - lastKey < 2;
                    lastKey = frames;
                }
                if (attackAnimating && selectedUnit->unitClass == CLASS_FLIER) lungeEffect.drawCount++;
                checkHeroChoice();
                if (frames % 37 == 0 && !choosingHeroes) press(STRAY_KEYS[randomInt(0, 5)]);
            }
        });
        EXPECT_TRUE(bannerP1Wins || bannerP2Wins) << "no victory after " << frames << " frames";
        EXPECT_EQ(refused, 0);
        EXPECT_EQ(hasty, 0);
        EXPECT_NE(console.find("p2 hero selected!"), std::string::npos);
        EXPECT_NE(console.find("Hit range = "), std::string::npos);
    }
}

// What a person's keys may have left when the computer's turn comes, or
// done once it had opened its first menu: it backs out of what is not its
// plan and takes its whole turn with keys the rules take. Its Archer's skill
// can finish a wounded enemy; its Mage, out of magic points, has nothing to do.
const struct {
    const char* what;
    bool midway;        // the keys come once the computer has opened a menu
    void (*keys)(Unit& idle);
} leftovers[] = {
    {"the cursor on its Archer, selected, but the turn change cleared the mark", false,
     [](Unit&) {
         browseTo(4, 2);
         cursorOnUnit = false;
     }},
    {"the idle unit's menu open instead", true, [](Unit& idle) { openMenuOf(idle); }},
    {"the idle unit aiming instead", true, [](Unit& idle) { chooseEntry(idle, MENU_ATTACK); }},
    {"the idle unit stepping instead, the cursor on a neighbour", true,
     [](Unit& idle) {
         chooseEntry(idle, MENU_MOVE);
         press(KEY_LEFT);
     }},
};

TEST_F(ComputerTest, TakesItsTurnFromWhateverStateAPersonLeft) {
    for (const auto& leftover : leftovers) {
        SCOPED_TRACE(leftover.what);
        startOver();
        loadUniformMap(7, 5, 1);
        Unit* idle = setUp({{CLASS_FIGHTER, 1, 2, 2, 20}, {CLASS_FIGHTER, 1, 0, 0, 0, true}, {CLASS_ARCHER, 2, 4, 2},
                            {CLASS_HEALER, 2, 6, 0, 0, true}, {CLASS_MAGE, 2, 6, 4, 0, false, 0}});
        choosingHeroes = p1ChoosingHero = false;
        currentPlayer = 2;
        commander[2] = BY_COMPUTER;
        computerPace = 0;
        idleUpdate();
        for (int tick = 0; leftover.midway && tick < 100 && !selectedUnit->menuOpen; tick++) computerTick(0.1f);
        if (leftover.midway) press(KEY_HOME);
        leftover.keys(*idle);

        int refused = 0;
        std::string console = captureOutput([&] {
            for (int frame = 0; frame < 20000 && currentPlayer == 2; frame++) {
                frameSeconds = 0.1f;
                idleUpdate();
                auto before = gameState();
                if (computerTick(0.1f)) refused += gameState() == before;
            }
        });
        EXPECT_EQ(currentPlayer, 1) << "the turn never passed";
        EXPECT_EQ(refused, 0);
        EXPECT_NE(console.find("Hit range = "), std::string::npos) << "the Archer never shot";
    }
}

}  // namespace
