// rules/game_state.cpp — phases, turns, banners and the per-frame update
#include "rules/game_state.h"

#include <cstdio>
#include <vector>

#include "app/camera.h"
#include "game/unit.h"
#include "rules/behaviour.h"
#include "rules/cursor.h"
#include "rules/movement.h"
#include "rules/window_link.h"

int  currentPlayer = 1;
bool choosingHeroes = true;
bool p1ChoosingHero = true, p2ChoosingHero = false;
int  materialBrowse = 16;
int  p1Material = 0, p2Material = 0;

bool bannerP1BeginTurn = false, bannerP1EndTurn = false;
bool bannerP2BeginTurn = false, bannerP2EndTurn = false;
bool bannerP1Wins = false, bannerP2Wins = false;
float bannerSeconds = 0;
float frameSeconds = 0;

namespace {

template <class T> void animateVisible(const std::vector<T*>& list) {
    for (T* unit : list)
        if (unit->visible) unit->animate();
}

// The held camera keys move the eye along the view axis (8, 2: level with
// the board; +, -: straight along it) or across it (6, 4), at 7 units a second.
void moveHeldCamera() {
    if (!(held8 || held2 || heldPlus || heldMinus || held6 || held4)) return;
    float step = frameSeconds * 7.0f;
    Vector axis = normalize(cameraMoveAxis);
    if (held8) {
        cameraEye.x -= axis.x * step;
        cameraEye.z -= axis.z * step;
    }
    if (held2) {
        cameraEye.x += axis.x * step;
        cameraEye.z += axis.z * step;
    }
    if (heldPlus) cameraEye -= axis * step;
    if (heldMinus) cameraEye += axis * step;
    Vector side = normalize(cross(Vector(0, 1, 0), cameraMoveAxis));
    if (held6) cameraEye += side * step;
    if (held4) cameraEye -= side * step;
}

}  // namespace

void idleUpdate() {
    updateVisibility(currentPlayer);
    if (moveAnimating) advanceStep();
    if (attackAnimating) attackStep();
    animateVisible(p1Archers);
    animateVisible(p1Fighters);
    animateVisible(p1Fliers);
    animateVisible(p1Healers);
    animateVisible(p1Mages);
    animateVisible(p2Archers);
    animateVisible(p2Fighters);
    animateVisible(p2Fliers);
    animateVisible(p2Healers);
    animateVisible(p2Mages);
    moveHeldCamera();
    requestRedisplay();
}

// The fallen never act again: their player gets no action back for them.
void beginTurn() {
    for (Unit* unit : allUnits) {
        unit->canAct = unit->player == currentPlayer && !unit->dead;
        if (unit->canAct) unit->movePoints = 5;
    }
    if (currentPlayer == 1) bannerP2EndTurn = true;
    if (currentPlayer == 2) bannerP1EndTurn = true;
    requestRedisplay();
}

// A player who owns no unit at all keeps the turn: the walk finds nobody.
void checkEndOfTurn() {
    bool ableFound = true;
    for (Unit* unit : allUnits) {
        if (unit->player != currentPlayer) continue;
        ableFound = unit->canAct;
        if (ableFound) break;
    }
    if (ableFound) return;
    toggleTurn();
    cursorOnUnit = false;
    selectedUnit->menuOpen = false;
    beginTurn();
}

void checkHeroChoice() {
    if (!(selectedUnit->menuOpen && choosingHeroes)) return;
    // Only the chooser's own unit can become the chooser's hero, even when
    // the t key has handed the keys to the other side during the choice.
    int chooser = p1ChoosingHero ? 1 : 2;
    if (selectedUnit->player != chooser) return;
    if (p1ChoosingHero) {
        std::printf("p1 hero selected!\n");
        selectedUnit->hero = true;
        p1Material = materialBrowse;
        materialBrowse = 1;
        bannerP2BeginTurn = true;
        p1ChoosingHero = false;
        showSide(2);
        currentPlayer = 2;
        p2ChoosingHero = true;
        onSpecialKey(KEY_HOME, 0, 0);
    } else if (p2ChoosingHero) {
        std::printf("p2 hero selected!\n");
        selectedUnit->hero = true;
        p2Material = materialBrowse;
        p1ChoosingHero = false;
        showSide(1);
        currentPlayer = 1;
        p2ChoosingHero = false;
        choosingHeroes = false;
        onSpecialKey(KEY_HOME, 0, 0);
        bannerP1BeginTurn = true;
    }
}

void toggleTurn() {
    currentPlayer = currentPlayer == 1 ? 2 : 1;
    showSide(currentPlayer);
}

// An end-of-turn banner hands over to the next player's begin-turn banner;
// the victory banners are not part of this and stay up.
void updateBanners() {
    if (bannerSeconds != 3) return;
    if (bannerP1EndTurn) {
        bannerP1EndTurn = false;
        bannerP2BeginTurn = true;
    } else if (bannerP2EndTurn) {
        bannerP2EndTurn = false;
        bannerP1BeginTurn = true;
    } else if (bannerP1BeginTurn) {
        bannerP1BeginTurn = false;
    } else if (bannerP2BeginTurn) {
        bannerP2BeginTurn = false;
    }
    bannerSeconds = 0;
}
