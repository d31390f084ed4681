// tests/unit/test_random_battle.cpp — long seeded battles of random keys, checked after every event
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/camera.h"
#include "game/battle_map.h"
#include "game/random.h"
#include "render/frame_clock.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/keyboard.h"
#include "tests/support/battle.h"
#include "tests/support/window_link_fake.h"
#include "tests/unit/rules_keys.h"

namespace {

constexpr int MAP_ROWS = 7, MAP_COLS = 6;
constexpr int EVENTS_PER_BATTLE = 20000;
constexpr int FRAMES_TO_FINISH_AN_ACTION = 20000;   // a few hundred are ever needed

const int SPECIAL_KEYS[] = {KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN, KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN,
                            KEY_INSERT, KEY_INSERT, KEY_INSERT, KEY_HOME, KEY_F1, KEY_F2, 104};
// Every command key but the quit keys, Enter (a new battle after a victory),
// and a few that do nothing.
const char CHARACTER_KEYS[] = "v+-2468pPrRbflmstnNxdBTMzech\r";
const char HELD_KEYS[] = "+-2468";

// A map of random terrain codes 1 to 9.
std::string randomMap() {
    std::string text;
    for (int r = 0; r < MAP_ROWS; r++) {
        for (int c = 0; c < MAP_COLS; c++) text += char('0' + randomInt(1, 9));
        text += '#';
        if (r + 1 < MAP_ROWS) text += '\n';
    }
    return text;
}

// Units come in already worn, so that some fall and the fallen are tested too.
template <class T> void placeOnFreeSquare(int player) {
    int row, col;
    do {
        row = (player == 1 ? 0 : MAP_ROWS - 3) + randomInt(0, 2);
        col = randomInt(0, MAP_COLS - 1);
    } while (battleMap[row][col].occupant != -1);
    T* unit = placeUnit<T>(player, row, col);
    unit->hp = randomInt(5, unit->maxHp / 2);
}

void (*const PLACE_ONE_OF[])(int) = {placeOnFreeSquare<Archer>, placeOnFreeSquare<Fighter>,
                                      placeOnFreeSquare<Flier>, placeOnFreeSquare<Healer>, placeOnFreeSquare<Mage>};

// One of each class for both players, and two more of random classes.
void placeArmies() {
    for (int player = 1; player <= 2; player++) {
        for (auto place : PLACE_ONE_OF) place(player);
        for (int extra = 0; extra < 2; extra++) PLACE_ONE_OF[randomInt(1, 5) - 1](player);
    }
}

// A random entry of a key table; for a string, count the final '\0' out of n.
template <class T, size_t N> T anyOf(const T (&keys)[N], size_t n = N) {
    return keys[randomInt(0, static_cast<int>(n) - 1)];
}

class RandomBattle {
public:
    int turnChanges = 0;
    int heroesChosen = 0;

    // One drawn frame as the window runs it: the per-frame update, then the
    // parts of the display that touch the rules (the swoop's bolt counts its
    // frames, the hero check, the frame clock that sets frameSeconds).
    void frame() {
        idleUpdate();
        if (attackAnimating && selectedUnit->unitClass == CLASS_FLIER) lungeEffect.drawCount++;
        checkHeroChoice();
        milliseconds += 15 + randomInt(0, 35);
        tickFrameClock(milliseconds);
    }

    void randomEvent() {
        int pick = randomInt(0, 99);
        if (pick < 55)
            press(anyOf(SPECIAL_KEYS));
        else if (pick < 60)
            onWindowKey(anyOf(CHARACTER_KEYS, std::size(CHARACTER_KEYS) - 1), 0, 0);
        else if (pick < 63)
            onKeyUp(anyOf(HELD_KEYS, std::size(HELD_KEYS) - 1), 0, 0);
        else
            frame();
    }

    bool browsing() const {
        return !choosingMove && !moveAnimating && !choosingTarget && !attackAnimating && !selectedUnit->menuOpen;
    }

