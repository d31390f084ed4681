// rules/movement.h — stepping square by square, and the fog of war
#pragma once
#include "game/vector.h"
struct Unit;

void advanceStep();                              // one update of the selected unit's glide
void stepToward(Unit& unit, const Vector& target);  // 0.04 world units toward target
void showSide(int player);                       // that player's units visible, the other's hidden
void updateVisibility(int player);               // showSide, then reveal enemies in sight
bool inSight(const Unit& observer, const Unit& other);
