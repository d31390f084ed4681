// tests/unit/test_random_battle.cpp — seeded battles of random keys and frames, checked after every event
#include <cstdlib>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/battle_map.h"
#include "game/random.h"
#include "render/frame_clock.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "app/input.h"
#include "tests/support/battle.h"
#include "tests/support/window_link_fake.h"
#include "tests/unit/rules_keys.h"

namespace {

constexpr int ROWS = 7, COLS = 6;
const int SPECIAL_KEYS[] = {KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN, KEY_INSERT, KEY_INSERT, KEY_HOME};
const char CHARACTER_KEYS[] = "tttee+-2468rsc\r";   // no quit key; Enter begins a battle after a victory

struct Trace {
    int row, col, movePoints, mp;
    bool canAct;
};

std::vector<Trace> traces() {
    std::vector<Trace> all;
    for (const Unit* u : allUnits) all.push_back({u->row, u->col, u->movePoints, u->mp, u->canAct});
    return all;
}

// One frame as the window runs it, with the clock that sets frameSeconds.
void frame(uint32_t& milliseconds) {
    drawnFrame();
    milliseconds += 15 + randomInt(0, 35);
    tickFrameClock(milliseconds);
}

// The first broken rule after an event, or "": the board is sound; a step
// goes one square for its points; and since the turn (or the hero choice)
// began, no unit out of turn, nor any unit during the choice, has moved,
// spent points or used up its action, short of falling.
std::string broken(const std::vector<Trace>& before, const std::vector<Trace>& turnStart, bool choosing,
                   bool turnChanged) {
    std::ostringstream why;
    std::set<std::pair<int, int>> squares;
    for (size_t i = 0; i < allUnits.size(); i++) {
        const Unit& u = *allUnits[i];
        if (u.hp > u.maxHp || u.mp < 0 || u.movePoints < 0) why << "unit " << u.id << " out of bounds; ";
        if (u.dead) continue;
        if (battleMap[u.row][u.col].occupant != u.id || !squares.insert({u.row, u.col}).second)
            why << "unit " << u.id << " not alone on its square; ";
        const int moved = std::abs(u.row - before[i].row) + std::abs(u.col - before[i].col);
        if (moved > 1 || (!turnChanged && (moved == 1) != (u.movePoints < before[i].movePoints)))
            why << "unit " << u.id << " went " << moved << " squares for its points; ";
        const Trace& then = turnStart[i];
        if (!turnChanged && (choosing || u.player != currentPlayer) &&
            (u.row != then.row || u.col != then.col || u.movePoints != then.movePoints || u.mp != then.mp ||
             (then.canAct && !u.canAct)))
            why << "unit " << u.id << " of player " << u.player << " acted " << (choosing ? "in the choice" : "out of turn");
    }
    size_t occupied = 0;
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++) occupied += battleMap[r][c].occupant != -1;
    if (occupied != squares.size()) why << occupied << " squares held by " << squares.size() << " units";
    return why.str();
}

TEST_F(BattleTest, RandomKeysNeverCommandAUnitOutOfTurnNorBreakTheBoard) {
    int blows = 0, turns = 0;
    for (unsigned seed : {1u, 7u, 2024u}) {
        SCOPED_TRACE(seed);
        resetBattleState();
        seedRandom(seed);
        ASSERT_EQ(setenv("KESTRAVA_SEED", std::to_string(seed).c_str(), 1), 0);   // a new battle's placement
        std::string map;
        for (int r = 0; r < ROWS; r++) {
            for (int c = 0; c < COLS; c++) map += char('0' + randomInt(1, 9));
            map += r + 1 < ROWS ? "#\n" : "#";
        }
        loadMap(map);
        for (int player = 1; player <= 2; player++)
            for (int n = 0; n < 7; n++) {
                int row, col;
                do {
                    row = (player == 1 ? 0 : ROWS - 3) + randomInt(0, 2);
                    col = randomInt(0, COLS - 1);
                } while (battleMap[row][col].occupant != -1);
                Unit* unit = placeUnitOfClass(n < 5 ? n + 1 : randomInt(1, 5), player, row, col);
                unit->hp = randomInt(5, unit->maxHp / 2);   // worn, so that some fall
            }
        uint32_t milliseconds = 5000;
        std::vector<Trace> turnStart = traces();
        std::string out = captureOutput([&] {
            for (int event = 0; event < 20000; event++) {
                const int player = currentPlayer, battle = battlesStarted;
                const bool choosing = choosingHeroes;
                const std::vector<Trace> before = traces();
                const int pick = randomInt(0, 99);
                if (pick < 55) press(SPECIAL_KEYS[randomInt(0, std::size(SPECIAL_KEYS) - 1)]);
                else if (pick < 60) dispatch({CMD_KEY, CHARACTER_KEYS[randomInt(0, std::size(CHARACTER_KEYS) - 2)]});
                else frame(milliseconds);
                if (battlesStarted != battle) {
                    turnStart = traces();
                    continue;
                }
                const bool turnChanged = currentPlayer != player || choosingHeroes != choosing;
                turns += turnChanged;
                const std::string why = broken(before, turnStart, choosing, turnChanged);
                ASSERT_EQ(why, "") << "event " << event;
                if (turnChanged) turnStart = traces();
            }
        });
        for (size_t at = out.find("Hit range = "); at != std::string::npos; at = out.find("Hit range = ", at + 1))
            blows++;
    }
    unsetenv("KESTRAVA_SEED");
    EXPECT_GT(blows, 20) << "blows were struck";
    EXPECT_GT(turns, 10) << "turns passed";
}

}  // namespace