    // From whatever state the keys left: let a running action play out, then
    // back out with Home. A few presses must always reach browsing.
    bool backToBrowsing() {
        for (int i = 0; i < FRAMES_TO_FINISH_AN_ACTION && attackAnimating; i++) frame();
        for (int i = 0; i < 4 && !browsing(); i++) press(KEY_HOME);
        return browsing();
    }

    // The first broken rule, or "" when the battle is sound.
    std::string brokenInvariant() const {
        std::ostringstream why;
        if (cursorRow < 0 || cursorRow >= mapRows || cursorCol < 0 || cursorCol >= mapCols)
            why << "cursor off the map at " << cursorRow << "," << cursorCol;
        if (currentPlayer != 1 && currentPlayer != 2) why << "current player " << currentPlayer;
        std::set<std::pair<int, int>> squares;
        int living = 0, heroes[3] = {0, 0, 0};
        for (const Unit* unit : allUnits) {
            if (unit->hp > unit->maxHp) why << "unit " << unit->id << " hp " << unit->hp << " over " << unit->maxHp;
            if (unit->mp < 0) why << "unit " << unit->id << " mp " << unit->mp;
            if (unit->movePoints < 0) why << "unit " << unit->id << " movePoints " << unit->movePoints;
            if (unit->hero) heroes[unit->player]++;
            if (unit->dead) {
                if (unit->canAct) why << "fallen unit " << unit->id << " may act";
                continue;
            }
            living++;
            if (battleMap[unit->row][unit->col].occupant != unit->id)
                why << "unit " << unit->id << " not the occupant of its square";
            if (!squares.insert({unit->row, unit->col}).second)
                why << "two units on " << unit->row << "," << unit->col;
        }
        int occupied = 0;
        for (int r = 0; r < mapRows; r++)
            for (int c = 0; c < mapCols; c++) occupied += battleMap[r][c].occupant != -1;
        if (occupied != living) why << occupied << " occupied squares for " << living << " living units";
        if (heroes[1] > 1 || heroes[2] > 1) why << "heroes " << heroes[1] << " and " << heroes[2];
        // One turn banner at most, naming the player whose turn it is (who
        // begins, or whom the other's end hands over to).
        int banners = bannerP1BeginTurn + bannerP1EndTurn + bannerP2BeginTurn + bannerP2EndTurn;
        int named = bannerP1BeginTurn || bannerP2EndTurn ? 1 : 2;
        if (banners > 1 || (banners == 1 && named != currentPlayer))
            why << banners << " turn banners up in player " << currentPlayer << "'s turn";
        return why.str();
    }

    // What a unit has done so far: where it stands, what it has left to spend.
    struct Trace {
        int  row, col, movePoints, mp;
        bool canAct;
    };

    static std::vector<Trace> traces() {
        std::vector<Trace> all;
        for (const Unit* unit : allUnits) all.push_back({unit->row, unit->col, unit->movePoints, unit->mp, unit->canAct});
        return all;
    }

    // The first unit commanded out of turn or stepped wrongly in the last
    // event, or "". Steps go one square and are paid on arrival (a turn
    // change hands out fresh points); the units of the player whose turn it
    // is not, and every unit during the hero choice, neither move, nor spend,
    // nor use up their action, short of falling.
    std::string brokenCommand(const std::vector<Trace>& before, bool turnChanged, bool choosing) const {
        std::ostringstream why;
        for (size_t i = 0; i < allUnits.size(); i++) {
            const Unit& unit = *allUnits[i];
            const Trace &then = before[i], &turnStart = sinceTurnChange[i];
            int squares = std::abs(unit.row - then.row) + std::abs(unit.col - then.col);
            if (squares > 1) why << "unit " << unit.id << " went " << squares << " squares in one step";
            if (!turnChanged && (squares == 1) != (unit.movePoints < then.movePoints))
                why << "unit " << unit.id << " went " << squares << " squares for " << then.movePoints - unit.movePoints
                    << " points";
            bool outOfTurn = choosing || unit.player != currentPlayer;
            if (turnChanged || !outOfTurn || unit.dead) continue;
            if (unit.row != turnStart.row || unit.col != turnStart.col || unit.movePoints != turnStart.movePoints ||
                unit.mp != turnStart.mp || (turnStart.canAct && !unit.canAct))
                why << "unit " << unit.id << " of player " << unit.player << " acted "
                    << (choosing ? "during the hero choice" : "out of turn");
        }
        return why.str();
    }

