// save/battle_save.h — the battle kept on disk after every action, and taken up again with --resume
#pragma once
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "game/unit.h"
#include "rules/combat.h"

extern const char* const SAVE_FILE;   // kestrava-save.txt, in the run folder
// A replay's battle, kept apart so that watching one leaves the folder's own battle as it was.
extern const char* const REPLAY_SAVE_FILE;
extern const char* keptFile;          // where the battle is kept: SAVE_FILE, or REPLAY_SAVE_FILE for a replay
extern int keptRevision;              // battleRevision when the battle was last written
extern bool keepingBattle;            // false when another running game keeps the battle of this folder
// Why the battle could not be kept, on screen while keepTroubleSeconds (counted
// down by the frames) is above 0.
extern std::string keepTrouble;
extern float keepTroubleSeconds;
constexpr float KEEP_TROUBLE_SECONDS = 6;

// A battle at rest (no attack playing, no unit gliding, heroes chosen), with
// everything that decides what the same keys do next: the map, every unit,
// the turn, the banners, the looks, the cursor and what it is choosing, the
// generator, and what earlier actions leave behind for later ones (the
// Healer's timer, the lunge's counters, the ages of the volley's trail).
struct SavedBattle {
    int rows = 0, cols = 0;
    std::vector<std::string> terrain;   // one string of digits per row
    int   currentPlayer = 1;
    int64_t tick = 0;                   // battleTick
    bool  p1BeginTurn = false, p1EndTurn = false, p2BeginTurn = false, p2EndTurn = false;
    bool  p1Wins = false, p2Wins = false;
    float bannerSeconds = 0;
    bool  helpHint = false;             // the first turn's banner still points to the help
    int   p1Material = 0, p2Material = 0, skyChoice = 0;
    int   cursorRow = 0, cursorCol = 0, cursorUnitId = 0, menuItem = 1;
    bool  cursorOnUnit = false, missShown = false;
    bool  choosingMove = false, moveTargetValid = false, choosingTarget = false, attackTargetValid = false;
    bool  healChosen = false, specialChosen = false;
    int   actionCounter = 0;
    float lungeBackTime = 0, lungeTravelled = 0;
    float trailAge[VOLLEY_TRAIL] = {};
    unsigned randomState = 1, effectState = 1;   // the battle's generator and the effects'
    int   unitCount = 0;
    int   selected = -1, target = -1;   // unit ids; -1 while still on start-up's placeholders
    std::vector<Unit> units;            // in id order; statistics come from the class
};

SavedBattle captureBattle();
void restoreBattle(const SavedBattle& battle);   // into a game that has no units yet

void writeSave(const SavedBattle& battle, std::ostream& out);
// "" for a battle the game could have come to, else the first problem, with
// its line number where it has one. Reads no further than that problem.
std::string readSave(std::istream& in, SavedBattle& battle);
// readSave of the file at path: only a regular file, and none larger than
// any battle's save could be.
std::string readSaveFile(const char* path, SavedBattle& battle);

// content written to a new file beside path, under a name no other writer
// uses, synced and renamed over path; then the folder synced, so that the
// rename itself outlasts a crash. False, with errno, on any failure.
bool replaceWhole(const std::string& path, const std::string& content);

// At start: an advisory lock on the folder that holds path, held while the
// game runs. False, with the line to print, when another running game holds
// it: this game then keeps nothing, rather than overwrite that one's battle.
bool claimSaveFolder(const char* path, std::string& line);

// Writes a temporary file of its own name beside path, syncs it, renames it
// over path and syncs the folder, so that a crash leaves the old save or the
// new one, never a torn one, and two writers never share a temporary file.
// A failure is told once, on standard error and on screen; play goes on, and
// it is told again only after keeping has worked in between.
void keepBattle(const char* path);
void keepBattleIfChanged();   // once per tick: keptFile, when the battle changed and rests

// Takes up the battle kept in path: true, with the line saying whose turn it
// is; or false, with the line naming the file and its first problem, and the
// game left untouched. A finished battle is refused.
bool resumeBattle(const char* path, std::string& line);
