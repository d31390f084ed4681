// rules/behaviour.h — attack sequences and the spell particle pool
// (each class's idle animation is its animate() member, game/unit.h)
#pragma once
#include "game/vector.h"

struct Particle {
    bool   active;
    float  life;       // 1 when started; also the colour ramp and alpha
    float  fade;       // life lost per step
    Vector position;   // offset from the bolt
    Vector speed;
    Vector gravity;
    Particle();        // draws from the effects' generator: built before it is seeded
};

constexpr int PARTICLE_COUNT = 1000;
extern Particle particles[PARTICLE_COUNT];
extern int   actionCounter;   // Healer's timer and Mage's stage count (one variable for both)
extern float spellScale;      // growth of the Mage's explosion within one stage

void attackStep();                    // one update of selectedUnit's attack sequence
bool volleyUpdate(float seconds);     // true when the volley has ended
bool lungeUpdate(float seconds);      // true when the lunge or swoop has ended
bool boltMove(const Vector& from, const Vector& to);   // true on arrival
void resetParticle(Particle& p);      // a burst's fresh start
void restartParticle(Particle& p);    // a dying particle's restart in place (as built)