    static std::string describeState() {
        std::ostringstream state;
        state << "choosingMove " << choosingMove << " moveAnimating " << moveAnimating << " choosingTarget "
              << choosingTarget << " attackAnimating " << attackAnimating << " menuOpen " << selectedUnit->menuOpen
              << " unit " << selectedUnit->id << " class " << selectedUnit->unitClass << " points "
              << selectedUnit->movePoints;
        return state.str();
    }

    std::string play(int events) {
        for (int event = 1; event <= events; event++) {
            // Backing out to browsing can pass the turn too, between events.
            if (currentPlayer != turnPlayer || choosingHeroes != turnChoosing) {
                sinceTurnChange = traces();
                turnPlayer = currentPlayer;
                turnChoosing = choosingHeroes;
            }
            int playerBefore = currentPlayer, battleBefore = battlesStarted;
            bool choosingBefore = choosingHeroes;
            std::vector<Trace> before = traces();
            randomEvent();
            bool turnChanged = currentPlayer != playerBefore || choosingBefore != choosingHeroes;
            turnChanges += currentPlayer != playerBefore && !choosingHeroes;
            heroesChosen += choosingBefore && !choosingHeroes && battlesStarted == battleBefore;
            std::string broken = brokenInvariant();
            if (battlesStarted == battleBefore) broken += brokenCommand(before, turnChanged, choosingBefore);
            if (!broken.empty()) return "event " + std::to_string(event) + ": " + broken;
            if ((randomInt(0, 199) == 0 || event == events) && !backToBrowsing())
                return "event " + std::to_string(event) + ": stuck away from browsing, " + describeState();
        }
        return "";
    }

private:
    uint32_t milliseconds = 5000;
    std::vector<Trace> sinceTurnChange;   // every unit as it was when this turn began
    int  turnPlayer = 0;                  // the turn sinceTurnChange belongs to
    bool turnChoosing = false;
};

TEST_F(BattleTest, RandomBattlesKeepTheBoardSoundAndNeverGetStuck) {
    int fallen = 0, newBattles = 0;
    for (unsigned seed : {1u, 7u, 2024u, 99991u}) {
        resetBattleState();
        seedRandom(seed);
        ASSERT_EQ(setenv("KESTRAVA_SEED", std::to_string(seed).c_str(), 1), 0);   // for a new battle's placement
        loadMap(randomMap());
        ASSERT_EQ(mapRows, MAP_ROWS);
        ASSERT_EQ(mapCols, MAP_COLS);
        placeArmies();
        cameraMoveAxis = Vector(0, -3, -4);

        RandomBattle battle;
        std::string broken;
        std::string out = captureOutput([&] { broken = battle.play(EVENTS_PER_BATTLE); });
        EXPECT_EQ(broken, "") << "seed " << seed;

        // The battle really was played: heroes picked, turns passed, blows struck.
        EXPECT_GE(battle.heroesChosen, 1) << "seed " << seed;
        EXPECT_GE(battle.turnChanges, 2) << "seed " << seed;
        EXPECT_NE(out.find("Hit range = "), std::string::npos) << "seed " << seed;
        for (const Unit* unit : allUnits) fallen += unit->dead;
        newBattles += battlesStarted;
    }
    unsetenv("KESTRAVA_SEED");
    EXPECT_GT(fallen, 0) << "no unit fell: the fallen were never put to the test";
    EXPECT_GT(newBattles, 0) << "no battle was won and begun again";
}

}  // namespace
