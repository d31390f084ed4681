// render/effects.h — spell particles, arrow sparks and the Flier's lightning
#pragma once
#include "game/vector.h"

extern unsigned particleList;

void buildParticleList();
void drawSpellParticles();                 // the burst at the Healer's or the Mage's bolt
void drawBurstAt(const Vector& point);     // a burst opening at a point of the board
void drawExplosion();                      // the Mage's explosion at its bolt, growing with spellScale
void drawParticles();                      // draws the particles and moves them on one step
void drawArrowVolley();
void drawLungeEffect();
