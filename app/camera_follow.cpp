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
bool wasComputers = false;   // the computer had the turn in the last frame
bool personViewKept = false;
CameraPose personView;       // the person's view when the computer's turn began

// What the computer is doing: the unit it acts with, or where its cursor goes.
Vector computerFocus() {
    if (selectedUnit->menuOpen || choosingMove || choosingTarget) return selectedUnit->position;
    return battleMap[cursorRow][cursorCol].centre;
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
        wasComputers = personViewKept = false;
    }
    if (wasChoosing && !choosingHeroes && !battleWon()) {
        homeCamera(homeSideNow());
        personViewKept = false;
    }
    wasChoosing = choosingHeroes;
    const bool computers = computerHasTheTurn();
    if (computers && !wasComputers) {
        personView = cameraGoal();
        personViewKept = true;
        cameraTakenByPerson = false;
    }
    if (computers && cameraTakenByPerson) personViewKept = false;
    if (computers && !cameraTakenByPerson) bringIntoView(computerFocus());
    if (!computers && wasComputers && personViewKept && personMayCommand()) glideCameraTo(personView);
    if (!computers) personViewKept = false;
    wasComputers = computers;
    glideCamera(seconds);
}

void resetCameraFollow() {
    seenBattle = -1;
    wasChoosing = wasComputers = personViewKept = false;
}
