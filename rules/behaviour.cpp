// rules/behaviour.cpp — each class's attack sequence, from its launch to the outcome, and the spell particles
#include "rules/behaviour.h"

#include "game/battle_map.h"
#include "game/random.h"
#include "game/unit.h"
#include "rules/battle_log.h"
#include "rules/combat.h"
#include "rules/cues.h"
#include "rules/cursor.h"
#include "rules/game_state.h"

// Built during static initialisation, before the generators are seeded; the
// effects' state is constant-initialised, so these draws are the same on every run.
Particle particles[PARTICLE_COUNT];
int   actionCounter = 0;
float spellScale = 0;

namespace {

// Random numbers are drawn in the order the fields are written; everything
// here only shows, so it all draws from the effects' generator.
float randomFade() { return (effectRandomNext() % 100) / 1000.0f + 0.003f; }

void restartAll() {
    for (Particle& p : particles) resetParticle(p);
}

// A small random jolt on each axis; endAction puts the target back.
void shakeTarget() {
    Vector& position = targetUnit->position;
    position.x += effectRandomNext() * 0.025f / 32768 - 0.0125f;
    position.y += effectRandomNext() * 0.025f / 32768 - 0.0125f;
    position.z += effectRandomNext() * 0.025f / 32768 - 0.0125f;
}

LogEvent blowEvent(LogKind kind) { return {kind, logUnit(*selectedUnit), logUnit(*targetUnit), 0, 0, specialChosen}; }

void noteMiss() {
    missShown = true;
    noteCue(CUE_MISS, aimPoint);
    noteLog(blowEvent(LOG_MISS));
}

// The outcome of a played-out attack, then the end of the action. The log
// has the blow once, the Mage's two strikes together, and then the fall.
void closeAttack() {
    if (attackMissed) {
        noteMiss();
    } else {
        // On the target's square: the blow's shaking has moved the target a little off it.
        noteCue(CUE_HIT, battleMap[targetUnit->row][targetUnit->col].centre);
        Unit& target = *targetUnit;
        const int before = target.hp;
        const bool won = battleWon();
        for (int strike = 0; strike < strikesPerHit(*selectedUnit); strike++)
            resolveDamage(*selectedUnit, target);
        LogEvent hit = blowEvent(LOG_HIT);
        hit.amount = before - target.hp;
        const float matchup = matchupChange(*selectedUnit, target);
        hit.matchup = matchup > 0 ? 1 : matchup < 0 ? -1 : 0;
        noteLog(hit);
        if (before > 0 && target.hp <= 0 && !won) noteLog({LOG_FALL, {}, logUnit(target)});
    }
    endAction();
}

void archerStep() {
    if (volleyUpdate(frameSeconds)) {
        selectedUnit->position = battleMap[selectedUnit->row][selectedUnit->col].centre;
        closeAttack();
        return;
    }
    // The target starts shaking once the sixteenth trail arrow is past the top of its arc.
    if (!attackMissed && arrowVolley.flightTime / 2 < arrowVolley.trailAge[15]) shakeTarget();
}

void fighterStep() {
    // Arriving at the target: the blow pushes it along the lunge.
    if (lungeEffect.phase < 1 && lungeEffect.distance - lungeEffect.travelled <= 0.25f) {
        shakeTarget();
        targetUnit->position += lungeEffect.direction * 0.04f;
    }
    if (lungeUpdate(frameSeconds)) closeAttack();
}

void flierStep() {
    shakeTarget();
    if (lungeUpdate(frameSeconds)) closeAttack();
}

// The Healer's timer counts hundredths of a second and is never reset, so
// every Healer action after the first takes effect at once.
void healerStep() {
    actionCounter = static_cast<int>(frameSeconds * 100 + actionCounter);
    Unit& target = *targetUnit;
    if (particleStyle == 1) {
        if (actionCounter >= 300) target.hp += 1;
        if (target.hp > target.maxHp) target.hp = target.maxHp;
        if (actionCounter >= 300 && healComplete(target.hp, healStartHp, target.maxHp)) {
            endAction();
            particleStyle = 0;
        }
        return;
    }
    if (actionCounter >= 300) shakeTarget();
    if (actionCounter >= 1000 || (actionCounter >= 600 && specialChosen)) {
        closeAttack();
        particleStyle = 0;
    }
}

// The bolt flies to the target, then the explosion plays in stages: one for
// a plain attack, five for magic. A miss ends the action as soon as it is seen.
void mageStep() {
    if (boltActive && boltMove(selectedUnit->position, aimPoint)) {
        boltActive = false;
        spellScale = 1.0f;
        restartAll();
        noteCue(CUE_EXPLOSION, aimPoint);
        return;
    }
    if (attackMissed) {
        noteMiss();
        endAction();
        actionCounter = 0;
        return;
    }
    if (boltActive) return;

    spellScale += frameSeconds / 10;
    shakeTarget();
    if (actionCounter >= 5 || (actionCounter >= 1 && !specialChosen)) {
        closeAttack();
        actionCounter = 0;
        return;
    }
    if (spellScale >= 1.18f) {
        spellScale = 1.0f;
        restartAll();
        actionCounter += 1;
        // The burst that closes the last stage is gone the next update, unheard.
        if (specialChosen && actionCounter < 5) noteCue(CUE_EXPLOSION, aimPoint);
    }
}

}  // namespace

