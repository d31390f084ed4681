// app/camera_follow.cpp — where the camera goes by itself, seen from one frame to the next
#include "app/camera_follow.h"

#include "ai/computer.h"
#include "app/camera.h"
#include "app/input.h"
#include "game/battle_map.h"
#include "game/unit.h"
#include "render/looks.h"
#include "rules/cursor.h"
#include "rules/game_state.h"

namespace {

int  seenBattle = -1;        // battlesStarted when last seen
bool wasChoosing = false;    // the hero choice was under way in the last frame
bool wasOthers = false;      // the other side had the turn in the last frame
bool personViewKept = false;
CameraPose personView;       // the person's view when the other side's turn began

// The turn is the other side's, watched from this screen: the computer's,
// or on a joining screen the other player's.
bool othersTurn() {
    if (computerHasTheTurn()) return true;
    return battleRunElsewhere && personSide && activeSide() != personSide && !battleWon();
}

// What the other side is doing, where this screen shows it: the unit it acts
// with, or where its cursor goes. False when it shows neither (a joining
// screen is shown the other side's cursor only over squares its side sees).
bool watchedFocus(Vector& focus) {
    if (selectedUnit->menuOpen || choosingMove || choosingTarget)
        focus = selectedUnit->position;
    else if (cursorShown)
        focus = battleMap[cursorRow][cursorCol].centre;
    else
        return false;
    return true;
}

}  // namespace

int homeSideNow() { return personSide ? personSide : activeSide(); }

void startingView() {
    if (personSide)
        placeCameraAtHome(personSide);
    else if (choosingHeroes)
        startCamera();
    else
        placeCameraAtHome(activeSide());
}

void followBattle(float seconds) {
    if (seenBattle != battlesStarted) {
        seenBattle = battlesStarted;
        wasChoosing = choosingHeroes;
        wasOthers = personViewKept = false;
    }
    if (wasChoosing && !choosingHeroes && !battleWon()) {
        homeCamera(homeSideNow());
        personViewKept = false;
    }
    wasChoosing = choosingHeroes;
    const bool others = othersTurn();
    if (others && !wasOthers) {
        personView = cameraGoal();
        personViewKept = true;
        cameraTakenByPerson = false;
    }
    if (others && cameraTakenByPerson) personViewKept = false;
    Vector focus;
    if (others && !cameraTakenByPerson && watchedFocus(focus)) bringIntoView(focus);
    if (!others && wasOthers && personViewKept && personMayCommand()) glideCameraTo(personView);
    if (!others) personViewKept = false;
    wasOthers = others;
    glideCamera(seconds);
}

void resetCameraFollow() {
    seenBattle = -1;
    wasChoosing = wasOthers = personViewKept = false;
}
