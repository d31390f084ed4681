// ai/computer.cpp — choosing the keys that carry out a plan, whatever state the keys have left
#include "ai/computer.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "ai/knowledge.h"
#include "ai/planner.h"
#include "ai/squad.h"
#include "game/battle_map.h"
#include "game/unit.h"
#include "rules/cursor.h"
#include "rules/game_state.h"

int   commander[3] = {BY_PERSON, BY_PERSON, BY_PERSON};
int   computerLevel[3] = {LEVEL_NORMAL, LEVEL_NORMAL, LEVEL_NORMAL};
float computerPace = DEFAULT_COMPUTER_PACE;
bool  computerHurry = false;
DecisionClock decisionClock[3];

namespace {

struct Orders {
    Plan  plan;
    Place from{-1, -1};      // where the unit stood when the plan was made
    Unit* hero = nullptr;    // the pick during the hero choice
};

Orders orders[3];
int    ordersPlayer = 0;     // whose turn the orders were given in
int    ordersBattle = 0;     // battlesStarted when the orders were given: a new battle has new units
int    ordersKnowledge = 0;  // the knowledge the plan was made with
float  waited = 0;
int    unitsToAct = 0;       // units of the player that had an action when its turn began
int    lookedRevision = -1;  // battleRevision when the side last looked at the board

bool same(Place a, Place b) { return a.row == b.row && a.col == b.col; }
Place cursorPlace() { return {cursorRow, cursorCol}; }

bool mayStillAct(const Unit* unit, int player) {
    return unit && unit->player == player && unit->canAct && !unit->dead;
}

double threadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

template <class Choose> Plan timed(int player, Choose choose) {
    double start = threadSeconds();
    Plan plan = choose();
    double seconds = threadSeconds() - start;
    DecisionClock& clock = decisionClock[player];
    clock.decisions++;
    clock.totalSeconds += seconds;
    clock.worstSeconds = std::max(clock.worstSeconds, seconds);
    return plan;
}

void decide(int player) {
    Orders& o = orders[player];
    o.plan = timed(player, [player] {
        switch (commander[player]) {
            case BY_GREEDY: return greedyPlan(player);
            case BY_RANDOM: return randomPlan(player);
            case BY_SQUAD: return squadPlan(player);
            default: return planTurn(player, static_cast<Level>(computerLevel[player]));
        }
    });
    if (o.plan.unit) o.from = placeOf(*o.plan.unit);
    ordersKnowledge = knowledgeRevision[player];
}

// One arrow from the cursor toward the square, rows first.
int arrowToward(Place to) {
    if (cursorRow != to.row) return cursorRow > to.row ? KEY_UP : KEY_DOWN;
    return cursorCol > to.col ? KEY_LEFT : KEY_RIGHT;
}

// Browsing onto the unit until it is selected, then Insert. Only a cursor
// move selects, so a cursor already on its square steps off and back.
int keyToOpen(const Unit& unit) {
    if (!same(cursorPlace(), placeOf(unit))) return arrowToward(placeOf(unit));
    if (selectedUnit == &unit && cursorOnUnit) return KEY_INSERT;
    return cursorRow > 0 ? KEY_UP : KEY_DOWN;
}

int giveUp(Orders& o) {
    o.plan = Plan();
    return KEY_HOME;
}

int menuKey(Orders& o) {
    if (o.plan.unit != selectedUnit) return KEY_HOME;
    if (o.plan.unit->movePoints <= 0) o.plan.path.clear();   // the menu would refuse Move
    int wanted = o.plan.path.empty() ? o.plan.entry : MENU_MOVE;
    if (menuItem == wanted) return KEY_INSERT;
    return (wanted - menuItem + 4) % 4 <= 2 ? KEY_DOWN : KEY_UP;
}

// Each step: the arrow onto the next square, Insert, and after the glide the
// next. The computer plans afresh when a step has shown it something new
// (an enemy come into sight, or one gone from where it was), never leading
// back onto a square the unit has left, and for a unit that a stray key set
// stepping; otherwise it keeps to the way it chose.
int stepKey(Orders& o, int player) {
    Unit& unit = *selectedUnit;
    Place here = placeOf(unit);
    if (!same(here, o.from) && o.plan.unit == &unit) noteStepTaken(unit, o.from);
    bool learnt = ordersKnowledge != knowledgeRevision[player];
    if (!same(here, o.from) || o.plan.unit != &unit) {
        if (commander[player] == BY_COMPUTER && (learnt || o.plan.unit != &unit)) {
            o.plan = timed(player, [&unit, player] { return planUnit(unit, static_cast<Level>(computerLevel[player])); });
            ordersKnowledge = knowledgeRevision[player];
        } else {
            auto reached = std::find_if(o.plan.path.begin(), o.plan.path.end(),
                                        [here](Place p) { return same(p, here); });
            if (reached != o.plan.path.end()) o.plan.path.erase(o.plan.path.begin(), reached + 1);
        }
        o.from = here;
    }
    if (o.plan.path.empty()) return KEY_HOME;   // back to the menu for the action
    // The arrows reach a neighbour only from the unit's own square, so a
    // cursor on another (a stray key) comes back first. A stray arrow at right
    // angles can also leave the step refused: back and forth sets it right.
    Place next = o.plan.path.front();
    if (same(cursorPlace(), next)) return moveTargetValid ? KEY_INSERT : arrowToward(here);
    return same(cursorPlace(), here) ? arrowToward(next) : arrowToward(here);
}

// Within the attack diamond every arrow that would leave it is taken back, so
// take the one that keeps the cursor inside.
int targetKey(Orders& o) {
    const Unit& unit = *selectedUnit;
    auto inside = [&unit](Place p) {
        return std::abs(p.row - unit.row) + std::abs(p.col - unit.col) <= unit.attackRange;
    };
    Place to = o.plan.target;
    // Aiming before the steps are taken, or for a plan with nothing to aim
    // at (a stray key either way), is backed out of: off the map's corner a
    // target of (-1, -1) can lie inside the diamond and be walked toward for ever.
    if (o.plan.unit != &unit || !o.plan.path.empty() || o.plan.target.row < 0 || !inside(to)) return giveUp(o);
    if (same(cursorPlace(), to)) return KEY_INSERT;
    if (cursorRow != to.row && inside({cursorRow + (to.row > cursorRow ? 1 : -1), cursorCol}))
        return to.row > cursorRow ? KEY_DOWN : KEY_UP;
    return to.col > cursorCol ? KEY_RIGHT : KEY_LEFT;
}

int nextKey(int player) {
    Orders& o = orders[player];
    if (choosingHeroes) {
        if (selectedUnit->menuOpen) return 0;   // the next frame confirms the pick
        if (!o.hero) {
            switch (commander[player]) {
                case BY_RANDOM: o.hero = randomHero(player); break;
                case BY_SQUAD: o.hero = squadHero(player); break;
                default: o.hero = chooseHero(player); break;
            }
        }
        return o.hero ? keyToOpen(*o.hero) : 0;
    }
    if (!mayStillAct(o.plan.unit, player)) o.plan = Plan();
    if (choosingMove) return o.plan.unit ? stepKey(o, player) : KEY_HOME;
    if (choosingTarget) return o.plan.unit ? targetKey(o) : KEY_HOME;
    if (selectedUnit->menuOpen) return o.plan.unit ? menuKey(o) : KEY_HOME;
    if (!o.plan.unit) decide(player);
    // With nobody left to act, any special key ends the turn.
    return o.plan.unit ? keyToOpen(*o.plan.unit) : KEY_HOME;
}

}  // namespace

