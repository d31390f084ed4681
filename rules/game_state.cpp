// rules/game_state.cpp — phases, turns, banners and the per-frame update
#include "rules/game_state.h"

#include <cstdio>
#include <vector>

#include "game/startup.h"
#include "game/unit.h"
#include "rules/battle_log.h"
#include "rules/behaviour.h"
#include "rules/combat.h"
#include "rules/cues.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/movement.h"
#include "rules/takeback.h"
#include "rules/window_link.h"

int  currentPlayer = 1;
bool choosingHeroes = true;
bool p1ChoosingHero = true, p2ChoosingHero = false;
int  materialBrowse = 16;
int  p1Material = 0, p2Material = 0;

bool bannerP1BeginTurn = false, bannerP1EndTurn = false;
bool bannerP2BeginTurn = false, bannerP2EndTurn = false;
bool bannerP1Wins = false, bannerP2Wins = false;
float bannerSeconds = 0;
float frameSeconds = 0;
int64_t battleTick = 0;
int battleRevision = 0;
bool  firstTurn = false;
bool  helpShown = false;
float victorySeconds = 0;
bool  afterVictory = false;
int   battlesStarted = 0;
bool  turnHandOverDue = false;
bool  battleRunElsewhere = false;

namespace {

// No turn banner, and the banner timer back at its start.
void clearTurnBanners() {
    bannerP1BeginTurn = bannerP1EndTurn = bannerP2BeginTurn = bannerP2EndTurn = false;
    bannerSeconds = 0;
}

// One turn banner at a time, shown from its start. The drawing shows the
// last set flag whoever it names, so a banner left over from a quick hero
// choice or a quick turn would name the wrong player.
void raiseTurnBanner(bool& banner) {
    clearTurnBanners();
    banner = true;
    noteCue(CUE_BANNER);
}

// A side with no army can never choose its hero, so the other side wins at
// once; with both sides empty there is nobody to choose or to win, and the
// choice simply ends. False while both sides have units.
bool settleMissingArmy() {
    bool hasArmy[3] = {false, false, false};
    for (const Unit* unit : allUnits) hasArmy[unit->player] = true;
    if (hasArmy[1] && hasArmy[2]) return false;
    choosingHeroes = p1ChoosingHero = p2ChoosingHero = false;
    bannerP1Wins = hasArmy[1];
    bannerP2Wins = hasArmy[2];
    if (battleWon()) noteCue(CUE_VICTORY);
    return true;
}

template <class T> void animateVisible(const std::vector<T*>& list) {
    for (T* unit : list)
        if (unit->visible) unit->animate();
}

}  // namespace

void idleUpdate() {
    updateVisibility(currentPlayer);
    watchSightings();
    if (moveAnimating) advanceStep();
    if (attackAnimating) attackStep();
    if (turnHandOverDue && !attackAnimating) {
        turnHandOverDue = false;
        if (!battleWon()) toggleTurn();
    }
    animateVisible(p1Archers);
    animateVisible(p1Fighters);
    animateVisible(p1Fliers);
    animateVisible(p1Healers);
    animateVisible(p1Mages);
    animateVisible(p2Archers);
    animateVisible(p2Fighters);
    animateVisible(p2Fliers);
    animateVisible(p2Healers);
    animateVisible(p2Mages);
    ageFeedback(frameSeconds);
    if (battleWon()) victorySeconds += frameSeconds;
    requestRedisplay();
}

// The fallen never act again: their player gets no action back for them.
void beginTurn() {
    for (Unit* unit : allUnits) {
        unit->canAct = unit->player == currentPlayer && !unit->dead;
        if (unit->canAct) unit->movePoints = TURN_POINTS;
    }
    if (currentPlayer == 1) raiseTurnBanner(bannerP2EndTurn);
    if (currentPlayer == 2) raiseTurnBanner(bannerP1EndTurn);
    requestRedisplay();
}

// A player who owns no unit at all keeps the turn: the walk finds nobody.
void checkEndOfTurn() {
    bool ableFound = true;
    for (Unit* unit : allUnits) {
        if (unit->player != currentPlayer) continue;
        ableFound = unit->canAct;
        if (ableFound) break;
    }
    if (ableFound) return;
    toggleTurn();
    cursorOnUnit = false;
    beginTurn();
}

