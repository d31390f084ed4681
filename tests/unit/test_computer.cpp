// tests/unit/test_computer.cpp — the computer's choices, and the keys it presses to carry them out
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "ai/computer.h"
#include "ai/knowledge.h"
#include "ai/planner.h"
#include "ai/squad.h"
#include "app/input.h"
#include "game/battle_map.h"
#include "game/random.h"
#include "game/startup.h"
#include "render/frame_clock.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/movement.h"
#include "tests/support/battle.h"
#include "tests/support/window_link_fake.h"
#include "tests/unit/rules_keys.h"

namespace {

using ComputerTest = BattleTest;

// The computer's next key, handed to the dispatcher as the window hands it.
int computerPlays(float seconds) {
    int key = computerTick(seconds);
    if (key) dispatch(computerKey(key));
    return key;
}

// A frame as the window runs it, the frame clock included; returns the computer's key.
// `covered`: a step, blow or banner was under way when the computer pressed.
int watchedFrame(int milliseconds, uint32_t& clock, bool* covered = nullptr) {
    clock += milliseconds;
    frameSeconds = milliseconds / 1000.0f;
    idleUpdate();
    if (covered) *covered = moveAnimating || attackAnimating || bannerUp();
    int key = computerPlays(milliseconds / 1000.0f);
    if (attackAnimating && selectedUnit->unitClass == CLASS_FLIER) lungeEffect.drawCount++;
    checkHeroChoice();
    tickFrameClock(clock);
    return key;
}

// Moves a unit to another square as a finished step leaves it.
void moveTo(Unit& unit, int row, int col) {
    battleMap[unit.row][unit.col].occupant = -1;
    battleMap[row][col].occupant = unit.id;
    unit.row = row;
    unit.col = col;
    unit.position = battleMap[row][col].centre;
}

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
    {"hurts an enemy its side can finish this turn rather than a sturdier one it hurts more",
     {{CLASS_FIGHTER, 2, 3, 7, 45}, {CLASS_MAGE, 2, 3, 3}, {CLASS_MAGE, 1, 2, 9}, {CLASS_ARCHER, 1, 3, 5}}, {3, 7}},
    {"a hero left with a spent Healer goes and strikes, nobody else can",
     {{CLASS_MAGE, 2, 3, 9}, {CLASS_HEALER, 1, 0, 0, 0, false, 0}, {CLASS_FIGHTER, 1, 3, 7, 0, true, -1, 5}}, {3, 9}},
    {"player 2's lone hero likewise",
     {{CLASS_MAGE, 1, 3, 2}, {CLASS_FIGHTER, 2, 3, 4, 0, true, -1, 5}}, {3, 2}},
};

TEST_F(ComputerTest, ChoosesTheActionThatMattersMost) {
    for (const Choice& choice : choices) {
        SCOPED_TRACE(choice.what);
        resetBattleState();
        loadUniformMap(7, 12, 1);
        Unit* actor = setUp(choice.pieces);
        lookAround();
        currentPlayer = actor->player;
        updateVisibility(actor->player);
        noteSightings(actor->player);
        Plan plan = planUnit(*actor, LEVEL_NORMAL);
        EXPECT_EQ(Square(plan.target.row, plan.target.col), choice.target);
        EXPECT_EQ(plan.entry == MENU_DEFEND, choice.target.first < 0) << "entry " << plan.entry;
    }
}

