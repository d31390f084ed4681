// save/battle_save.h — the battle kept on disk after every action, and taken up again with --resume
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

#include "game/unit.h"
#include "rules/combat.h"

extern const char* const SAVE_FILE;   // kestrava-save.txt, in the run folder
extern int keptRevision;              // battleRevision when the battle was last written

// A battle at rest (no attack playing, no unit gliding, heroes chosen), with
// everything that decides what the same keys do next: the map, every unit,
// the turn, the banners, the looks, the cursor and what it is choosing, the
// generator, and what earlier actions leave behind for later ones (the
// Healer's timer, the lunge's counters, the ages of the volley's trail).
struct SavedBattle {
    int rows = 0, cols = 0;
    std::vector<std::string> terrain;   // one string of digits per row
    int   currentPlayer = 1;
    bool  p1BeginTurn = false, p1EndTurn = false, p2BeginTurn = false, p2EndTurn = false;
    bool  p1Wins = false, p2Wins = false;
    float bannerSeconds = 0;
    int   p1Material = 0, p2Material = 0, skyChoice = 0;
    int   cursorRow = 0, cursorCol = 0, cursorUnitId = 0, menuItem = 1;
    bool  cursorOnUnit = false, missShown = false;
    bool  choosingMove = false, moveTargetValid = false, choosingTarget = false, attackTargetValid = false;
    bool  healChosen = false, specialChosen = false;
    int   actionCounter = 0;
    float lungeBackTime = 0, lungeTravelled = 0;
    float trailAge[VOLLEY_TRAIL] = {};
    unsigned randomState = 1;
    int   unitCount = 0;
    int   selected = -1, target = -1;   // unit ids; -1 while still on start-up's placeholders
    std::vector<Unit> units;            // in id order; statistics come from the class
};

SavedBattle captureBattle();
void restoreBattle(const SavedBattle& battle);   // into a game that has no units yet

void writeSave(const SavedBattle& battle, std::ostream& out);
// "" for a sound battle, else the first problem, with its line number where it has one.
std::string readSave(std::istream& in, SavedBattle& battle);

// Writes a temporary file beside path, syncs it and renames it over path, so
// that a crash leaves the old save or the new one, never a torn one. A failure
// is told on standard error; play goes on.
void keepBattle(const char* path);
void keepBattleIfChanged();   // once per frame: SAVE_FILE, when the battle changed and rests

// Takes up the battle kept in path: true, with the line saying whose turn it
// is; or false, with the line naming the file and its first problem, and the
// game left untouched. A finished battle is refused.
bool resumeBattle(const char* path, std::string& line);
