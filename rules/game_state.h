// rules/game_state.h — phases, turns, banners and the per-frame update
#pragma once
#include <cstdint>

extern int  currentPlayer;            // whose turn it is: 1 or 2
extern bool choosingHeroes;           // the hero choice is under way
extern bool p1ChoosingHero, p2ChoosingHero;
extern int  materialBrowse;           // preset shown on the choosing player's army (16 at start)
extern int  p1Material, p2Material;   // presets the armies keep once their heroes are chosen

// Each flag shows the banner image of the same name.
extern bool bannerP1BeginTurn, bannerP1EndTurn, bannerP2BeginTurn, bannerP2EndTurn;
extern bool bannerP1Wins, bannerP2Wins;   // the game is over; never cleared
extern float bannerSeconds;               // once-a-second ticks the current turn banner has been up
extern float frameSeconds;                // seconds between the last two drawn frames
extern int64_t battleTick;              // ticks of 1/60 s the battle has run: since start-up, or on from a kept battle
extern int   battleRevision;              // bumped when an action, a step, a turn or the hero choice is complete
extern bool  firstTurn;                   // the battle's first turn is under way: its banner points to the help
extern bool  helpShown;                   // h: the panel of keys and how a turn goes is up
extern float victorySeconds;              // seconds since a hero fell
extern bool  afterVictory;                // the victory banner is put away: the board shows who won
extern int   battlesStarted;              // new battles begun after the first, by Enter after a victory
extern bool  turnHandOverDue;             // t was pressed while a blow played: the turn passes when it ends
// This screen shows a battle another process runs (a joined game, app/net_view.h):
// the frame's own settling of the hero choice and the looks is that process's.
extern bool  battleRunElsewhere;

// No battle comes near this many ticks (580 years of play at 60 a second):
// a kept battle or a replay beyond it is refused, and play from it cannot
// reach where the counter would overflow.
constexpr int64_t MOST_BATTLE_TICKS = int64_t{1} << 40;
// The victory banner comes up on screen this long after the hero fell, so
// that the killing blow's number and the fall are seen first; the battle is
// won at the blow all the same.
constexpr float VICTORY_BANNER_DELAY = 1.6f;
constexpr float VICTORY_BANNER_SECONDS = 3;   // then keys do not put it away before it has been up this long
constexpr int   TURN_POINTS = 5;              // movement points each unit of the side starts its turn with

void idleUpdate();       // the idle callback: sight, glide, attack, idle animations, rising numbers
void beginTurn();        // fresh actions and TURN_POINTS movement points for currentPlayer's units
void checkEndOfTurn();   // after every special key: pass the turn when nobody may act
void checkHeroChoice();  // once per drawn frame: confirm the chooser's hero, or settle a battle with an empty side
void keepLooksApart();   // once per drawn frame: player 2 browses past the look player 1 chose
void toggleTurn();       // stand down, clear the turn banner, swap currentPlayer and the side shown
// The t key: toggleTurn, or once the blow under way has played out; nothing
// once a hero has fallen, since no turn is left to hand over.
void pressTurnKey();
void updateBanners();    // once per drawn frame: move the turn banners on after 3 ticks
void resetTurns();       // a battle before its hero choice: player 1 chooses first, no banner, no victory
void endTurn();          // the e key: the current player's units give up their actions and the turn passes
bool battleWon();        // a hero has fallen: the battle keys do nothing more
// The side whose keys command the battle now: the chooser during the hero
// choice (a t then leaves currentPlayer with the other side, who cannot
// pick), else currentPlayer.
int activeSide();
bool bannerUp();         // a turn banner, or the victory banner not yet put away: it covers the window
bool bannerShown();      // the same as the screen shows it: the victory banner once VICTORY_BANNER_DELAY has passed
// A key a person pressed once the victory banner has had its time: it puts
// the banner away and does nothing else. False for every other key.
bool putVictoryAway();
// Enter after the victory: the same armies on the same map, placed afresh
// with a new seed (KESTRAVA_SEED's again when it is set), from the hero
// choice on. The camera is the window's to send home.
void startNewBattle();
