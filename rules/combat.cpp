// rules/combat.cpp — the hit roll, the damage and its console lines, death, the end of an action
#include "rules/combat.h"

#include <iostream>

#include "game/battle_map.h"
#include "game/random.h"
#include "game/unit.h"
#include "rules/battle_log.h"
#include "rules/behaviour.h"
#include "rules/cues.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/game_state.h"

bool   attackMissed = false;
Vector aimPoint;
int    healStartHp = 0;
Vector boltStart, boltPosition, boltDirection;
bool   boltActive = false;
int    particleStyle = 0;
ArrowVolley arrowVolley;
LungeEffect lungeEffect;

namespace {

struct ClassMatchup {
    int         attacker;
    int         target;
    float       change;    // added to the damage
    const char* message;   // printed on the console when the pairing applies
};

// Class against class, tried in this order; at most one line matches.
// The messages' spelling is the game's own and is kept as players know it.
constexpr ClassMatchup CLASS_MATCHUPS[] = {
    // attacker     target         change  message
    {CLASS_MAGE,    CLASS_FIGHTER, +10.0f, "mage attacks a fighter! Bonus damage!"},
    {CLASS_FIGHTER, CLASS_MAGE,     -5.0f, "fighter attacks a mage! Less damage!"},
    {CLASS_FIGHTER, CLASS_ARCHER,   +6.0f, "fighter attacks an archer! Bonus damage!"},
    {CLASS_ARCHER,  CLASS_FIGHTER,  -4.0f, "arher attacks a fighter! Less damage!"},
    {CLASS_ARCHER,  CLASS_FLIER,   +15.0f, "archer attacks a flier! Bonus damage!"},
    {CLASS_FLIER,   CLASS_ARCHER,   -2.0f, "flier attacks an archer! Less damage!"},
    {CLASS_FLIER,   CLASS_HEALER,  +10.0f, "flier attacks a healer! Bonus damage!"},
    {CLASS_HEALER,  CLASS_FLIER,    -1.0f, "healer attacks an flier! Less damage!"},
    {CLASS_HEALER,  CLASS_MAGE,     +8.0f, "healer attacks a mage! Bonus damage!"},
    {CLASS_MAGE,    CLASS_HEALER,   -4.0f, "mage attacks an healer! Less damage!"},
};

const ClassMatchup* matchupOf(const Unit& attacker, const Unit& target) {
    for (const ClassMatchup& matchup : CLASS_MATCHUPS)
        if (matchup.attacker == attacker.unitClass && matchup.target == target.unitClass) return &matchup;
    return nullptr;
}

// A missed shot lands beside the target: between 0.5 and 1 away, either way.
// Where it lands only shows, so it takes no number from the rolls.
float missOffset() {
    float r = effectRandomNext() / 32768.0f - 0.5f;
    return r > 0 ? r + 0.5f : r - 0.5f;
}

// Heading that turns the attacker to the target: +x 90, -x -90, +z 0, -z 180.
float headingTowards(const Unit& from, const Unit& to) {
    float dx = to.position.x - from.position.x;
    float dz = to.position.z - from.position.z;
    float angle = angleBetween(normalize(Vector(dx, dz, 0)), Vector(0, 1, 0));
    return dx >= 0 ? angle : -angle;
}

}  // namespace

void ArrowVolley::launch(const Vector& from, const Vector& to) {
    for (Vector& point : trail) point = from;
    start = from;
    arrow = from;
    end = to;
    distance = length(to - from);
    direction = normalize(to - from);
    state = 0;
    released = 0;
    flightTime = 0;
}

void LungeEffect::launch(const Vector& from, const Vector& to, int lungeMode) {
    start = from;
    current = from;
    end = to;
    mode = lungeMode;
    distance = length(to - from);
    direction = normalize(to - from);
    phase = 0;
    drawCount = 0;
    outTime = 0;
}

float missRange(const Unit& attacker, const Unit& target, bool special) {
    int bonus = 0;
    if (special && (attacker.unitClass == CLASS_FIGHTER || attacker.unitClass == CLASS_FLIER)) bonus += 25;
    if (target.defending) bonus += 15;
    return (1.0f - attacker.accuracy) * (100.0f + target.evasion + bonus) + 15.0f;
}

// Summed in this order, in single precision, as the hit has always been.
float hitDamage(const Unit& attacker, const Unit& target, int extra) {
    float damage = attacker.attackPower * attacker.attackFactor - target.defence * target.hp * 0.25f;
    damage += extra;
    if (const ClassMatchup* matchup = matchupOf(attacker, target)) damage += matchup->change;
    return damage;
}

float matchupChange(const Unit& attacker, const Unit& target) {
    const ClassMatchup* matchup = matchupOf(attacker, target);
    return matchup ? matchup->change : 0;
}

