// render/captions.h — the words the frame writes: the top line, a unit's
// name, the battle log's lines and the band of hints
//
// Against the computer they speak to the person ("YOUR TURN", "ENEMY MAGE");
// at one keyboard, where the keys change hands, they name players by number.
// No GL here.
#pragma once
#include <string>
#include <vector>
struct LogEvent;
struct Unit;

extern const char* const CLASS_NAMES[6];   // "ARCHER" … "MAGE" by class; index 0 empty

// Whose turn it is, who chooses a hero, or who won; `player` is the one named,
// whose colour the line takes.
std::string topLineText(int& player);

// "YOUR FIGHTER", "ENEMY MAGE, HERO"; after the battle "PLAYER 2'S FIGHTER".
std::string unitName(int player, int unitClass, bool hero);

// The event in words, and the player whose colour it is written in: the
// side that acted, the side of the fallen, the side whose turn begins.
std::string logLine(const LogEvent& event, int& player);

// The parts of the band's one line, in the order they stand.
enum BandTone { TONE_INFO, TONE_NOTICE, TONE_DANGER, TONE_TROUBLE };
struct BandPiece {
    std::string text;
    BandTone tone;
};
// The replay's state, the battle speed while it is not 1 ("SPEED 4X"), why
// a key did nothing or why the lit square is no step, whether the square
// aimed from or stepped to is in the enemies' reach, why the battle could
// not be kept, and after the victory what the keys do next.
std::vector<BandPiece> hintBand();

// The hit points a panel shows: none below 0, whatever the last blow left.
int shownHp(const Unit& unit);