// Where a unit's plan leaves it. Each set-up is seen by player 1 (the Fighter with a long sight
// sees the enemies); the last piece acts.
const struct PlanEnd {
    const char* what;
    int rows, cols, terrain;
    std::initializer_list<Piece> pieces;
    int quietTurns;                    // also the turns since a unit fell
    bool (*holds)(const Plan& plan, Square end);
} planEnds[] = {
    {"a Flier on desert keeps up with the Fighters ahead of it", 12, 5, 3,
     {{CLASS_MAGE, 2, 11, 2}, {CLASS_FIGHTER, 1, 6, 1}, {CLASS_FIGHTER, 1, 6, 3}, {CLASS_FLIER, 1, 1, 2, 0, false, -1, 5}},
     0, [](const Plan&, Square end) { return end.first >= 4; }},
    {"a Healer beside its hero on the back edge heals it from a square that leaves it room", 7, 7, 1,
     {{CLASS_FIGHTER, 2, 6, 6}, {CLASS_FIGHTER, 1, 0, 3, 50, true}, {CLASS_ARCHER, 1, 0, 2}, {CLASS_MAGE, 1, 0, 4},
      {CLASS_HEALER, 1, 1, 3, 0, false, -1, 5}},
     0,
     [](const Plan& plan, Square end) {
         return Square(plan.target.row, plan.target.col) == Square(0, 3) && end != Square(1, 3) &&
                std::abs(end.first) + std::abs(end.second - 3) > 1;
     }},
    {"after the stalemate turns a wounded hero still passes a kill where two Mages could fell it", 7, 7, 1,
     {{CLASS_MAGE, 2, 0, 6}, {CLASS_MAGE, 2, 6, 6}, {CLASS_ARCHER, 2, 3, 6, 10}, {CLASS_FIGHTER, 1, 6, 0},
      {CLASS_FIGHTER, 1, 3, 0, 40, true, -1, 5}},
     8, [](const Plan& plan, Square end) { return end == Square(3, 0) && plan.target.row < 0; }},
};

TEST_F(ComputerTest, KeepsItsArmyTogetherAndItsHeroAlive) {
    for (const PlanEnd& position : planEnds) {
        SCOPED_TRACE(position.what);
        resetBattleState();
        loadUniformMap(position.rows, position.cols, position.terrain);
        Unit* actor = setUp(position.pieces);
        for (Unit* unit : allUnits)
            if (unit->player == 1 && unit->unitClass == CLASS_FIGHTER && !unit->hero) unit->sight = 30;
        lookAround();
        quietTurns[1] = turnsSinceFall[1] = position.quietTurns;
        Plan plan = planUnit(*actor, LEVEL_NORMAL);
        Square end = plan.path.empty() ? Square(actor->row, actor->col)
                                       : Square(plan.path.back().row, plan.path.back().col);
        EXPECT_TRUE(position.holds(plan, end)) << "ends on " << end.first << "," << end.second << ", target "
                                               << plan.target.row << "," << plan.target.col;
    }
}

TEST_F(ComputerTest, KeepsItsHeroOutOfReachOfTwoEnemiesItSees) {
    loadUniformMap(7, 12, 1);
    // The Archer is an army to keep the hero for.
    Unit* hero = setUp({{CLASS_FIGHTER, 2, 3, 0}, {CLASS_FIGHTER, 2, 4, 0}, {CLASS_ARCHER, 1, 0, 11},
                        {CLASS_FLIER, 1, 3, 5, 0, true, -1, 5}});
    lookAround();
    // On open grass a Fighter strikes 5 steps and 1 square away.
    auto strikers = [](Square at) {
        return (std::abs(at.first - 3) + at.second <= 6) + (std::abs(at.first - 4) + at.second <= 6);
    };
    ASSERT_EQ(strikers({3, 5}), 2) << "the hero starts in reach of both";

    Plan plan = planUnit(*hero, LEVEL_NORMAL);
    ASSERT_FALSE(plan.path.empty());
    Square end(plan.path.back().row, plan.path.back().col);
    EXPECT_LT(strikers(end), 2) << "ends on " << end.first << "," << end.second;
}