int strikesPerHit(const Unit& attacker) { return attacker.unitClass == CLASS_MAGE ? 2 : 1; }

bool healComplete(int hp, int startHp, int maxHp) {
    return static_cast<double>(hp - startHp) / maxHp >= 0.3 || hp == maxHp;
}

void startAttack() {
    Unit& attacker = *selectedUnit;
    int targetId = battleMap[cursorRow][cursorCol].occupant;
    for (Unit* unit : allUnits) {
        if (unit->id == targetId) {
            targetUnit = unit;
            aimPoint = unit->position;
        }
    }
    Unit& target = *targetUnit;
    attackAnimating = true;
    attacker.facing = headingTowards(attacker, target);

    int roll = randomInt(0, 100);
    float misses = missRange(attacker, target, specialChosen);
    std::cout << "Hit range = " << roll << " Miss Range " << misses << std::endl;

    if (roll < misses) {
        std::cout << "miss!" << std::endl;
        attackMissed = true;
        aimPoint.x += missOffset();
        aimPoint.z += missOffset();
    }

    switch (attacker.unitClass) {
        case CLASS_ARCHER:
            arrowVolley.launch(attacker.position, aimPoint);
            noteCue(CUE_BOWSHOT, attacker.position);
            break;
        case CLASS_FIGHTER:
            lungeEffect.launch(attacker.position, aimPoint, 2);
            noteCue(CUE_LUNGE, attacker.position);
            break;
        case CLASS_FLIER:
            lungeEffect.launch(attacker.position, aimPoint, 1);
            noteCue(CUE_SWOOP, attacker.position);
            break;
        case CLASS_HEALER:
        case CLASS_MAGE:
            boltStart = attacker.position;
            boltPosition = attacker.position;
            boltActive = true;
            boltDirection = aimPoint - attacker.position;
            if (attacker.unitClass == CLASS_HEALER) {
                if (healChosen) {
                    particleStyle = 1;
                    healStartHp = target.hp;
                } else {
                    particleStyle = 2;
                }
                noteCue(CUE_HEAL, attacker.position, healChosen ? 1 : 0);
            } else {
                noteCue(CUE_SPELL, attacker.position);
            }
            break;
    }
}

void resolveDamage(Unit& attacker, Unit& target) {
    int extra = 0;
    if (specialChosen) {
        extra = randomNext() * (SPECIAL_EXTRA_MAX + 1) / 32768;
        std::cout << "An Extra " << extra << " damage received with special attack" << std::endl;
    }
    float damage = hitDamage(attacker, target, extra);
    if (const ClassMatchup* matchup = matchupOf(attacker, target)) std::cout << matchup->message << std::endl;
    target.hp -= static_cast<int>(damage);
    noteBlow(target, static_cast<int>(damage), false);

    if (target.hp > 0) return;
    // The Mage's second strike finds the target already down: it falls once.
    if (!target.dead && !battleWon()) noteCue(CUE_FALL, battleMap[target.row][target.col].centre);
    if (target.hero) {
        if (!battleWon()) noteCue(CUE_VICTORY);
        if (target.player == 1)
            bannerP2Wins = true;
        else
            bannerP1Wins = true;
    } else {
        // The fallen leave the field at once: no more actions, and their
        // square is free to walk through and can no longer be targeted.
        target.dead = true;
        target.visible = false;
        target.canAct = false;
        battleMap[target.row][target.col].occupant = -1;
    }
}

void endAction() {
    Unit& attacker = *selectedUnit;
    attackAnimating = false;
    attackTargetValid = false;
    attacker.canAct = false;

    // Undoes the shaking of the hit.
    targetUnit->position = battleMap[targetUnit->row][targetUnit->col].centre;

    if (healChosen) {
        const int healed = targetUnit->hp - healStartHp;
        noteBlow(*targetUnit, healed, true);
        noteLog({LOG_HEAL, logUnit(attacker), logUnit(*targetUnit), healed});
    }
    if (specialChosen || healChosen) {
        attacker.mp -= 10;
        if (attacker.mp < 0) attacker.mp = 0;
    }

    attacker.menuOpen = false;
    cursorOnUnit = false;
    choosingTarget = false;

    healChosen = false;
    specialChosen = false;
    attackMissed = false;
    battleRevision++;
}

void resetCombat() {
    attackMissed = false;
    aimPoint = Vector();
    healStartHp = 0;
    boltStart = boltPosition = boltDirection = Vector();
    boltActive = false;
    particleStyle = 0;
    arrowVolley = ArrowVolley();
    lungeEffect = LungeEffect();
    actionCounter = 0;
    spellScale = 0;
    resetFeedback();
    clearLog();
}
