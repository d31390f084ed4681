// ai/planner.h — what a side does next: the computer's choice, and the two
// plain ways of playing it is measured against
#pragma once
#include <random>
#include <vector>

#include "ai/levels.h"
struct Unit;

// The action menu's entries, as the cursor counts them.
enum MenuChoice { MENU_ATTACK = 1, MENU_CLASS_ACTION = 2, MENU_DEFEND = 3, MENU_MOVE = 4 };

struct Place {
    int row, col;
};
Place placeOf(const Unit& unit);   // the square the unit stands on

// One unit's action: steps, then the menu entry that ends it.
struct Plan {
    Unit* unit = nullptr;        // nobody is left to act when null
    std::vector<Place> path;     // squares to step onto in turn, each a free neighbour of the one before
    int   entry = MENU_DEFEND;   // attack, class action (skill, magic, healing) or defend
    Place target{-1, -1};       // the square attacked or healed
    float score = 0;
};

// The computer: for each unit that may act, every square it can get to this
// turn along the cheapest way, scored by the best blow or heal from there
// (the chance to hit times what it is worth, a kill above all, a share of a
// kill its side can finish this turn), less the danger of standing there in
// the enemy's next turn (a square where the enemy could kill the unit counts
// as the loss of the unit), less the way still to go toward the enemies it
// knows of, or toward where one may hide. The best unit's plan, at the level's
// strength.
Plan planTurn(int player, Level level);
Plan planUnit(Unit& unit, Level level);   // the same, for one unit (after a step has shown more)
Unit* chooseHero(int player);   // a sturdy unit far from the enemy, behind its friends

// A plan never leads a unit back onto a square it stepped off in this turn.
void noteStepTaken(const Unit& unit, Place from);
void forgetStepsTaken();   // a new turn
void forgetPlanning();     // a new battle: nothing worked out for the old one is kept

// The plain player: each unit takes the best scored action from where it
// stands, or, with nothing in reach, walks toward the enemy it would most
// like to hit (toward the enemy's home rows while it sees none) and strikes
// if that brought one in reach.
Plan greedyPlan(int player);
// A random unit that may act, a random walk, then a random entry that the
// menu accepts (an attack may fall on a friend).
Plan randomPlan(int player);
Unit* randomHero(int player);

extern std::minstd_rand randomPlayDraws;   // the random player's own draws, apart from the game's rolls
