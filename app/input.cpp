// app/input.cpp — the dispatcher: the keys' table, the gate of the computer's turn, and what a
// click stands for in keys
#include "app/input.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <utility>
#include <vector>

#include "ai/computer.h"
#include "app/battle_clock.h"
#include "app/camera.h"
#include "app/camera_follow.h"
#include "app/sound.h"
#include "game/battle_map.h"
#include "game/looks.h"
#include "game/unit.h"
#include "render/looks.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/game_state.h"
#include "rules/keyboard.h"
#include "rules/movement.h"
#include "rules/window_link.h"

void (*commandWatcher)(const Command& command) = nullptr;
void (*battleCommandsTo)(const Command& command) = nullptr;

namespace {

constexpr unsigned char KEY_BACKSPACE = 8, KEY_TAB = 9, KEY_ENTER = 13, KEY_ESCAPE = 27;
constexpr float SOUND_NOTICE_SECONDS = 2;

// ---- The character keys ----

// A battle key goes to the rules, and waits while the computer has the
// turn; a view key acts whoever has it.
enum KeyRole { VIEW, BATTLE };

struct CharacterKey {
    unsigned char key;
    KeyRole       role;
    void (*act)(unsigned char key);
};

void redisplay(unsigned char) { requestRedisplay(); }
void quit(unsigned char) { std::exit(0); }
void holdCameraKey(unsigned char key) {
    switch (key) {
        case '+': heldPlus = true; break;
        case '-': heldMinus = true; break;
        case '2': held2 = true; break;
        case '4': held4 = true; break;
        case '6': held6 = true; break;
        default: held8 = true; break;
    }
}
void flipProjection(unsigned char) {
    perspectiveView = !perspectiveView;
    reapplyProjection();
    requestRedisplay();
}
void cameraAngles(unsigned char) {
    resetCamera();
    requestRedisplay();
}
// A held key arrives as presses alone: these switch once until let go.
bool heldDown[256] = {};
bool firstPress(unsigned char key) {
    if (heldDown[key]) return false;
    heldDown[key] = true;
    return true;
}

// c, , . and 5 leave the camera the person's, as a drag does: on the
// computer's turn it no longer follows, nor goes back after it.
void cameraHome(unsigned char) {
    homeCamera(homeSideNow());
    cameraTakenByPerson = true;
    requestRedisplay();
}
void turnQuarter(unsigned char key) {
    quarterTurn(key == ',' ? 1 : -1);
    cameraTakenByPerson = true;
}
void lookFromAbove(unsigned char key) {
    if (!firstPress(key)) return;
    toggleTopDown();
    cameraTakenByPerson = true;
}
// The scene turns lighting back on each frame, so off lasts one frame.
void toggleLighting(unsigned char) {
    lightingOn = !lightingOn;
    setLighting(lightingOn);
    requestRedisplay();
}
void toggleHelp(unsigned char) {
    helpShown = !helpShown;
    requestRedisplay();
}
void battleKey(unsigned char key) { onKeyboard(key, 0, 0); }
void toggleSound(unsigned char) {
    toggleMute();
    tellPlayer(soundMuted ? "SOUND OFF" : "SOUND ON", SOUND_NOTICE_SECONDS);
}
// j: the log up or away; the log the computer's turn opened goes too.
void toggleLog(unsigned char) {
    showLog = !(showLog || logAfterComputer);
    logAfterComputer = false;
    requestRedisplay();
}

// w: the computer presses its keys four times as fast, or at its pace again.
void toggleHurry(unsigned char key) {
    if (firstPress(key) && !battleWon()) computerHurry = !computerHurry;
}

void press(int key) { onSpecialKey(key, 0, 0); }

// Tab, Backspace: while browsing (an open menu is closed first, as a click
// elsewhere would), the cursor onto the next or the one before of the side's
// units that may still act, the camera bringing it into view.
void toNextUnit(unsigned char key) {
    if (choosingHeroes || battleWon() || moveAnimating || attackAnimating || choosingMove || choosingTarget) return;
    if (selectedUnit->menuOpen) press(KEY_HOME);
    if (const Unit* unit = cursorToNextUnit(currentPlayer, key == KEY_TAB ? 1 : -1)) {
        hoverRow = hoverCol = -1;
        bringIntoView(unit->position);
    }
}

// Enter is the victory's (below).
const CharacterKey CHARACTER_KEYS[] = {
    {KEY_ESCAPE, VIEW, quit},
    {'q', VIEW, quit},
    {'Q', VIEW, quit},
    {'v', VIEW, flipProjection},
    {'+', VIEW, holdCameraKey},
    {'-', VIEW, holdCameraKey},
    {'2', VIEW, holdCameraKey},
    {'4', VIEW, holdCameraKey},
    {'6', VIEW, holdCameraKey},
    {'8', VIEW, holdCameraKey},
    {'r', VIEW, cameraAngles},
    {'R', VIEW, cameraAngles},
    {'c', VIEW, cameraHome},
    {'p', VIEW, [](unsigned char) { printMapOccupancy(); }},
    {'P', VIEW, [](unsigned char) { printMapTerrain(); }},
    {'b', VIEW, [](unsigned char) { showUnitSphere = !showUnitSphere; }},
    {'f', VIEW, [](unsigned char) { showSightSphere = !showSightSphere; }},
    {'l', VIEW, toggleLighting},
    {'s', VIEW, [](unsigned char) { nextSky(); }},
    {'h', VIEW, toggleHelp},
    {'o', VIEW, toggleSound},
    {'j', VIEW, toggleLog},
    {'w', VIEW, toggleHurry},
    {'z', VIEW, [](unsigned char) { showDanger = !showDanger; requestRedisplay(); }},
    {',', VIEW, turnQuarter},
    {'.', VIEW, turnQuarter},
    {'5', VIEW, lookFromAbove},
    {'g', VIEW, [](unsigned char key) { if (firstPress(key)) nextBattleSpeed(); }},
    {' ', VIEW, [](unsigned char) { skipAnimation(); }},
    {'n', VIEW, redisplay},
    {'N', VIEW, redisplay},
    {'x', VIEW, redisplay},
    {'d', VIEW, redisplay},
    {'m', BATTLE, battleKey},
    {'t', BATTLE, battleKey},
    {'e', BATTLE, battleKey},
    {'u', BATTLE, battleKey},
    {KEY_TAB, BATTLE, toNextUnit},
    {KEY_BACKSPACE, BATTLE, toNextUnit},
};

// The victory banner has had its time: the next key puts it away.
bool victoryWaits() { return battleWon() && !afterVictory && victorySeconds >= VICTORY_BANNER_SECONDS; }

// ---- Who may command ----

bool mayCommand(CommandSource source) {
    return personMayCommand() == (source == FROM_PERSON);
}

// A person's command that reaches the battle: the log the computer's turn
// opened has been read.
void personActs(CommandSource source) {
    if (source == FROM_PERSON) logAfterComputer = false;
}

// ---- The walk a click on a square in reach sets going ----

std::vector<std::pair<int, int>> walk;   // squares still to step onto, in order
const Unit* walker = nullptr;

void stopWalking() {
    walk.clear();
    walker = nullptr;
}

// One arrow from the cursor toward the square, rows first.
int arrowToward(int row, int col) {
    if (cursorRow != row) return cursorRow > row ? KEY_UP : KEY_DOWN;
    return cursorCol > col ? KEY_LEFT : KEY_RIGHT;
}

// The keys of each step, as a player presses them: the arrow onto the next
// square from the unit's own, Insert, and after the glide the next. A cursor
// left on another neighbour comes back first; one further off (backing out
// of aiming can leave it there) only Home and the Move entry bring back.
void walkOn() {
    for (int keys = 0; keys < 8 && !walk.empty(); keys++) {
        if (moveAnimating) return;
        if (!choosingMove || selectedUnit != walker || battleWon()) break;
        const Unit& unit = *walker;
        auto [row, col] = walk.front();
        if (unit.row == row && unit.col == col) {
            walk.erase(walk.begin());
            continue;
        }
        if (std::abs(unit.row - row) + std::abs(unit.col - col) != 1 || battleMap[row][col].occupant != -1) break;
        const int distance = std::abs(cursorRow - unit.row) + std::abs(cursorCol - unit.col);
        if (cursorRow == row && cursorCol == col) {
            press(moveTargetValid ? KEY_INSERT : arrowToward(unit.row, unit.col));
        } else if (distance == 0) {
            press(arrowToward(row, col));
        } else if (distance == 1) {
            press(arrowToward(unit.row, unit.col));
        } else {
            press(KEY_HOME);
            press(KEY_INSERT);
        }
    }
    if (!moveAnimating) stopWalking();
}

// ---- What a click stands for ----

// Browsing: the arrows onto the square (off it and back, when the cursor is
// there without having selected its unit: only a cursor move selects), then
// Insert, which opens the menu of a unit of the player that may act. Should
// the first arrow hand the turn over, the click ends there.
void openAt(int row, int col) {
    const int player = currentPlayer;
    auto turnPassed = [player] { return currentPlayer != player; };
    if (cursorRow == row && cursorCol == col && !(cursorOnUnit && selectedUnit->row == row && selectedUnit->col == col)) {
        press(cursorRow > 0 ? KEY_UP : KEY_DOWN);
        if (turnPassed()) return;
    }
    for (int keys = 0; keys < 2 * MAP_LIMIT && (cursorRow != row || cursorCol != col); keys++) {
        press(arrowToward(row, col));
        if (turnPassed()) return;
    }
    press(KEY_INSERT);
}

// Aiming: inside the reach, the arrows that keep the cursor in the diamond
// and Insert, which strikes a unit there; outside it, nothing.
void aimAt(int row, int col) {
    const Unit& unit = *selectedUnit;
    auto inside = [&unit](int r, int c) { return std::abs(r - unit.row) + std::abs(c - unit.col) <= unit.attackRange; };
    if (!inside(row, col)) return;
    for (int keys = 0; keys < 2 * MAP_LIMIT && (cursorRow != row || cursorCol != col); keys++) {
        int rowStep = row > cursorRow ? 1 : -1;
        if (cursorRow != row && inside(cursorRow + rowStep, cursorCol))
            press(rowStep > 0 ? KEY_DOWN : KEY_UP);
        else
            press(col > cursorCol ? KEY_RIGHT : KEY_LEFT);
    }
    press(KEY_INSERT);
}

void clickSquare(int row, int col) {
    if (row < 0 || row >= mapRows || col < 0 || col >= mapCols) return;
    if (choosingMove) {
        static bool reach[MAP_LIMIT][MAP_LIMIT];
        moveReach(*selectedUnit, reach);
        if (!reach[row][col]) return;
        walk = cheapestPath(*selectedUnit, row, col);
        walker = selectedUnit;
        walkOn();
    } else if (choosingTarget) {
        aimAt(row, col);
    } else {
        if (selectedUnit->menuOpen) press(KEY_HOME);   // a click elsewhere closes the menu first
        openAt(row, col);
    }
}

// The arrows round to the entry, the shorter way, and Insert; from aiming or
// stepping, Home first goes back to the menu.
void clickEntry(int entry) {
    if (entry < 1 || entry > 4 || !selectedUnit->menuOpen) return;
    if (choosingMove || choosingTarget) press(KEY_HOME);
    for (int keys = 0; keys < 4 && menuItem != entry; keys++)
        press((entry - menuItem + 4) % 4 <= 2 ? KEY_DOWN : KEY_UP);
    press(KEY_INSERT);
}

// Every click puts away a victory banner that has had its time, and does
// nothing else then. While a unit glides or a blow plays a left click does
// nothing, as the keys then do; a right click is Home, which stops a glide.
void click(const Command& command) {
    if (battleCommandsTo) return battleCommandsTo(command);
    if (command.source == FROM_PERSON && putVictoryAway()) return;
    if (!mayCommand(command.source) || battleWon()) return;
    personActs(command.source);
    if (command.kind == CMD_BACK) {
        stopWalking();
        press(KEY_HOME);
        return;
    }
    if (moveAnimating || attackAnimating) return;
    stopWalking();
    if (command.kind == CMD_CLICK_ENTRY)
        clickEntry(command.code);
    else
        clickSquare(command.row, command.col);
}

// ---- Keys ----

// Insert and Home are down and have not been let go since they last acted:
// the window hears a held key as presses without releases in between, and a
// held Insert or Home acts once, while a held arrow goes on moving the cursor.
bool insertHeld = false, homeHeld = false;

bool* heldFlag(int key) {
    return key == KEY_INSERT ? &insertHeld : key == KEY_HOME ? &homeHeld : nullptr;
}

// A person's key first puts away a victory banner that has had its time.
// F1 and F2 switch their HUD lines whoever has the turn; as special keys
// they then reach the rules like any other. A key that reaches the rules
// hands the cursor back from the pointer and ends a walk.
void specialKey(const Command& command) {
    const int key = command.code;
    if (command.source == FROM_PERSON) {
        if (bool* held = heldFlag(key)) {
            if (*held) return;
            *held = true;
        }
        if (!battleCommandsTo && putVictoryAway()) return;
        if (key == KEY_F1) showRunTime = !showRunTime;
        if (key == KEY_F2) showFps = !showFps;
        if (battleCommandsTo) return battleCommandsTo(command);
    }
    if (!mayCommand(command.source)) {
        requestRedisplay();
        return;
    }
    if (command.source == FROM_PERSON) {
        hoverRow = hoverCol = -1;
        stopWalking();
    }
    personActs(command.source);
    press(key);
}

// The quit keys quit at any moment; after the victory banner's time any
// other key first puts it away; after that Enter starts a new battle, the
// camera going home.
void characterKey(const Command& command) {
    const unsigned char key = static_cast<unsigned char>(command.code);
    const bool quits = key == KEY_ESCAPE || key == 'q' || key == 'Q';
    if (battleCommandsTo && !quits && (isBattleKey(key) || victoryWaits())) return battleCommandsTo(command);
    if (command.source == FROM_PERSON && !quits && putVictoryAway()) return;
    if (key == KEY_ENTER && afterVictory) {
        if (!mayCommand(command.source)) return;
        personActs(command.source);
        startNewBattle();
        startingView();
        return;
    }
    for (const CharacterKey& entry : CHARACTER_KEYS) {
        if (entry.key != key) continue;
        if (entry.role == BATTLE) {
            if (!mayCommand(command.source)) return;
            stopWalking();
            personActs(command.source);
        }
        entry.act(key);
        return;
    }
}

// The computer's key that ended its turn handed the board to a person: the
// cursor goes to the person's first unit (the camera goes back to the
// person's view by itself, app/camera_follow.h), and the log opens on what
// the computer did.
void comeHomeAfterComputer() {
    if (choosingHeroes || battleWon() || !personMayCommand()) return;
    cursorToFirstUnit(activeSide());
    logAfterComputer = true;
}

}  // namespace

