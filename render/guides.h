// render/guides.h — what the frame adds to guide a player: the squares a
// unit can move to, HP bars and the numbers a blow leaves, the odds panel,
// the line naming whose turn it is or who won, the band of hints, the
// battle log, the help panel
//
// The figures come from rules/feedback.h and rules/battle_log.h, the words
// from render/captions.h, the places from render/layout.h; this only draws
// them. With KESTRAVA_DEBUG_HUD set, the odds panel, the top line, the band,
// the numbers of a unit pointed at and where the camera rests are also
// printed on the console each time their text changes ("HUD odds: …",
// "HUD top: …", "HUD band: …", "HUD pointed: …", "HUD camera: eye X Y Z
// pitch P yaw Y"), and each new event of the log ("HUD log: …").
#pragma once
struct ScreenBox;
struct Unit;

// Each army's colour, for the top line and the HP bars; index 0 unused.
extern const float PLAYER_COLOURS[3][3];

// In the 3D pass of drawScene, with the camera's matrices in force.
void drawHoverMark();       // the outline of the square the pointer points at
void drawMoveReach();       // while a step is chosen: every square in reach, tinted once, and the way to a pointed one
void drawDangerTint();      // z: every square the enemies in sight could strike next turn
void placeUnitMarks();      // where this frame's HP bars and blows' numbers go on the screen

// In drawScene's overlay pass, before the banners, which cover them: beside
// the status panel while a blow is aimed (at the unit pointed at, or else at
// the cursor's), its odds.
void drawOddsPanel();
// Over the status panel's picture, the side, class and heroship of the unit
// whose numbers it shows ("YOUR FIGHTER", "ENEMY MAGE, HERO"); null when none.
// The unit pointed at, if any, is what KESTRAVA_DEBUG_HUD reports.
void drawStatusName(const Unit* shown, const Unit* pointed);
// The status panel's numbers are in labelFont while the widest of them fits
// the panel's picture in this window, else in the largest smaller font that does.
void* statusNumbersFont();

// Drawn on the board, with a ring in its army's colour and an HP bar: a
// living unit in sight, and after the battle every living unit (the fog is
// lifted); never a fallen one, the fallen hero included.
bool standsOnBoard(const Unit& unit);

// Over the finished frame, after the HUD lines: the HP bars and the blows'
// numbers placed above, the line naming whose turn it is or who won, the
// buttons that can act and the battle log while it is up (none of them
// while a banner covers the window); the band of hints, "H: HELP" over the
// first turn's banner, and the help panel over everything.
void drawGuides();

// The help panel's plate in this window (pixels, as render/layout.h counts
// them), drawn over everything: its lines in the largest font that holds
// them all inside it.
ScreenBox helpPanelBox();
