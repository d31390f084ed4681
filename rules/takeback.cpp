// rules/takeback.cpp — the steps of the unit that moved last, and taking them back
#include "rules/takeback.h"

#include <vector>

#include "game/battle_map.h"
#include "game/unit.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/game_state.h"
#include "rules/window_link.h"

namespace {

// Where a unit stood before its steps, and whether they may be taken back.
struct Walk {
    int   unitId = -1;
    int   row = 0, col = 0, points = 0;
    float facing = 0;
    int   steps = 0;
    bool  revealed = false;        // an enemy came into sight on the way
    std::vector<bool> seenBefore;  // by unit id: the enemies in sight as it set off
};

Walk lastWalk;   // the steps of the unit that moved last
Walk opening;    // the unit whose step choice opened last, before its first step

Unit* unitWithId(int id) {
    for (Unit* unit : allUnits)
        if (unit->id == id) return unit;
    return nullptr;
}

Walk startFrom(const Unit& unit, int row, int col, int points) {
    Walk walk;
    walk.unitId = unit.id;
    walk.row = row;
    walk.col = col;
    walk.points = points;
    walk.facing = unit.facing;
    walk.seenBefore.assign(allUnits.size() + 1, false);
    for (const Unit* other : allUnits)
        if (other->player != unit.player && other->visible && !other->dead && other->id < static_cast<int>(walk.seenBefore.size()))
            walk.seenBefore[other->id] = true;
    return walk;
}

void watch(Walk& walk) {
    if (walk.unitId < 0 || walk.revealed) return;
    const Unit* walker = unitWithId(walk.unitId);
    if (!walker) return;
    for (const Unit* other : allUnits) {
        if (other->player == walker->player || !other->visible || other->dead) continue;
        const bool seen = other->id >= 0 && other->id < static_cast<int>(walk.seenBefore.size()) && walk.seenBefore[other->id];
        if (!seen) walk.revealed = true;
    }
}

const char* refusal(const Walk& walk, const Unit* unit) {
    if (moveAnimating || attackAnimating) return "WAIT: THE UNIT IS STILL MOVING";
    if (walk.unitId < 0 || walk.steps == 0 || !unit) return "NO STEP TO TAKE BACK";
    if (unit->dead || !unit->canAct) return "THE UNIT HAS ACTED: ITS STEPS STAND";
    if (walk.revealed) return "AN ENEMY CAME INTO SIGHT: THE STEPS STAND";
    if (battleMap[walk.row][walk.col].occupant != -1) return "ITS SQUARE IS TAKEN: THE STEPS STAND";
    return nullptr;
}

}  // namespace

void noteStepChoice(const Unit& unit) {
    if (lastWalk.unitId == unit.id && lastWalk.steps > 0) return;   // the walk goes on from where it began
    opening = startFrom(unit, unit.row, unit.col, unit.movePoints);
}

void noteStepTaken(const Unit& unit, int fromRow, int fromCol, int pointsBefore) {
    if (lastWalk.unitId != unit.id || lastWalk.steps == 0) {
        const bool opened = opening.unitId == unit.id && opening.row == fromRow && opening.col == fromCol;
        lastWalk = opened ? opening : startFrom(unit, fromRow, fromCol, pointsBefore);
        opening = Walk();
    }
    lastWalk.steps++;
}

void watchSightings() {
    watch(lastWalk);
    watch(opening);
}

void takeBackSteps() {
    if (choosingHeroes || battleWon()) return;
    Unit* unit = unitWithId(lastWalk.unitId);
    if (const char* why = refusal(lastWalk, unit)) {
        tellPlayer(why);
        requestRedisplay();
        return;
    }
    standDown();
    battleMap[unit->row][unit->col].occupant = -1;
    battleMap[lastWalk.row][lastWalk.col].occupant = unit->id;
    unit->row = lastWalk.row;
    unit->col = lastWalk.col;
    unit->position = battleMap[unit->row][unit->col].centre;
    unit->movePoints = lastWalk.points;
    unit->facing = lastWalk.facing;
    cursorRow = unit->row;
    cursorCol = unit->col;
    cursorOnUnit = true;
    cursorUnitId = unit->id;
    selectedUnit = unit;
    missShown = false;
    forgetSteps();
    battleRevision++;
    requestRedisplay();
}

void forgetSteps() {
    lastWalk = Walk();
    opening = Walk();
}
