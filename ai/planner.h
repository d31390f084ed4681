// ai/planner.h — what a side does next: the computer's choice, and the two
// plain ways of playing it is measured against
#pragma once
#include <random>
#include <vector>
struct Unit;

// The action menu's entries, as the cursor counts them.
enum MenuChoice { MENU_ATTACK = 1, MENU_CLASS_ACTION = 2, MENU_DEFEND = 3, MENU_MOVE = 4 };

struct Place {
    int row, col;
};

// One unit's action: steps, then the menu entry that ends it.
struct Plan {
    Unit* unit = nullptr;        // nobody is left to act when null
    std::vector<Place> path;     // squares to step onto in turn, each a free neighbour of the one before
    int   entry = MENU_DEFEND;   // attack, class action (skill, magic, healing) or defend
    Place target{-1, -1};       // the square attacked or healed
    float score = 0;
};

// The computer: for each unit that may act, every target its side sees within
// reach of every square it can get to this turn, scored by the chance to hit
// times what the blow or the heal is worth, less the danger of where it
// stands; without a target in reach it heads for the square from which the
// best one opens. The best unit's plan.
Plan planTurn(int player);
Plan planUnit(Unit& unit);      // the same, for one unit (after a step has shown more)
Unit* chooseHero(int player);   // a sturdy unit far from the enemy

// The best immediate scored action of any unit, from where it stands; a
// unit defends when none is open.
Plan greedyPlan(int player);
// A random unit that may act, a random walk, then a random entry that the
// menu accepts (an attack may fall on a friend).
Plan randomPlan(int player);
Unit* randomHero(int player);

extern std::minstd_rand randomPlayDraws;   // the random player's own draws, apart from the game's rolls