// What an Archer's side at (3, 2) remembers of a Fighter first seen at (3, 5), after what
// happens next: only what the side sees changes its memory.
const struct {
    const char* what;
    void (*then)(Unit& enemy, Unit& watcher);
    bool remembered;
    Square at;
    int hp;
} memories[] = {
    {"walks off while nobody looks, and is healed: remembered where and as it was",
     [](Unit& enemy, Unit& watcher) {
         moveTo(watcher, 0, 0);
         updateVisibility(1);
         noteSightings(1);
         moveTo(enemy, 3, 9);
         enemy.hp = 60;
     },
     true, {3, 5}, 40},
    {"walks out of sight, its square still in sight: forgotten", [](Unit& enemy, Unit&) { moveTo(enemy, 3, 9); },
     false, {}, 0},
    {"falls once the watcher has looked away: remembered, alive",
     [](Unit& enemy, Unit& watcher) {
         moveTo(watcher, 0, 0);
         enemy.dead = true;
     },
     true, {3, 5}, 40},
    {"falls in sight: forgotten", [](Unit& enemy, Unit&) { enemy.dead = true; }, false, {}, 0},
    {"leaves while nobody looks, and its square is looked at again: forgotten",
     [](Unit& enemy, Unit& watcher) {
         moveTo(watcher, 0, 0);
         updateVisibility(1);
         noteSightings(1);
         moveTo(enemy, 6, 11);
         moveTo(watcher, 3, 2);
     },
     false, {}, 0},
    {"wounded further in sight: remembered so", [](Unit& enemy, Unit&) { enemy.hp = 25; }, true, {3, 5}, 25},
    {"steps within sight: remembered where it went", [](Unit& enemy, Unit&) { moveTo(enemy, 2, 4); }, true, {2, 4}, 40},
};

TEST_F(ComputerTest, RemembersAnEnemyAsLastSeenUntilItsSquareIsSeenEmpty) {
    for (const auto& memory : memories) {
        SCOPED_TRACE(memory.what);
        resetBattleState();
        loadUniformMap(7, 12, 1);
        Unit* enemy = setUp({{CLASS_FIGHTER, 2, 3, 5, 40}});
        Unit* watcher = setUp({{CLASS_ARCHER, 1, 3, 2}});
        lookAround();
        ASSERT_EQ(sightings[1].size(), 1u);
        memory.then(*enemy, *watcher);
        updateVisibility(1);
        noteSightings(1);
        ASSERT_EQ(sightings[1].size(), memory.remembered ? 1u : 0u);
        if (!memory.remembered) continue;
        const Sighting& seen = sightings[1].front();
        EXPECT_EQ(Square(seen.row, seen.col), memory.at);
        EXPECT_EQ(seen.hp, memory.hp);
    }
}

// Before its first look a side expects the enemy spread over the middle of its home rows. A
// guess looked at and found empty is forgotten, the others once they are GUESS_TURNS old; then
// its units go and search where an enemy may hide, not where it was guessed.
TEST_F(ComputerTest, ExpectsTheEnemyOnItsHomeRowsUntilItLooksThenSearches) {
    loadUniformMap(9, 12, 1);
    setUp({{CLASS_FIGHTER, 2, 8, 0}, {CLASS_MAGE, 2, 6, 11}, {CLASS_FLIER, 2, 7, 5}, {CLASS_ARCHER, 1, 3, 2, 0, true}});
    lookAround();
    noteTurnStart(1);
    auto guesses = [] {
        std::vector<Square> squares;
        for (const Sighting& seen : sightings[1]) squares.emplace_back(seen.row, seen.col);
        return squares;
    };
    EXPECT_EQ(guesses(), (std::vector<Square>{{7, 2}, {7, 6}, {7, 10}}));

    Unit* scout = setUp({{CLASS_FIGHTER, 1, 6, 2, 0, false, -1, 5}});   // sees (7, 2), where nobody stands
    updateVisibility(1);
    noteSightings(1);
    EXPECT_EQ(guesses(), (std::vector<Square>{{7, 6}, {7, 10}})) << "the scout at " << scout->row << "," << scout->col;

    for (int turn = 2; turn < 1 + GUESS_TURNS; turn++) noteTurnStart(1);
    EXPECT_EQ(guesses().size(), 2u) << "forgotten before " << GUESS_TURNS << " turns";
    noteTurnStart(1);
    EXPECT_EQ(guesses(), std::vector<Square>()) << "still guessed after " << GUESS_TURNS << " turns";
    // The enemy, unseen all along, may have walked anywhere the side has not looked since
    // (the far corner since the first turn), but not where it looks now: the scout goes on.
    EXPECT_EQ(hiddenSince[1][7][2], 0) << "the square in the scout's sight";
    EXPECT_EQ(hiddenSince[1][8][11], 1) << "the far corner, never seen";
    EXPECT_FALSE(planUnit(*scout, LEVEL_NORMAL).path.empty()) << "the scout stands";
    // Six quiet turns make a standoff: the search then also turns back to the side's own home
    // rows, where an enemy that lost sight of it looks.
    quietTurns[1] = 6;
    const Plan back = planUnit(*scout, LEVEL_NORMAL);
    ASSERT_FALSE(back.path.empty());
    EXPECT_LE(back.path.back().row, 2) << "in a standoff the scout went on to " << back.path.back().row << "," << back.path.back().col;
}