// The menu opens during the choice only on the chooser's own units, so the
// open menu names the chooser's hero.
void checkHeroChoice() {
    if (battleRunElsewhere || !choosingHeroes || settleMissingArmy() || !selectedUnit->menuOpen) return;
    if (p1ChoosingHero) {
        std::printf("p1 hero selected!\n");
        selectedUnit->hero = true;
        p1Material = materialBrowse;
        materialBrowse = 1;
        raiseTurnBanner(bannerP2BeginTurn);
        p1ChoosingHero = false;
        showSide(2);
        currentPlayer = 2;
        p2ChoosingHero = true;
        onSpecialKey(KEY_HOME, 0, 0);
        cursorToFirstUnit(2);
    } else if (p2ChoosingHero) {
        std::printf("p2 hero selected!\n");
        selectedUnit->hero = true;
        p2Material = materialBrowse;
        p1ChoosingHero = false;
        showSide(1);
        currentPlayer = 1;
        p2ChoosingHero = false;
        choosingHeroes = false;
        battleRevision++;
        onSpecialKey(KEY_HOME, 0, 0);
        cursorToFirstUnit(1);
        raiseTurnBanner(bannerP1BeginTurn);
        firstTurn = true;
    }
}

void keepLooksApart() {
    if (!battleRunElsewhere && choosingHeroes && materialBrowse == p1Material) ++materialBrowse;
}

// The keys change hands with nothing of the old player's under way, and
// without a turn banner that no longer names the player whose turn it is.
void toggleTurn() {
    standDown();
    forgetSteps();
    clearTurnBanners();
    firstTurn = false;
    currentPlayer = currentPlayer == 1 ? 2 : 1;
    showSide(currentPlayer);
    battleRevision++;
    noteLog({LOG_TURN, {currentPlayer, 0, false}});
}

// A blow that has been rolled plays out under its own player; however often t
// is pressed meanwhile, the turn passes once when it ends.
void pressTurnKey() {
    if (battleWon()) return;
    if (attackAnimating) turnHandOverDue = true;
    else toggleTurn();
}

// An end-of-turn banner hands over to the next player's begin-turn banner;
// the victory banners are not part of this and stay up.
void updateBanners() {
    if (bannerSeconds != 3) return;
    if (bannerP1EndTurn) {
        bannerP1EndTurn = false;
        bannerP2BeginTurn = true;
        noteCue(CUE_BANNER);
    } else if (bannerP2EndTurn) {
        bannerP2EndTurn = false;
        bannerP1BeginTurn = true;
        noteCue(CUE_BANNER);
    } else if (bannerP1BeginTurn) {
        bannerP1BeginTurn = false;
    } else if (bannerP2BeginTurn) {
        bannerP2BeginTurn = false;
    }
    bannerSeconds = 0;
}

// Nothing is refreshed for the player who ends: their units keep what they
// had left until their next turn begins. Passing the turn leaves whatever
// is under way (toggleTurn); a blow already rolled plays out first, as for t.
void endTurn() {
    if (choosingHeroes || attackAnimating || battleWon()) return;
    for (Unit* unit : allUnits)
        if (unit->player == currentPlayer) unit->canAct = false;
    checkEndOfTurn();
    requestRedisplay();
}

void resetTurns() {
    currentPlayer = 1;
    choosingHeroes = p1ChoosingHero = true;
    p2ChoosingHero = false;
    materialBrowse = 16;
    p1Material = p2Material = 0;
    clearTurnBanners();
    bannerP1Wins = bannerP2Wins = false;
    firstTurn = helpShown = afterVictory = turnHandOverDue = false;
    victorySeconds = 0;
    forgetSteps();
}

bool battleWon() { return bannerP1Wins || bannerP2Wins; }

int activeSide() {
    if (!choosingHeroes) return currentPlayer;
    return p1ChoosingHero ? 1 : 2;
}

bool bannerUp() {
    bool turnBanner = bannerP1BeginTurn || bannerP1EndTurn || bannerP2BeginTurn || bannerP2EndTurn;
    return turnBanner || (battleWon() && !afterVictory);
}

bool bannerShown() {
    return bannerUp() && (!battleWon() || afterVictory || victorySeconds >= VICTORY_BANNER_DELAY);
}

bool putVictoryAway() {
    if (!battleWon() || afterVictory || victorySeconds < VICTORY_BANNER_DELAY + VICTORY_BANNER_SECONDS) return false;
    afterVictory = true;
    requestRedisplay();
    return true;
}

// A fresh battle: nothing of the last one carries over but the map, the
// army counts and what the players chose to see.
void startNewBattle() {
    replaceArmies();
    resetTurns();
    resetCursor();
    resetCombat();
    battlesStarted++;
    battleRevision++;
    requestRedisplay();
}