bool isBattleKey(unsigned char key) {
    if (key == KEY_ENTER) return true;
    for (const CharacterKey& entry : CHARACTER_KEYS)
        if (entry.key == key) return entry.role == BATTLE;
    return false;
}

bool personMayCommand() {
    if (battleWon()) return commander[1] == BY_PERSON || commander[2] == BY_PERSON;
    return commander[activeSide()] == BY_PERSON;
}

void dispatch(const Command& command) {
    if (commandWatcher) commandWatcher(command);
    const bool computersTurn = command.source == FROM_COMPUTER && !personMayCommand();
    switch (command.kind) {
        case CMD_KEY: characterKey(command); break;
        case CMD_KEY_UP:
            heldDown[static_cast<unsigned char>(command.code)] = false;
            releaseCameraKey(static_cast<unsigned char>(command.code));
            break;
        case CMD_SPECIAL: specialKey(command); break;
        case CMD_SPECIAL_UP:
            if (bool* held = heldFlag(command.code)) *held = false;
            break;
        case CMD_POINT:
            hoverRow = command.row;
            hoverCol = hoverRow < 0 ? -1 : command.col;
            requestRedisplay();
            break;
        case CMD_CLICK:
        case CMD_CLICK_ENTRY:
        case CMD_BACK: click(command); break;
        case CMD_ZOOM: zoomCamera(command.code); break;
        case CMD_TURN: turnCamera(command.dx, command.dy); break;
        case CMD_CAMERA_MODE: chooseCameraMode(command.code); break;
    }
    if (computersTurn) comeHomeAfterComputer();
    // What the next frame would settle before the battle moves on, settled at
    // once: then it is the same however many ticks run before that frame.
    if (choosingHeroes && selectedUnit->menuOpen) checkHeroChoice();
    keepLooksApart();
}

void inputTick() {
    if (!walk.empty()) walkOn();
}

void resetInput() {
    insertHeld = homeHeld = false;
    std::fill(std::begin(heldDown), std::end(heldDown), false);
    stopWalking();
}