// The hero: the unit the enemy needs the most blows to fell, the further
// back the better, behind friends; player 2's back is the last row.
const struct {
    const char* what;
    std::initializer_list<Piece> pieces;
    Square hero;
} heroes[] = {
    {"the Fighter at the back, not the one in front", {{CLASS_FIGHTER, 1, 2, 3}, {CLASS_FIGHTER, 1, 0, 6}}, {0, 6}},
    {"a Fighter rather than a Healer or a Mage beside it",
     {{CLASS_HEALER, 1, 0, 1}, {CLASS_FIGHTER, 1, 0, 5}, {CLASS_MAGE, 1, 0, 9}}, {0, 5}},
    {"the one behind a friend", {{CLASS_FLIER, 1, 1, 8}, {CLASS_FLIER, 1, 1, 2}, {CLASS_ARCHER, 1, 2, 2}}, {1, 2}},
    {"player 2: the last row", {{CLASS_FIGHTER, 2, 6, 2}, {CLASS_FIGHTER, 2, 4, 9}}, {6, 2}},
};

TEST_F(ComputerTest, ChoosesAHeroTheEnemyReachesLast) {
    for (const auto& choice : heroes) {
        SCOPED_TRACE(choice.what);
        resetBattleState();
        loadUniformMap(7, 12, 1);
        Unit* any = setUp(choice.pieces);
        const Unit* hero = chooseHero(any->player);
        ASSERT_NE(hero, nullptr);
        EXPECT_EQ(Square(hero->row, hero->col), choice.hero);
    }
}

// A Fighter goes the cheapest way round water to a Mage in the west; once it has stepped east
// no way west is as cheap as from where it started, so it does not turn back.
TEST_F(ComputerTest, WalksTheCheapestWayAndNeverTurnsBack) {
    const struct { const char* what; Square from, stepped; bool strikes; } walks[] = {
        {"before any step", {3, 3}, {-1, -1}, true},
        {"after a step east", {3, 4}, {3, 3}, false},
    };
    for (const auto& walk : walks) {
        SCOPED_TRACE(walk.what);
        resetBattleState();
        loadMap("11111111#\n11111111#\n11111111#\n11411111#\n11111111#\n11111111#\n11111111#");
        setUp({{CLASS_MAGE, 2, 3, 0, 10}, {CLASS_ARCHER, 1, 5, 1}});   // the Archer sees the Mage
        Unit* fighter = setUp({{CLASS_FIGHTER, 1, walk.from.first, walk.from.second, 0, false, -1, 5}});
        lookAround();
        int paid = 0;
        if (walk.stepped.first >= 0) {
            noteStepTaken(*fighter, {walk.stepped.first, walk.stepped.second});
            fighter->movePoints -= 1;
            paid = 1;
        }
        Plan plan = planUnit(*fighter, LEVEL_NORMAL);
        EXPECT_EQ(plan.target.row == 3 && plan.target.col == 0, walk.strikes);
        for (Place p : plan.path) paid += stepCost(*fighter, p.row, p.col);
        Square start = walk.stepped.first >= 0 ? walk.stepped : walk.from;
        Square end = plan.path.empty() ? walk.from : Square(plan.path.back().row, plan.path.back().col);
        static int cheapest[MAP_LIMIT][MAP_LIMIT];
        moveTo(*fighter, start.first, start.second);
        movementCosts(*fighter, cheapest);
        EXPECT_EQ(paid, cheapest[end.first][end.second]) << "to " << end.first << "," << end.second;
    }
}

