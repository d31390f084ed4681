// render/effects.h — spell particles, arrow sparks and the Flier's lightning
#pragma once

extern unsigned particleList;

void buildParticleList();
void drawSpellParticles();
void drawParticles();
void drawArrowVolley();
void drawLungeEffect();
