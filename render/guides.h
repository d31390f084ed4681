// render/guides.h — what the frame adds to guide a player: the squares a
// unit can move to, HP bars and the numbers a blow leaves, the odds panel,
// the line naming whose turn it is or who won, the help panel
//
// The figures come from rules/feedback.h; this only draws them. With
// KESTRAVA_DEBUG_HUD set, the odds panel, the top line, the numbers of a
// unit pointed at and where the camera rests are also printed on the
// console each time their text changes ("HUD odds: …", "HUD top: …",
// "HUD pointed: …", "HUD camera: eye X Y Z pitch P yaw Y").
#pragma once
struct Unit;

// Each army's colour, for the top line and the HP bars; index 0 unused.
extern const float PLAYER_COLOURS[3][3];

// In the 3D pass of drawScene, with the camera's matrices in force.
void drawHoverMark();       // the outline of the square the pointer points at
void drawMoveReach();       // while a step is chosen: every square in reach, tinted once, and the way to a pointed one
void drawDangerTint();      // z: every square the enemies in sight could strike next turn
void placeUnitMarks();      // where this frame's HP bars and rising numbers go on the screen

// In drawScene's overlay pass: beside the status panel while a blow is aimed
// (at the unit pointed at, or else at the cursor's), as deep as the panel's
// numbers, so that a turn banner covers it.
void drawOddsPanel();
// Over the status panel, the side, class and heroship of the unit whose
// numbers it shows ("YOUR FIGHTER", "ENEMY MAGE, HERO"); null when none.
// The unit pointed at, if any, is what KESTRAVA_DEBUG_HUD reports.
void drawStatusName(const Unit* shown, const Unit* pointed);

// Drawn on the board, with a ring in its army's colour and an HP bar: a
// living unit in sight, and after the battle every living unit (the fog is
// lifted); never a fallen one, the fallen hero included.
bool standsOnBoard(const Unit& unit);

// Over the finished frame, after the HUD lines: the HP bars, the heroes'
// crowns and the rising numbers placed above, the line naming whose turn it
// is or who won, the END TURN, UNDO and HELP buttons, and the lines saying why
// a step or an undo is refused and when a square is in enemy reach (none of
// them while a banner covers the window),
// the battle speed at the top left while it is not 1, "H: HELP" over the
// first turn's banner, a line saying the battle could not be kept while it
// is due, and the help panel over everything.
void drawGuides();
