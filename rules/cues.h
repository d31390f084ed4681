// rules/cues.h — what the battle did that a player would hear, for the window to play
//
// The rules note each sound-worthy moment as it happens; the window's sound
// takes the list once a frame and empties it. Noting changes nothing else.
#pragma once
#include <vector>
#include "game/vector.h"

enum Cue {
    CUE_STEP,          // a unit sets off onto a square; detail: the square's terrain code
    CUE_BOWSHOT,       // the Archer's lead arrow leaves the bow
    CUE_VOLLEY,        // the Archer's trail of arrows is loosed
    CUE_LUNGE,         // the Fighter lunges
    CUE_SWOOP,         // the Flier swoops
    CUE_HEAL,          // the Healer's bolt; detail: 1 healing, 0 attacking
    CUE_SPELL,         // the Mage's bolt sets off
    CUE_EXPLOSION,     // each burst of the Mage's explosion
    CUE_HIT,           // a blow lands (the Mage's two strikes are one)
    CUE_MISS,          // a blow has missed
    CUE_FALL,          // a unit falls
    CUE_DEFEND,        // a unit defends
    CUE_BANNER,        // a turn banner goes up
    CUE_VICTORY,       // the victory banner goes up
    CUE_MENU_MOVE,     // the menu's highlight moves
    CUE_MENU_CHOOSE,   // a menu opens or an entry is taken
};

struct CueEvent {
    Cue    cue;
    Vector where;   // world position; the banners and the menu are heard from the screen
    int    detail;
};

// Never more than this many wait: with nobody taking them (no window, a
// benchmark, a test) the rest are dropped.
constexpr int PENDING_CUES_LIMIT = 64;
extern std::vector<CueEvent> pendingCues;   // noted since the window last took them, oldest first

void noteCue(Cue cue, const Vector& where = Vector(), int detail = 0);
