// rules/movement.h — stepping square by square, and the fog of war
#pragma once
#include <climits>
#include <utility>
#include <vector>
#include "game/battle_map.h"
#include "game/vector.h"
struct Unit;

constexpr int NO_PATH = INT_MAX;

void advanceStep();                              // one update of the selected unit's glide
void stepToward(Unit& unit, const Vector& target);  // 0.04 world units toward target
void showSide(int player);                       // that player's units visible, the other's hidden
void updateVisibility(int player);               // showSide, then reveal enemies in sight
bool inSight(const Unit& observer, const Unit& other);

// The points a step of the unit onto the square costs: its terrain code, or 1 for a Flier.
int stepCost(const Unit& unit, int row, int col);

// The fewest movement points the unit spends to reach each square of the
// map from its own, stepping over free squares only, each step at its
// stepCost. Its own square costs 0; a square it cannot get to holds NO_PATH.
// A step may cost more than the points left, so a square is within this
// turn's reach when its cost less its own stepCost is below movePoints.
void movementCosts(const Unit& unit, int cost[MAP_LIMIT][MAP_LIMIT]);

// The squares, (row, column) in the order stepped onto, of the cheapest way
// from the unit's square to (row, col) over free squares, the way
// movementCosts finds it (so the same one every time among ways that cost
// the same); empty when there is none, or when (row, col) is its own square.
std::vector<std::pair<int, int>> cheapestPath(const Unit& unit, int row, int col);