float keyWait(bool cursorTravel) {
    float wait = computerPace;
    if (unitsToAct > UNHURRIED_UNITS) wait *= static_cast<float>(UNHURRIED_UNITS) / unitsToAct;
    if (computerHurry) wait /= HURRY_FACTOR;
    return cursorTravel ? wait * TRAVEL_SHARE : wait;
}

bool computerHasTheTurn() {
    return commander[activeSide()] != BY_PERSON && !battleWon();
}

// The units counted when the turn was first seen, so that the turn keeps its
// speed to the end; worked out from the board, a replay (which runs no
// computer) plays the turn as fast as it was shown.
int computerTurnSpeed() {
    static int speedPlayer = 0, speedBattle = -1, speed = 1;
    if (!computerHasTheTurn() || choosingHeroes) {
        speedPlayer = 0;
        return 1;
    }
    if (speedPlayer != currentPlayer || speedBattle != battlesStarted) {
        speedPlayer = currentPlayer;
        speedBattle = battlesStarted;
        int toAct = 0;
        for (const Unit* unit : allUnits) toAct += unit->player == currentPlayer && unit->canAct && !unit->dead;
        speed = std::clamp(static_cast<int>(std::lround(toAct / TURN_SPEED_UNITS)), LEAST_TURN_SPEED, MOST_TURN_SPEED);
    }
    return computerHurry ? speed * static_cast<int>(HURRY_FACTOR) : speed;
}

