// rules/takeback.h — u: the steps of the unit that moved last, taken back
//
// A unit's steps may be taken back while it has not acted, the turn has not
// passed and no enemy came into sight while it walked. Nothing is rolled and
// nothing is printed; the unit stands again where it stood, with the points
// and the facing it had, and the cursor rests on it.
#pragma once
struct Unit;

void noteStepChoice(const Unit& unit);   // the Move entry was taken: where the unit stands now
// The unit arrived on its new square from (fromRow, fromCol), where it had pointsBefore.
void noteStepTaken(const Unit& unit, int fromRow, int fromCol, int pointsBefore);
void watchSightings();   // once per update, after sight: an enemy newly in sight keeps the steps
void takeBackSteps();    // the u key: the steps taken back, or a line on screen saying why not
void forgetSteps();      // the turn passed, a new battle, a battle taken up again: nothing to take back