// An Archer behind a wall of friends is safe from the Fighter beyond, until one steps aside.
TEST_F(ComputerTest, SeesTheDangerAgainOnceAFriendHasSteppedOutOfTheWay) {
    loadUniformMap(7, 5, 1);
    setUp({{CLASS_FIGHTER, 2, 0, 2}});
    Unit* wall[5];
    for (int c = 0; c < 5; c++) wall[c] = setUp({{CLASS_FIGHTER, 1, 1, c}});
    Unit* archer = setUp({{CLASS_ARCHER, 1, 3, 2}});
    lookAround();
    float sheltered = planUnit(*archer, LEVEL_NORMAL).score;
    moveTo(*wall[2], 6, 4);
    float exposed = planUnit(*archer, LEVEL_NORMAL).score;
    EXPECT_LT(exposed, sheltered - 1);
}

// The plain opponents walk toward an enemy in view out of reach; the squad's hero does not.
TEST_F(ComputerTest, ArenaOpponentsWalkTowardAnEnemyOutOfReach) {
    const struct { int commander; int unitClass; bool hero; bool nearer; } walkers[] = {
        {BY_GREEDY, CLASS_FIGHTER, false, true},
        {BY_SQUAD, CLASS_FIGHTER, false, true},
        {BY_SQUAD, CLASS_FIGHTER, true, false},
    };
    for (const auto& w : walkers) {
        SCOPED_TRACE(testing::Message() << "commander " << w.commander << (w.hero ? ", hero" : ""));
        resetBattleState();
        loadUniformMap(7, 12, 1);
        setUp({{CLASS_ARCHER, 2, 3, 10}, {CLASS_FLIER, 1, 0, 0}});
        Unit* walker = setUp({{w.unitClass, 1, 3, 1, 0, w.hero, -1, 5}});
        walker->sight = 30;   // it sees the Archer
        lookAround();
        for (Unit* unit : allUnits) unit->canAct = unit == walker;
        Plan plan = w.commander == BY_GREEDY ? greedyPlan(1) : squadPlan(1);
        ASSERT_EQ(plan.unit, walker);
        int end = plan.path.empty() ? 9 : 10 - plan.path.back().col + std::abs(plan.path.back().row - 3);
        EXPECT_EQ(end < 9, w.nearer) << plan.path.size() << " steps";
    }
}

TEST_F(ComputerTest, PaceIsSecondsFromZeroToTenAndFallsBackToTheDefault) {
    const struct { const char* setting; float pace; bool said; } settings[] = {
        {nullptr, DEFAULT_COMPUTER_PACE, false}, {"0", 0, false}, {"0.3", 0.3f, false}, {"10", 10, false},
        {"", DEFAULT_COMPUTER_PACE, true}, {"-0.5", DEFAULT_COMPUTER_PACE, true}, {"10.01", DEFAULT_COMPUTER_PACE, true},
        {"1e30", DEFAULT_COMPUTER_PACE, true}, {"inf", DEFAULT_COMPUTER_PACE, true}, {"nan", DEFAULT_COMPUTER_PACE, true},
        {"fast", DEFAULT_COMPUTER_PACE, true}, {"0.2s", DEFAULT_COMPUTER_PACE, true},
    };
    for (const auto& s : settings) {
        SCOPED_TRACE(s.setting ? s.setting : "(unset)");
        testing::internal::CaptureStderr();
        EXPECT_EQ(computerPaceSetting(s.setting), s.pace);
        EXPECT_EQ(!testing::internal::GetCapturedStderr().empty(), s.said);
    }
}

