// tests/support/battle.cpp — a clean slate and small hand-made battles
#include "tests/support/battle.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <stdlib.h>
#include <sys/stat.h>

#include "ai/computer.h"
#include "ai/knowledge.h"
#include "ai/planner.h"
#include "app/battle_clock.h"
#include "app/camera.h"
#include "app/camera_follow.h"
#include "app/input.h"
#include "app/pacing.h"
#include "app/pointer.h"
#include "app/replay.h"
#include "app/sound.h"
#include "game/random.h"
#include "render/frame_clock.h"
#include "render/looks.h"
#include "rules/battle_log.h"
#include "rules/behaviour.h"
#include "rules/combat.h"
#include "rules/cues.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/game_state.h"
#include "save/battle_save.h"

namespace {
Unit placeholderSelected, placeholderTarget;

// Placeholders in selectedUnit and targetUnit, as start-up makes them.
void makePlaceholders() {
    placeholderSelected = Unit();
    placeholderTarget = Unit();
    selectedUnit = &placeholderSelected;
    targetUnit = &placeholderTarget;
}
}  // namespace

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

void resetBattleState() {
    disbandArmies();
    makePlaceholders();

    for (auto& row : battleMap)
        for (auto& cell : row) cell = MapCell(-1, 0, 0, 0, 0);
    mapRows = 0;
    mapCols = -1;
    mapFile = "WorldDesc.txt";

    // The game's own resets are what a new battle runs, so a fault in one
    // must show in the tests of a new battle, not in whatever test comes
    // next: the state they reset is set here by hand. They still run, for
    // what their modules keep to themselves (the steps to take back, the
    // enemies' reach, the computer's plans, held keys and buttons).
    battlesStarted = 0;   // the computer's plans are for this battle
    resetTurns();
    resetCursor();
    resetCombat();
    forgetOrders();
    resetInput();
    resetPointer();
    currentPlayer = 1;
    choosingHeroes = p1ChoosingHero = true;
    p2ChoosingHero = false;
    materialBrowse = 16;
    p1Material = p2Material = 0;
    bannerP1BeginTurn = bannerP1EndTurn = bannerP2BeginTurn = bannerP2EndTurn = bannerP1Wins = bannerP2Wins = false;
    bannerSeconds = frameSeconds = victorySeconds = 0;
    firstTurn = helpShown = afterVictory = turnHandOverDue = battleRunElsewhere = false;
    battleRevision = 0;
    cursorRow = cursorCol = cursorUnitId = 0;
    menuItem = 1;
    cursorOnUnit = choosingMove = moveTargetValid = moveAnimating = false;
    choosingTarget = attackTargetValid = attackAnimating = healChosen = specialChosen = missShown = false;
    cursorShown = true;
    actionCounter = 0;
    floatingNumbers.clear();
    fallingUnits.clear();
    noticeSeconds = 0;
    for (int player = 1; player <= 2; player++) {
        sightings[player].clear();
        turnsBegun[player] = quietTurns[player] = turnsSinceFall[player] = 0;
    }
    computerHurry = false;
    commandWatcher = nullptr;
    battleCommandsTo = nullptr;
    showRunTime = showFps = true;
    pendingCues.clear();

    lightingOn = false;
    showDanger = showLog = logAfterComputer = false;
    personSide = 0;
    computerCommands[1] = computerCommands[2] = false;
    watchingReplay = replaying = replayPaused = false;
    replaySpeed = 1;
    replayState[0] = '\0';
    clearLog();

    windowWidth = windowHeight = 0;
    perspectiveView = true;
    startCamera();
    resetCameraFollow();
    cameraTakenByPerson = false;
    battleSpeed = 1;
    cameraMoveAxis = Vector();
    heldPlus = heldMinus = held2 = held4 = held6 = held8 = false;
    pointerX = pointerY = 0;
    hoverRow = hoverCol = -1;
    for (auto& plane : viewPlanes)
        for (float& v : plane) v = 0;
    for (int i = 0; i < 16; i++) viewProjection[i] = viewModelView[i] = 0;

    skyChoice = 0;
    showUnitSphere = showSightSphere = false;

    // Who plays and how: a person on each side, the computer's pace, its
    // memory and plans, the frame cap, the sound, the kept battle's state.
    commander[1] = commander[2] = BY_PERSON;
    computerLevel[1] = computerLevel[2] = LEVEL_NORMAL;
    computerPace = DEFAULT_COMPUTER_PACE;
    maxFramesPerSecond = DEFAULT_MAX_FPS;
    soundVolume = DEFAULT_VOLUME;
    soundMuted = false;
    keptRevision = 0;
    keepingBattle = true;
    keptFile = SAVE_FILE;
    keepTrouble.clear();
    keepTroubleSeconds = 0;

    resetFrameClock();
    resetBattleClock();

    seedRandom(1);
}

void inMapFolder(const std::string& text, const std::function<void()>& fn) {
    char folder[] = "/tmp/kestrava-test-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    if (!text.empty()) std::ofstream(std::string(folder) + "/WorldDesc.txt", std::ios::binary) << text;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    fn();
    std::filesystem::current_path(previous);
}

void makeFileAt(const std::string& path, FileKind kind, const std::string& text, uintmax_t hugeBytes) {
    if (kind == TEXT || kind == HUGE) std::ofstream(path, std::ios::binary) << text;
    if (kind == HUGE) std::filesystem::resize_file(path, hugeBytes);
    if (kind == FOLDER) std::filesystem::create_directory(path);
    if (kind == PIPE) {
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0) << path;
    }
    if (kind == DEVICE) std::filesystem::create_symlink("/dev/zero", path);
}

void loadMap(const std::string& text) {
    inMapFolder(text, [] { captureOutput([] { readMapSize(), readMapTerrain(); }); });
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

void drawnFrame() {
    idleUpdate();
    if (attackAnimating && selectedUnit->unitClass == CLASS_FLIER) lungeEffect.drawCount++;
    checkHeroChoice();
}

void seedForRoll(int lo, int hi) {
    for (unsigned seed = 1; seed < 100000; seed++) {
        seedRandom(seed);
        const int roll = randomInt(0, 100);
        seedRandom(seed);
        if (roll >= lo && roll <= hi) return;
    }
    FAIL() << "no seed rolls between " << lo << " and " << hi;
}