Particle::Particle() : active(true), gravity(0, -0.8f, 0) { restartParticle(*this); }

void restartParticle(Particle& p) {
    p.life = 1.0f;
    p.fade = randomFade();
    p.position = Vector(0, 1, 0);
    float x = effectRandomNext() % 60 - 32;
    float y = effectRandomNext() % 60 - 30;
    float z = effectRandomNext() % 60 - 30;
    p.speed = Vector(x, y, z);
}

// A burst starts about ten times faster than a particle restarting in place.
void resetParticle(Particle& p) {
    p.life = 1.0f;
    p.fade = randomFade();
    p.position = Vector(0, 1, 0);
    float x = (effectRandomNext() % 50 - 26) * 10;
    float y = (effectRandomNext() % 50 - 25) * 10;
    float z = (effectRandomNext() % 50 - 25) * 10;
    p.speed = Vector(x, y, z);
}

void attackStep() {
    switch (selectedUnit->unitClass) {
        case CLASS_ARCHER: archerStep(); break;
        case CLASS_FIGHTER: fighterStep(); break;
        case CLASS_FLIER: flierStep(); break;
        case CLASS_HEALER: healerStep(); break;
        case CLASS_MAGE: mageStep(); break;
    }
}

bool volleyUpdate(float seconds) {
    ArrowVolley& v = arrowVolley;
    if (v.state == 0) {
        v.arrow += v.direction * 1.5f * seconds;
        v.flightTime += seconds;
        v.travelled = length(v.arrow - v.start);
        if (v.travelled >= v.distance) {
            v.arrow = v.end;
            v.state = 1;
            noteCue(CUE_VOLLEY, v.start);
        }
        return false;
    }

    // One trail arrow leaves per update; each flies as long as the lead
    // arrow did, drifting sideways and rising then falling in an even arc.
    if (v.released < VOLLEY_TRAIL) {
        v.trailLive[v.released] = true;
        v.trailAge[v.released] = 0;
        v.released += 1;
    }
    float halfFlight = v.flightTime / 2;
    for (int i = 0; i < v.released; i++) {
        Vector& p = v.trail[i];
        float& age = v.trailAge[i];
        age += seconds;
        p.x += effectRandomNext() * 0.05f / 32768 + v.direction.x * 1.5f * seconds - 0.025f;
        p.z += effectRandomNext() * 0.05f / 32768 + v.direction.z * 1.5f * seconds - 0.025f;
        if (age < v.flightTime) {
            if (age < halfFlight)
                p.y += (halfFlight - age) * seconds * 3.0f;
            else
                p.y -= (age - halfFlight) * seconds * 3.0f;
        } else {
            v.trailLive[i] = false;
        }
    }
    if (v.released == VOLLEY_TRAIL && !v.trailLive[VOLLEY_TRAIL - 1]) {
        v.released = 0;
        v.state = 0;
        return true;
    }
    return false;
}

bool lungeUpdate(float seconds) {
    LungeEffect& l = lungeEffect;
    if (l.phase < 1) {
        l.current += l.direction * 1.5f * seconds;
        l.outTime += seconds;
        l.travelled = length(l.current - l.start);
        if (l.travelled >= l.distance) {
            // The Flier's bolt strikes from where the Flier stands.
            if (l.mode != 2) l.current = l.start;
            l.phase = 1;
        }
        return false;
    }
    if (l.mode == 2) {
        // backTime counts updates here and is never reset, so only a
        // Fighter's first lunges pause at the target.
        if (l.backTime < 5) {
            l.backTime += 1;
            return false;
        }
        l.current -= l.direction * 1.5f * seconds;
        l.travelled = length(l.current - l.end);
        return l.travelled >= l.distance;
    }
    // The swoop waits until its lightning has been drawn; backTime counts
    // seconds here and carries over, shortening later waits.
    if (l.drawCount == 0) return false;
    l.backTime += seconds;
    return l.backTime >= l.outTime;
}

bool boltMove(const Vector& from, const Vector& to) {
    float total = length(to - from);
    Vector d = normalize(to - from);
    float covered = length(boltPosition - from);
    // The bolt creeps off the start, then speeds up with the way already covered.
    if (covered >= 0.05f) {
        boltPosition += d * 0.05f * covered;
    } else {
        boltPosition.x += d.x * 0.001f * covered + 0.001f;
        boltPosition.y += d.y * 0.001f * covered + 0.001f;
        boltPosition.z += d.z * 0.001f * covered + 0.001f;
    }
    if (covered >= total) {
        boltPosition = to;
        return true;
    }
    return false;
}
