// ai/squad.h — a second opponent for the arena, written from the rules alone
// and apart from the computer's planner: it keeps its hero behind its friends,
// heals, pulls wounded units back to its Healers, and strikes all together
// at one enemy, the one it can finish soonest.
#pragma once
#include "ai/planner.h"

// The next unit's action, by the first rule that gives one: heal a wounded
// hero; strike the focus (the enemy hero if in reach, else the weakest enemy
// in reach) with the unit likeliest to hit it; strike anything else in reach;
// heal a friend; take a badly wounded unit back beside a Healer and Defend;
// march the others toward the nearest enemy in view (toward the enemy's home
// rows while none is); keep the hero away from the enemies, behind the rest.
Plan squadPlan(int player);
// The unit the enemy reaches last: the one nearest its own back row, the
// sturdier of two there.
Unit* squadHero(int player);
