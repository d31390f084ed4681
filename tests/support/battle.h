// tests/support/battle.h — small battles for the tests: fixture maps, hand-placed units, a clean slate
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string>
#include <gtest/gtest.h>

#include "game/battle_map.h"
#include "game/unit.h"

// Every global of the model, the rules, the computer, the kept battle and the
// view state back to its start value; units made by earlier tests are freed;
// the generator is seeded with 1.
void resetBattleState();

// Runs fn in a fresh temporary folder that holds text as WorldDesc.txt, or no
// such file when text is empty; the working directory is then left as it was.
void inMapFolder(const std::string& text, const std::function<void()>& fn);

// What a test puts where the game reads a file: text, nothing, or something
// that is no file (a pipe with no writer, a folder, a link to /dev/zero);
// HUGE is the text made a sparse file of hugeBytes.
enum FileKind { TEXT, NO_FILE, FOLDER, PIPE, DEVICE, HUGE };
void makeFileAt(const std::string& path, FileKind kind, const std::string& text = "", uintmax_t hugeBytes = 0);

// Both map passes on the text, in such a folder (their console output is swallowed).
void loadMap(const std::string& text);

// A map of the given size, every square the given terrain.
void loadUniformMap(int rows, int cols, int terrain);

void registerUnit(Archer* u);   // into its class list and allUnits
void registerUnit(Fighter* u);
void registerUnit(Flier* u);
void registerUnit(Healer* u);
void registerUnit(Mage* u);

// Puts a unit of class T for player on square (row, col) the way start-up
// places one: in the class list and allUnits, on the square's centre, as
// the square's occupant, facing 0 for player 1 and -180 for player 2.
template <class T> T* placeUnit(int player, int row, int col) {
    MapCell& cell = battleMap[row][col];
    T* unit = new T(cell.centre.x, cell.centre.y, cell.centre.z, player);
    unit->row = row;
    unit->col = col;
    unit->facing = player == 1 ? 0.0f : -180.0f;
    cell.occupant = unit->id;
    registerUnit(unit);
    return unit;
}

Unit* placeUnitOfClass(int unitClass, int player, int row, int col);   // CLASS_ARCHER … CLASS_MAGE

// A frame as far as the rules see it: the per-frame update, the swoop's bolt
// counting its frames, the hero check.
void drawnFrame();

// Seeds the generator so that the hit roll, the first draw of an attack, falls in [lo, hi].
void seedForRoll(int lo, int hi);

// Runs fn with standard output captured and returns what it printed.
template <class F> std::string captureOutput(F fn) {
    std::cout.flush();
    fflush(stdout);
    testing::internal::CaptureStdout();
    fn();
    std::cout.flush();
    fflush(stdout);
    return testing::internal::GetCapturedStdout();
}
