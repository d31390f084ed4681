// app/net_view.h — the battle as one side sees it: what the host sends each side, and how the
// joining side's screen takes it up
//
// A side's view holds its own units whole and, of the enemy, only the units
// in its sight (as the rules' sight shows them to that side's player in
// hot-seat, and a falling one while it falls there); the phase, the banners
// and the turn; the cursor and the menu when they are the side's own, or the
// other side's over squares it sees; a blow under way of a unit it sees, the
// numbers and falls of units it sees, and the sounds it hears. It holds no
// roll not yet made and no state of the generators. The view is sent in
// parts, each only when it changed since the last the side was sent: the
// phase, the cursor and menu, the blow, the numbers and the notice, and each unit on
// its own; a unit gone from sight is named as gone.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "game/unit.h"
#include "rules/cues.h"
#include "rules/feedback.h"

// A unit as a side sees it.
struct UnitView {
    int id = 0, unitClass = CLASS_ARCHER, player = 1, row = 0, col = 0;
    Vector position;
    float facing = 0;
    int hp = 0, mp = 0, movePoints = 0;
    bool canAct = false, defending = false, dead = false, hero = false, menuOpen = false;
};

struct BattleView {
    // The phase, the banners and the turn: the same for both sides.
    int  currentPlayer = 1;
    bool choosingHeroes = true, p1ChoosingHero = true, p2ChoosingHero = false;
    int  materialBrowse = 16, p1Material = 0, p2Material = 0;
    bool bannerP1BeginTurn = false, bannerP1EndTurn = false, bannerP2BeginTurn = false, bannerP2EndTurn = false;
    bool bannerP1Wins = false, bannerP2Wins = false;
    float bannerSeconds = 0, victorySeconds = 0;
    bool firstTurn = false, afterVictory = false;
    int  battlesStarted = 0;
    int  waitingFor = 0;        // bit 1 and bit 2: that side's player has dropped or not yet joined
    int  commandsTaken = 0;     // commands of this side's player the host has taken, refused ones too
    // The cursor and the menu: the side's own, or the other side's where it sees them.
    bool cursorShown = true;
    int  cursorRow = 0, cursorCol = 0, cursorUnitId = -1, menuItem = 1;
    bool cursorOnUnit = false, choosingMove = false, moveTargetValid = false, moveAnimating = false;
    bool choosingTarget = false, attackTargetValid = false, healChosen = false, specialChosen = false;
    bool missShown = false;
    int  selected = -1, target = -1;   // unit ids, -1 for none the side sees
    // A blow under way of a unit the side sees.
    bool  attackAnimating = false, attackMissed = false;
    Vector aimPoint, boltPosition;
    bool  boltActive = false;
    int   particleStyle = 0, actionCounter = 0;
    float spellScale = 0;
    int   volleyState = 0, volleyReleased = 0;
    Vector volleyArrow, volleyStart, volleyEnd;
    float volleyFlightTime = 0, volleyFirstAge = 0;
    float lungePhase = 0;
    Vector lungeCurrent;
    int   lungeMode = 0, lungeDrawCount = 0;
    // What the screen tells the player.
    std::vector<FloatingNumber> numbers;
    std::vector<FallingUnit> falls;
    std::string notice;
    float noticeSeconds = 0;
    std::vector<UnitView> units;   // in id order
};

// The view as sent: each part's bytes, and each unit's. The host keeps the
// last it sent each side; the joining side keeps the one it has taken up.
struct ViewParts {
    std::string phase, cursor, blow, told;
    std::map<int, std::string> units;
};

// Whether the side sees the unit now: its own, or in the sight of one of its
// units (rules/movement.h's inSight), as updateVisibility(side) would show it.
bool seenBy(int side, const Unit& unit);
// The battle as the side sees it now, from the game's state.
BattleView captureView(int side);
ViewParts viewParts(const BattleView& view);
// The MSG_VIEW message that takes `before` to `after`, with the cues heard
// since; "" when nothing changed and nothing was heard.
std::string viewMessage(const ViewParts& before, const ViewParts& after, const std::vector<CueEvent>& cues);
// The cues of the battle's list (rules/cues.h) the side hears: a menu's and
// the banners' when it sees the acting unit or the menu is its own, the
// others where it sees the spot they come from.
std::vector<CueEvent> cuesHeardBy(int side, const std::vector<CueEvent>& cues);

// Takes a MSG_VIEW into `parts` and reads the whole view again into `view`,
// appending the cues heard. False, with the parts and view left as they were,
// for anything malformed or out of range, or a unit off the map of
// `rows` × `cols`.
bool takeViewMessage(const std::string& message, int rows, int cols, ViewParts& parts, BattleView& view,
                     std::vector<CueEvent>& cues);

// The joining side's screen: every global the frame reads, set from the view
// (the units kept from view to view, so that their idle animations go on). The
// rules run nowhere here (battleRunElsewhere).
void showView(const BattleView& view, int side);
