// render/captions.cpp — the top line, a unit's name, the log's lines, the band
#include "render/captions.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "game/unit.h"
#include "render/looks.h"
#include "rules/battle_log.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/game_state.h"
#include "save/battle_save.h"

const char* const CLASS_NAMES[6] = {"", "ARCHER", "FIGHTER", "FLIER", "HEALER", "MAGE"};

namespace {

// The side whose player sits before the screen: the person's, when the
// other side is the computer's; else the player whose turn it is (or who chooses).
int viewingSide() { return personSide ? personSide : activeSide(); }

// A unit in the log: the person's own or the enemy's against the computer,
// else by player number, which does not change with the turn.
std::string loggedName(int player, int unitClass, bool hero) {
    std::string side = personSide ? (player == personSide ? "YOUR " : "ENEMY ")
                                  : "PLAYER " + std::to_string(player) + "'S ";
    return side + CLASS_NAMES[unitClass] + (hero ? " (HERO)" : "");
}

std::string turnOf(int player) {
    if (!personSide) return "PLAYER " + std::to_string(player) + "'S TURN";
    return player == personSide ? "YOUR TURN" : "COMPUTER'S TURN";
}

std::string capitals(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

}  // namespace

std::string topLineText(int& player) {
    if (battleWon()) {
        player = bannerP1Wins ? 1 : 2;
        if (personSide) return player == personSide ? "VICTORY" : "DEFEAT";
        return "PLAYER " + std::to_string(player) + " WINS!";
    }
    if (choosingHeroes) {
        player = activeSide();
        if (!personSide) return "PLAYER " + std::to_string(player) + ": CHOOSE YOUR HERO";
        return player == personSide ? "CHOOSE YOUR HERO" : "THE COMPUTER CHOOSES ITS HERO";
    }
    player = currentPlayer;
    return turnOf(player);
}

std::string unitName(int player, int unitClass, bool hero) {
    std::string name = battleWon() ? "PLAYER " + std::to_string(player) + "'S "
                       : player == viewingSide() ? "YOUR " : "ENEMY ";
    return name + CLASS_NAMES[unitClass] + (hero ? ", HERO" : "");
}

std::string logLine(const LogEvent& event, int& player) {
    const LogUnit& actor = event.actor;
    const LogUnit& target = event.target;
    const std::string by = loggedName(actor.player, actor.unitClass, actor.hero);
    const std::string at = loggedName(target.player, target.unitClass, target.hero);
    const char* entry = actor.unitClass == CLASS_MAGE ? "MAGIC" : "SKILLS";
    player = actor.player;
    switch (event.kind) {
        case LOG_HIT: {
            std::string line = by + " HIT " + at + ": " + std::to_string(event.amount) + " DAMAGE";
            if (event.special) line += std::string(", ") + entry;
            if (event.matchup) line += event.matchup > 0 ? ", BONUS DAMAGE" : ", LESS DAMAGE";
            return line;
        }
        case LOG_MISS: return by + " MISSED " + at + (event.special ? std::string(" (") + entry + ")" : "");
        case LOG_HEAL: return by + " HEALED " + at + ": +" + std::to_string(event.amount) + " HP";
        case LOG_DEFEND: return by + " DEFENDED: +" + std::to_string(event.amount) + " HP";
        case LOG_FALL: player = target.player; return at + " FELL";
        case LOG_TURN: return turnOf(actor.player);
    }
    return "";
}

std::vector<BandPiece> hintBand() {
    std::vector<BandPiece> band;
    if (*replayState) band.push_back({replayState, TONE_INFO});
    if (battleSpeed > 1) band.push_back({"SPEED " + std::to_string(battleSpeed) + "X", TONE_INFO});
    // The steps and the aim of the computer's units are its own affair.
    const bool personsTurn = !personSide || currentPlayer == personSide;
    const char* verdict = personsTurn ? stepVerdictLine(stepVerdict()) : "";
    if (noticeSeconds > 0)
        band.push_back({notice, TONE_NOTICE});
    else if (*verdict)
        band.push_back({verdict, TONE_NOTICE});
    int row, col;
    if (personsTurn && watchedSquare(row, col) && enemyReach(currentPlayer)[row][col])
        band.push_back({choosingTarget ? "IT STANDS IN ENEMY REACH" : "THAT SQUARE IS IN ENEMY REACH", TONE_DANGER});
    if (keepTroubleSeconds > 0) band.push_back({capitals(keepTrouble), TONE_TROUBLE});
    if (afterVictory && !watchingReplay)
        band.push_back({computerCommands[1] && computerCommands[2] ? "Q: QUIT" : "ENTER: NEW BATTLE   Q: QUIT",
                        TONE_INFO});
    return band;
}

int shownHp(const Unit& unit) { return std::max(0, unit.hp); }