// Seconds between keys of the hero choice and of the first turn's menus: the pace, shorter
// for more than four units, a quarter after w; a new battle after Enter at the pace again.
TEST_F(ComputerTest, KeepsItsPaceShortensItForManyUnitsAndAfterEnterForgetsTheHurry) {
    const struct { int eachClass; bool hurried; float choosing, acting; } paces[] = {
        // unhurried seconds between keys
        {0, false, 0.15f, 0.15f},    // a Flier and a Mage a side
        {0, true, 0.15f, 0.15f},
        {1, false, 0.15f, 0.12f},    // five a side: four fifths
        {2, false, 0.15f, 0.06f},    // ten a side
    };
    for (const auto& p : paces) for (int battle = 1; battle <= 2; battle++) {
        SCOPED_TRACE(testing::Message() << p.eachClass << " of each class, " << (p.hurried ? "hurried, " : "")
                                        << "battle " << battle);
        if (battle == 1) {
            resetBattleState();
            loadUniformMap(9, 12, 1);
            seedRandom(3);
            ArmyCounts counts;
            counts.fill(p.eachClass);
            counts[2] = counts[7] = counts[4] = counts[9] = p.eachClass + (p.eachClass == 0);
            captureOutput([&] { placeArmies(counts); });
            commander[1] = commander[2] = BY_COMPUTER;
            computerHurry = p.hurried;
        } else {
            bannerP1Wins = true;   // the battle is won, the banner put away, Enter
            afterVictory = true;
            captureOutput([] { startNewBattle(); });
        }
        uint32_t clock = 0, last = 0;
        std::vector<float> choosing, acting;
        captureOutput([&] {
            for (int frame = 0; frame < 20000 && acting.size() < 3; frame++) {
                bool browsing = !choosingMove && !choosingTarget && !selectedUnit->menuOpen;
                bool hero = choosingHeroes;
                int key = watchedFrame(5, clock);
                if (!key) continue;
                float gap = (clock - last) / 1000.0f;
                last = clock;
                if (hero && choosing.size() < 3) choosing.push_back(gap);
                if (!hero && !browsing && (key == KEY_INSERT || key == KEY_HOME)) acting.push_back(gap);
            }
        });
        ASSERT_EQ(choosing.size(), 3u);
        ASSERT_EQ(acting.size(), 3u);
        for (int player : {1, 2})
            EXPECT_EQ(std::count_if(allUnits.begin(), allUnits.end(),
                                    [player](const Unit* u) { return u->player == player && u->hero; }), 1)
                << "player " << player << "'s heroes";
        EXPECT_EQ(turnsBegun[1], 1) << "the computer counts its turns from the new battle's first";
        float hurry = p.hurried && battle == 1 ? HURRY_FACTOR : 1;
        EXPECT_NEAR(choosing[1], p.choosing / hurry, 0.006f);
        EXPECT_NEAR(acting[1], p.acting / hurry, 0.006f);
    }
}

const int STRAY_KEYS[] = {KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN, KEY_INSERT, KEY_HOME};

// Everything a key can change; a key that changes none of it was refused.
auto gameState() {
    return std::make_tuple(cursorRow, cursorCol, cursorOnUnit, menuItem, choosingMove, moveTargetValid, moveAnimating,
                           choosingTarget, attackTargetValid, attackAnimating, selectedUnit, selectedUnit->menuOpen,
                           currentPlayer, choosingHeroes);
}

// Whole battles, the computer at each level (by seed) against each way of playing, with stray
// keys from a person: every key it presses is taken, none while covered or before its pace, and
// each battle is won. Played again, a battle goes the same way, the easy level's chances included.
struct WatchedBattle {
    std::string console;
    int frames = 0, refused = 0, hasty = 0;
};

WatchedBattle watchBattle(unsigned seed, int opponent, int level) {
    resetBattleState();
    loadMap("11111#\n11111#\n11132#\n24351#\n11111#\n16111#\n11111#");   // hills and water between the armies
    seedRandom(seed);
    randomPlayDraws.seed(seed);
    ArmyCounts counts;
    counts.fill(1);
    captureOutput([&] { placeArmies(counts); });
    commander[1] = BY_COMPUTER;
    commander[2] = opponent;
    computerLevel[1] = level;
    computerPace = DEFAULT_COMPUTER_PACE;

    WatchedBattle b;
    uint32_t clock = 0, lastKey = 0;
    b.console = captureOutput([&] {
        for (; b.frames < 100000 && !bannerP1Wins && !bannerP2Wins; b.frames++) {
            bool covered = false;
            auto before = gameState();
            float shortest = keyWait(true);
            if (watchedFrame(50, clock, &covered)) {
                b.refused += gameState() == before;
                b.hasty += covered || (clock - lastKey) / 1000.0f < shortest;
                lastKey = clock;
            }
            if (b.frames % 37 == 0 && !choosingHeroes) press(STRAY_KEYS[randomInt(0, 5)]);
        }
    });
    return b;
}

