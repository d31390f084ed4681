// tests/support/battle.cpp — a clean slate and small hand-made battles
#include "tests/support/battle.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <stdlib.h>

#include "app/camera.h"
#include "game/random.h"
#include "render/frame_clock.h"
#include "render/looks.h"
#include "rules/behaviour.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/keyboard.h"

namespace {
Unit placeholderSelected, placeholderTarget;
}

void registerUnit(Archer* u) { (u->player == 1 ? p1Archers : p2Archers).push_back(u); allUnits.push_back(u); }
void registerUnit(Fighter* u) { (u->player == 1 ? p1Fighters : p2Fighters).push_back(u); allUnits.push_back(u); }
void registerUnit(Flier* u) { (u->player == 1 ? p1Fliers : p2Fliers).push_back(u); allUnits.push_back(u); }
void registerUnit(Healer* u) { (u->player == 1 ? p1Healers : p2Healers).push_back(u); allUnits.push_back(u); }
void registerUnit(Mage* u) { (u->player == 1 ? p1Mages : p2Mages).push_back(u); allUnits.push_back(u); }

Unit* placeUnitOfClass(int unitClass, int player, int row, int col) {
    switch (unitClass) {
        case CLASS_ARCHER: return placeUnit<Archer>(player, row, col);
        case CLASS_FIGHTER: return placeUnit<Fighter>(player, row, col);
        case CLASS_FLIER: return placeUnit<Flier>(player, row, col);
        case CLASS_HEALER: return placeUnit<Healer>(player, row, col);
        default: return placeUnit<Mage>(player, row, col);
    }
}

void makePlaceholders() {
    placeholderSelected = Unit();
    placeholderTarget = Unit();
    selectedUnit = &placeholderSelected;
    targetUnit = &placeholderTarget;
}

void resetBattleState() {
    for (Unit* u : allUnits) {
        switch (u->unitClass) {
            case CLASS_ARCHER: delete static_cast<Archer*>(u); break;
            case CLASS_FIGHTER: delete static_cast<Fighter*>(u); break;
            case CLASS_FLIER: delete static_cast<Flier*>(u); break;
            case CLASS_HEALER: delete static_cast<Healer*>(u); break;
            default: delete static_cast<Mage*>(u); break;
        }
    }
    allUnits.clear();
    p1Archers.clear(), p2Archers.clear(), p1Fighters.clear(), p2Fighters.clear(), p1Fliers.clear();
    p2Fliers.clear(), p1Healers.clear(), p2Healers.clear(), p1Mages.clear(), p2Mages.clear();
    nextUnitId = 0;
    makePlaceholders();

    for (auto& row : battleMap)
        for (auto& cell : row) cell = MapCell(-1, 0, 0, 0, 0);
    mapRows = 0;
    mapCols = -1;

    currentPlayer = 1;
    choosingHeroes = true;
    p1ChoosingHero = true;
    p2ChoosingHero = false;
    materialBrowse = 16;
    p1Material = p2Material = 0;
    bannerP1BeginTurn = bannerP1EndTurn = bannerP2BeginTurn = bannerP2EndTurn = false;
    bannerP1Wins = bannerP2Wins = false;
    bannerSeconds = 0;
    frameSeconds = 0;
    battleRevision = 0;

    cursorRow = cursorCol = 0;
    cursorOnUnit = false;
    cursorUnitId = 0;
    menuItem = 1;
    choosingMove = moveTargetValid = moveAnimating = false;
    choosingTarget = attackTargetValid = attackAnimating = false;
    showRunTime = showFps = true;
    healChosen = specialChosen = missShown = false;

    attackMissed = false;
    aimPoint = Vector();
    healStartHp = 0;
    boltStart = boltPosition = boltDirection = Vector();
    boltActive = false;
    particleStyle = 0;
    arrowVolley = ArrowVolley();
    lungeEffect = LungeEffect();
    actionCounter = 0;
    spellScale = 0;

    lightingOn = false;

    windowWidth = windowHeight = 0;
    perspectiveView = true;
    interactionMode = MODE_FREE;
    cameraEye = Vector(6, 10, 13);
    cameraPitch = -60;
    cameraYaw = -90;
    lookOffset[0] = 0; lookOffset[1] = 0; lookOffset[2] = 3;
    cameraMoveAxis = Vector();
    orbitView = false;
    heldPlus = heldMinus = held2 = held4 = held6 = held8 = false;
    pointerX = pointerY = 0;
    for (auto& plane : viewPlanes)
        for (float& v : plane) v = 0;

    skyChoice = 0;
    showUnitSphere = showSightSphere = false;

    resetFrameClock();

    seedRandom(1);
}

void loadMap(const std::string& text) {
    char folder[] = "/tmp/kestrava-test-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::ofstream(std::string(folder) + "/WorldDesc.txt", std::ios::binary) << text;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    captureOutput([] { readMapSize(), readMapTerrain(); });
    std::filesystem::current_path(previous);
}

void loadUniformMap(int rows, int cols, int terrain) {
    std::string text;
    for (int r = 0; r < rows; r++) {
        text += std::string(cols, char('0' + terrain));
        text += '#';
        if (r + 1 < rows) text += '\n';
    }
    loadMap(text);
}
