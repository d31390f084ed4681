// rules/animation.cpp — each class's idle animation, one step per update
//
// A unit is lively while its menu is open. Angles are degrees; a wrap "at
// 360" is an equality test, so a spin that steps over 360 keeps counting.
#include "game/unit.h"

void Archer::animate() {
    bool lively = menuOpen;
    if (lively) swingAngle += swingStep;
    if (swingAngle >= 40 || swingAngle <= -20) swingStep = -swingStep;
    // The vanes rise 1 and fall 2 degrees per update.
    swingStep = swingStep < 0 ? -2.0f : 1.0f;
    flexAngle += lively ? flexStep * 5 : flexStep;
    if (flexAngle > 10 || flexAngle < 0) flexStep = -flexStep;
}

void Fighter::animate() {
    bool lively = menuOpen;
    if (lively) {
        crownSpin += 5;
        if (crownSpin == 360) crownSpin = 0;
    }
    spikeSpin += lively ? 1.0f : 0.3f;
    if (spikeSpin == 360) spikeSpin = 0;
}

void Flier::animate() {
    bool lively = menuOpen;
    ringSpin += lively ? 2.0f : 0.5f;
    if (ringSpin == 360) ringSpin = 0;

    tailAngle += lively ? 2 * tailStep : tailStep;
    if (tailAngle >= 10 || tailAngle <= -10) tailStep = -tailStep;

    // The wings rise 1 and fall 5 degrees per update.
    if (lively) wingAngle += wingStep;
    if (wingAngle >= 25 || wingAngle <= -30) {
        wingStep = -wingStep;
        if (wingStep >= 0)
            wingStep = 1.0f;
        else
            wingStep -= 4.0f;
    }
    if (wingAngle > 40 || wingAngle < -40) wingAngle = 0;

    if (lively) hoverHeight += hoverStep;
    if (hoverHeight >= 0.3f || hoverHeight <= 0) hoverStep = -hoverStep;
    hoverHeight += hoverStep / 5;
}

void Healer::animate() {
    bool lively = menuOpen;
    if (lively) {
        spinLarge += 2.0f;
        if (spinLarge >= 360) spinLarge = 0;
    }
    spinMiddle += lively ? 3.0f : 0.5f;
    if (spinMiddle >= 360) spinMiddle = 0;
    if (lively) {
        spinSmall += 3.0f;
        if (spinSmall >= 360) spinSmall = 0;
    }
}

// spinStep is set by the Mage's drawing: fast while its menu is open.
void Mage::animate() {
    spin += spinStep;
    if (spin == 360) spin = 0;
}