TEST_F(ComputerTest, PlaysWholeBattlesWithKeysTheRulesTake) {
    for (unsigned seed = 1; seed <= 6; seed++) for (int opponent : {BY_COMPUTER, BY_GREEDY, BY_RANDOM, BY_SQUAD}) {
        const int level = (seed - 1) % LEVELS;
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", opponent " << opponent << ", level "
                                        << LEVEL_SETUPS[level].name);
        WatchedBattle b = watchBattle(seed, opponent, level);
        EXPECT_TRUE(bannerP1Wins || bannerP2Wins) << "no victory after " << b.frames << " frames";
        EXPECT_EQ(b.refused, 0);
        EXPECT_EQ(b.hasty, 0);
        EXPECT_NE(b.console.find("p2 hero selected!"), std::string::npos);
        EXPECT_NE(b.console.find("Hit range = "), std::string::npos);
    }
    EXPECT_EQ(watchBattle(1, BY_SQUAD, LEVEL_EASY).console, watchBattle(1, BY_SQUAD, LEVEL_EASY).console);
}

// Frames of a tenth of a second while the computer plays player 2's turn, at most 20,000: the
// keys it pressed that changed nothing.
int keysRefusedUntilPlayerOnesTurn() {
    int refused = 0;
    for (int frame = 0; frame < 20000 && currentPlayer == 2; frame++) {
        frameSeconds = 0.1f;
        idleUpdate();
        auto before = gameState();
        if (computerPlays(0.1f)) refused += gameState() == before;
    }
    return refused;
}

// Whatever a person's keys left, before or during its turn, the computer backs out and takes
// its whole turn; its Archer can finish a wounded enemy, its Mage, out of magic, cannot act.
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
        resetBattleState();
        loadUniformMap(7, 5, 1);
        Unit* idle = setUp({{CLASS_FIGHTER, 1, 2, 2, 20}, {CLASS_FIGHTER, 1, 0, 0, 0, true}, {CLASS_ARCHER, 2, 4, 2},
                            {CLASS_HEALER, 2, 6, 0, 0, true}, {CLASS_MAGE, 2, 6, 4, 0, false, 0}});
        choosingHeroes = p1ChoosingHero = false;
        currentPlayer = 2;
        commander[2] = BY_COMPUTER;
        computerPace = 0;
        idleUpdate();
        for (int tick = 0; leftover.midway && tick < 100 && !selectedUnit->menuOpen; tick++) computerPlays(0.1f);
        if (leftover.midway) press(KEY_HOME);
        leftover.keys(*idle);

        int refused = 0;
        std::string console = captureOutput([&] { refused = keysRefusedUntilPlayerOnesTurn(); });
        EXPECT_EQ(currentPlayer, 1) << "the turn never passed";
        EXPECT_EQ(refused, 0);
        EXPECT_NE(console.find("Hit range = "), std::string::npos) << "the Archer never shot";
    }
}

// A Mage with nothing in reach plans to Defend; a stray key leaves it aiming from the corner,
// where the planless target (-1, -1) lies inside its reach: it backs out and defends.
TEST_F(ComputerTest, BacksOutOfAimingWhenItsPlanHasNothingToAimAt) {
    loadUniformMap(7, 5, 1);
    Unit* mage = setUp({{CLASS_FIGHTER, 1, 6, 4, 0, true}, {CLASS_HEALER, 2, 0, 4, 0, true}, {CLASS_MAGE, 2, 0, 0}});
    choosingHeroes = p1ChoosingHero = false;
    currentPlayer = 2;
    for (Unit* unit : allUnits) unit->canAct = unit == mage;
    commander[2] = BY_COMPUTER;
    computerPace = 0;
    idleUpdate();
    // The computer opens the Mage's menu to Defend; a person's keys take Attack instead.
    for (int tick = 0; tick < 100 && !mage->menuOpen; tick++) computerPlays(0.1f);
    while (menuItem != MENU_ATTACK) press(KEY_UP);
    press(KEY_INSERT);
    ASSERT_TRUE(choosingTarget);
    int refused = 0;
    captureOutput([&] { refused = keysRefusedUntilPlayerOnesTurn(); });
    EXPECT_EQ(currentPlayer, 1) << "the turn never passed";
    EXPECT_EQ(refused, 0);
    EXPECT_FALSE(mage->canAct);
}

}  // namespace