int computerTick(float seconds) {
    if (ordersBattle != battlesStarted) forgetOrders();
    int player = activeSide();
    bool newTurn = player != ordersPlayer;
    if (newTurn) {
        orders[1].plan = orders[2].plan = Plan();
        ordersPlayer = player;
        forgetStepsTaken();
        unitsToAct = 0;
        if (!choosingHeroes)
            for (const Unit* unit : allUnits) unitsToAct += unit->player == player && unit->canAct && !unit->dead;
    }
    if (!computerHasTheTurn()) return 0;
    // A look whenever a step, an action or a turn has ended (not in mid-glide).
    if (newTurn || (!moveAnimating && lookedRevision != battleRevision)) {
        noteSightings(player);
        lookedRevision = battleRevision;
    }
    if (newTurn && !choosingHeroes) noteTurnStart(player);
    if (computerPace > 0 && bannerUp()) return 0;
    waited += seconds;
    if (moveAnimating || attackAnimating) return 0;
    bool browsing = !choosingHeroes && !choosingMove && !choosingTarget && !selectedUnit->menuOpen;
    int key = nextKey(player);
    bool arrow = key == KEY_LEFT || key == KEY_RIGHT || key == KEY_UP || key == KEY_DOWN;
    if (key == 0 || waited < keyWait(browsing && arrow)) return 0;
    waited = 0;
    return key;
}

bool commandByComputer(const char* side) {
    bool both = std::strcmp(side, "both") == 0;
    bool one = std::strcmp(side, "1") == 0, two = std::strcmp(side, "2") == 0;
    if (both || one) commander[1] = BY_COMPUTER;
    if (both || two) commander[2] = BY_COMPUTER;
    return both || one || two;
}

void playAtLevel(int level) {
    for (int player = 1; player <= 2; player++)
        if (commander[player] == BY_COMPUTER) computerLevel[player] = level;
}

float computerPaceSetting(const char* setting) {
    if (!setting) return DEFAULT_COMPUTER_PACE;
    char* end = nullptr;
    float seconds = std::strtof(setting, &end);
    // Infinity and NaN fail the range too.
    if (*setting && *end == '\0' && seconds >= 0 && seconds <= SLOWEST_COMPUTER_PACE) return seconds;
    std::cerr << "KESTRAVA_COMPUTER_PACE is not a number of seconds from 0 to " << SLOWEST_COMPUTER_PACE
              << "; the computer keeps its pace." << std::endl;
    return DEFAULT_COMPUTER_PACE;
}

void forgetOrders() {
    for (int player = 1; player <= 2; player++) {
        orders[player] = Orders();
        decisionClock[player] = DecisionClock();
    }
    forgetSightings();
    forgetPlanning();
    ordersBattle = battlesStarted;
    ordersPlayer = 0;
    waited = 0;
    unitsToAct = 0;
    lookedRevision = -1;
    computerHurry = false;
}
