// render/effects.cpp — spell particles, the Archer's sparks and the Flier's lightning
//
// The drawing here also runs the particle simulation: every call of
// drawParticles moves each particle one step, so bursts run at the frame rate.
#include "render/effects.h"

#include <GL/glut.h>

#include "app/textures.h"
#include "game/random.h"
#include "rules/behaviour.h"
#include "rules/combat.h"

unsigned particleList = 0;

namespace {

// How much larger the explosion's sprites are than the bolt's: the bare
// sprites are smaller than a unit's head and vanish inside the target.
constexpr float EXPLOSION_SPRITE_SCALE = 30;

// Glowing sprites: textured, unlit, blended over what lies behind them and
// leaving the depth buffer alone, so they never hide one another.
void beginSprites() {
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR);
}

void endSprites() {
    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
}

// Texture corners in the order every strip uses them.
const float stripTexture[4][2] = {{1, 1}, {0, 1}, {1, 0}, {0, 0}};

void drawSpark(const Vector& p) {
    const float corners[4][3] = {
        {p.x + 0.15f, p.y + 0.1f, p.z},
        {p.x - 0.15f, p.y + 0.1f, p.z},
        {p.x + 0.15f, p.y - 0.1f, p.z},
        {p.x - 0.15f, p.y - 0.1f, p.z},
    };
    beginSprites();
    glBindTexture(GL_TEXTURE_2D, TEX_SPARK);
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i < 4; ++i) {
        glTexCoord2fv(stripTexture[i]);
        glVertex3fv(corners[i]);
    }
    glEnd();
    endSprites();
}

// One lightning pass: a quad lying flat from the Flier forward 0.9 units.
void drawBoltQuad(GLenum source, GLenum destination, int texture) {
    glBlendFunc(source, destination);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(1, 1); glVertex3f(-0.125f, 0, 0.9f);
    glTexCoord2f(1, 0); glVertex3f(-0.125f, 0, 0);
    glTexCoord2f(0, 0); glVertex3f(0.125f, 0, 0);
    glTexCoord2f(0, 1); glVertex3f(0.125f, 0, 0.9f);
    glEnd();
}

Vector divided(const Vector& v, float d) {
    return Vector(v.x / d, v.y / d, v.z / d);
}

}  // namespace

void buildParticleList() {
    const float a = 0.015f, b = 0.01f;
    // Three crossed quads, one per axis plane, so the sprite shows from every side.
    const float strips[3][4][3] = {
        {{a, b, 0}, {-a, b, 0}, {a, -b, 0}, {-a, -b, 0}},
        {{a, 0, b}, {-a, 0, b}, {a, 0, -b}, {-a, 0, -b}},
        {{0, a, b}, {0, a, -b}, {0, -a, b}, {0, -a, -b}},
    };

    particleList = glGenLists(1);
    glNewList(particleList, GL_COMPILE);
    beginSprites();
    glBindTexture(GL_TEXTURE_2D, TEX_PARTICLE);
    for (const auto& strip : strips) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int i = 0; i < 4; ++i) {
            glTexCoord2fv(stripTexture[i]);
            glVertex3fv(strip[i]);
        }
        glEnd();
    }
    endSprites();
    glEndList();
}

namespace {

// Draws every live particle as a sprite grown by spriteScale about its point,
// and moves it on one step. The flicker and the restarts draw from the
// effects' generator, which is then put back as it was: how many frames are
// drawn must not change what the battle's ticks draw from it next (where a
// missed blow lands, and so how long it plays).
void drawSprites(float spriteScale) {
    const unsigned effects = effectGeneratorState();
    glShadeModel(GL_SMOOTH);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);

    for (Particle& p : particles) {
        if (!p.active)
            continue;
        glPushMatrix();
        glTranslatef(p.position.x, p.position.y, p.position.z);
        const float life = p.life;
        if (particleStyle == 0) {
            // Flickering orange; the green draw comes first.
            const float green = 0.25f + 0.25f * effectRandomNext() / 32768.0f;
            const float red = 0.75f + 0.25f * effectRandomNext() / 32768.0f;
            glColor4f(red, green, 0, 1);
        } else if (particleStyle == 1) {
            glScalef(2, 2, 2);
            glColor4f(1 - life, life, 1 - life, life);   // green turning magenta
        } else if (particleStyle == 2) {
            glScalef(2, 2, 2);
            glColor4f(life, 1 - life, 1 - life, life);   // red turning cyan
        }
        glScalef(spriteScale, spriteScale, spriteScale);
        glCallList(particleList);
        glPopMatrix();

        // The slow-down factor is 2 × 1000, or 2 × 10000 for the orange style.
        p.position += divided(p.speed, particleStyle != 0 ? 2000.0f : 20000.0f);
        p.speed += p.gravity;
        p.life -= p.fade;
        if (p.life < 0)
            restartParticle(p);
    }
    seedEffects(effects);
}

}  // namespace

void drawSpellParticles() {
    drawBurstAt(boltPosition);
}

// The particles start one unit up, so the burst opens at the point itself.
void drawBurstAt(const Vector& point) {
    glTranslatef(point.x, point.y - 1.0f, point.z);
    drawParticles();
}

// Grown about the bolt, spread and sprites alike, by spellScale.
void drawExplosion() {
    glTranslatef(boltPosition.x, boltPosition.y, boltPosition.z);
    glScalef(spellScale, spellScale, spellScale);
    glTranslatef(0, -1.0f, 0);
    drawSprites(EXPLOSION_SPRITE_SCALE);
}

void drawParticles() {
    drawSprites(1);
}

void drawArrowVolley() {
    if (arrowVolley.state == 0) {
        drawSpark(arrowVolley.arrow);
        return;
    }
    for (int i = 0; i < arrowVolley.released; ++i) {
        if (arrowVolley.trailLive[i])
            drawSpark(arrowVolley.trail[i]);
    }
}

void drawLungeEffect() {
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    // The mask darkens where the bolt goes, then the bolt frame is added on top.
    const int frame = lungeEffect.drawCount % 3;
    drawBoltQuad(GL_DST_COLOR, GL_ZERO, TEX_ELECT_MASK + frame);
    drawBoltQuad(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR, TEX_ELECT + frame);
    endSprites();
}
