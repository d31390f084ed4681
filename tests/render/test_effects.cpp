// tests/render/test_effects.cpp — spell particles, arrow sparks and the Flier's lightning
#include <algorithm>
#include <iterator>
#include <vector>
#include <GL/glut.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/textures.h"
#include "game/battle_map.h"
#include "game/random.h"
#include "render/board.h"
#include "render/effects.h"
#include "render/frame_clock.h"
#include "render/scene.h"
#include "rules/behaviour.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "tests/render/gl_harness.h"
#include "tests/support/battle.h"

namespace {

const PixelBox WHOLE_VIEW{0, 0, SIDE_VIEW_WIDTH - 1, SIDE_VIEW_HEIGHT - 1};
const PixelColour BLACK{0, 0, 0}, WHITE{255, 255, 255}, RED{255, 0, 0}, GREEN{0, 255, 0}, BLUE{0, 0, 255};

class Frame {
public:
    Frame() : picture(readBackBuffer()) {}
    int countOf(const PixelBox& box, PixelColour colour) const {
        return picture.countIn(box.left, box.bottom, box.right, box.top, colour, 0);
    }
    // Pixels in the box that are not of the given colour.
    int countNot(const PixelBox& box, PixelColour colour) const {
        return (box.right - box.left + 1) * (box.top - box.bottom + 1) - countOf(box, colour);
    }
    int litCount(const PixelBox& box) const { return countNot(box, BLACK); }

private:
    WindowPicture picture;
};

// The side view on a grey background; the model-view is left for the test to place things.
void clearView(float grey) {
    useSideView();
    glClearColor(grey, grey, grey, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}

// The state every effect promises to leave behind.
void expectSpriteStateRestored() {
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

void expectVector(const Vector& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

class EffectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlWindow();
        resetBattleState();
        savedPool.assign(std::begin(particles), std::end(particles));
        for (Particle& p : particles) p.active = false;
    }
    void TearDown() override { std::copy(savedPool.begin(), savedPool.end(), std::begin(particles)); }

    // One particle alone in the pool, at a known start.
    Particle& loneParticle(float fade, const Vector& speed) {
        Particle& p = particles[0];
        p.active = true;
        p.life = 1.0f;
        p.fade = fade;
        p.position = Vector(0, 1, 0);
        p.speed = speed;
        p.gravity = Vector(0, -0.8f, 0);
        return p;
    }

    std::vector<Particle> savedPool;
};

}  // namespace

TEST_F(EffectTest, ParticleSpriteListDrawsACrossFacingTheViewer) {
    ASSERT_TRUE(glIsList(particleList));
    SolidTextures plain({{TEX_PARTICLE, WHITE}});
    clearView(0);
    glTranslatef(4.5f, 0, 0);
    glScalef(50, 50, 50);   // the 0.03 × 0.02 sprite becomes 1.5 × 1 world units
    glColor4f(1, 1, 1, 1);
    glCallList(particleList);
    expectSpriteStateRestored();

    // 60 × 40 pixels face the viewer; the other two quads are seen edge on.
    Frame frame;
    EXPECT_GE(frame.countOf(sideViewBox(4.5f, 0, 0.75f, 0.5f), WHITE), 2300);
    EXPECT_EQ(frame.litCount(sideViewBox(4.5f, 0, 0.8f, 0.55f)), frame.litCount(WHOLE_VIEW));
}

TEST_F(EffectTest, SpellParticlesAreDrawnAtTheBoltOneUnitLower) {
    SolidTextures plain({{TEX_PARTICLE, WHITE}});
    particleStyle = 1;
    // At a scale of 20 a bolt 0.1 to the right shows 2 world units to the right.
    for (float boltX : {0.0f, 0.1f}) {
        loneParticle(0.01f, Vector(0, 0, 0));
        boltPosition = Vector(boltX, 0, 0);
        clearView(0);
        glTranslatef(4.5f, 0, 0);
        glScalef(20, 20, 20);
        drawSpellParticles();   // the particle sits at (0, 1, 0) from the bolt, the bolt is drawn 1 lower
        // Healing colours at full life: pure green, doubled to 48 × 32 pixels.
        Frame frame;
        const float x = 4.5f + 20 * boltX;
        EXPECT_GE(frame.countOf(sideViewBox(x, 0, 0.6f, 0.4f), GREEN), 1400) << "bolt at " << boltX;
        EXPECT_EQ(frame.litCount(sideViewBox(x, 0, 0.7f, 0.5f)), frame.litCount(WHOLE_VIEW)) << "bolt at " << boltX;
    }
}

TEST_F(EffectTest, ParticlesStepBySpeedOverTheSlowDownFactorAndOnlyTheOrangeStyleDrawsRandomColours) {
    clearView(0);
    // The orange style (0) moves ten times slower than the others.
    for (int style : {1, 0}) {
        const float slowDown = style == 0 ? 20000 : 2000;
        Particle& p = loneParticle(0.01f, Vector(20, -10, 4));
        const Particle idle = particles[1];
        particleStyle = style;
        seedRandom(7);
        const int first = randomNext(), second = randomNext(), third = randomNext();
        ASSERT_FALSE(first == second && second == third);
        seedRandom(7);
        drawParticles();
        EXPECT_EQ(randomNext(), style == 0 ? third : first) << "two draws per orange particle, none otherwise";
        expectVector(p.position, 20 / slowDown, 1 - 10 / slowDown, 4 / slowDown);
        expectVector(p.speed, 20, -10.8f, 4);
        EXPECT_FLOAT_EQ(p.life, 0.99f);
        // An inactive particle is neither moved nor aged.
        EXPECT_EQ(particles[1].position.y, idle.position.y);
        EXPECT_EQ(particles[1].life, idle.life);
    }
}

TEST_F(EffectTest, ParticleRestartsInPlaceOnceItsLifeRunsOut) {
    particleStyle = 2;
    clearView(0);
    for (float fade : {0.003f, 0.102f}) {
        const int lifetime = fade < 0.01f ? 334 : 10;
        Particle& p = loneParticle(fade, Vector(6, 6, 6));
        for (int step = 1; step < lifetime; ++step) drawParticles();
        EXPECT_GT(p.life, 0.0f) << "fade " << fade;
        EXPECT_LT(p.life, fade) << "fade " << fade;
        EXPECT_NE(p.position.y, 1.0f);

        drawParticles();
        EXPECT_EQ(p.life, 1.0f) << "fade " << fade;
        expectVector(p.position, 0, 1, 0);
        EXPECT_GE(p.fade, 0.003f);
        EXPECT_LE(p.fade, 0.1025f);
        // A restart picks the slow speeds (-32 … 27), not a burst's tenfold ones.
        EXPECT_GE(p.speed.x, -32.0f);
        EXPECT_LE(p.speed.x, 27.0f);
        EXPECT_EQ(p.gravity.y, -0.8f);
        EXPECT_TRUE(p.active);
    }
}

TEST_F(EffectTest, SparkFollowsTheLeadArrowThenTheLiveTrail) {
    SolidTextures plain({{TEX_SPARK, WHITE}});
    arrowVolley.state = 0;
    arrowVolley.arrow = Vector(2, 0, 0);
    const float trailX[4] = {1, 4, 7, 9};
    const bool live[4] = {true, false, true, true};
    for (int i = 0; i < 4; i++) {
        arrowVolley.trail[i] = Vector(trailX[i], 1.5f, 0);
        arrowVolley.trailLive[i] = live[i];
    }
    arrowVolley.released = 3;

    // The sprite is 0.3 × 0.2 around its point: 12 × 8 pixels of the scene's red.
    auto sparkAt = [](const Vector& p) { return sideViewBox(p.x, p.y, 0.2f, 0.15f); };
    auto drawVolley = [] {
        clearView(0);
        glDisable(GL_LIGHTING);
        glColor3f(1, 0, 0);
        drawArrowVolley();
        return Frame();
    };

    const Frame flying = drawVolley();
    expectSpriteStateRestored();
    EXPECT_GE(flying.countOf(sparkAt(arrowVolley.arrow), RED), 90);
    EXPECT_EQ(flying.litCount(sparkAt(arrowVolley.arrow)), flying.litCount(WHOLE_VIEW))
        << "the trail shows while the lead arrow flies";

    arrowVolley.state = 1;
    const Frame scattering = drawVolley();
    EXPECT_EQ(scattering.litCount(sparkAt(arrowVolley.arrow)), 0);
    // Trail 0 and 2 are live and released; 1 has landed, 3 is not released yet.
    for (int i = 0; i < 4; i++) {
        if (i == 0 || i == 2)
            EXPECT_GE(scattering.countOf(sparkAt(arrowVolley.trail[i]), RED), 90) << "trail " << i;
        else
            EXPECT_EQ(scattering.litCount(sparkAt(arrowVolley.trail[i])), 0) << "trail " << i;
    }

    arrowVolley.released = 0;
    EXPECT_EQ(drawVolley().litCount(WHOLE_VIEW), 0);
}

TEST_F(EffectTest, LightningCoversItsStripAndCyclesItsFrames) {
    // Black masks clear the strip; each bolt frame then shows in its own colour.
    SolidTextures plain({{TEX_ELECT_MASK, BLACK}, {TEX_ELECT_MASK + 1, BLACK}, {TEX_ELECT_MASK + 2, BLACK},
                         {TEX_ELECT, RED}, {TEX_ELECT + 1, GREEN}, {TEX_ELECT + 2, BLUE}});
    const PixelColour grey{128, 128, 128};
    const PixelColour frameColours[] = {RED, GREEN, BLUE, RED, GREEN};
    lungeEffect.drawCount = 0;
    for (int drawn = 0; drawn < 5; ++drawn) {
        clearView(grey.r / 255.0f);
        glTranslatef(4.5f, 1.5f, 0);
        glScalef(4, 4, 4);
        glRotatef(90, 1, 0, 0);   // the bolt lies in y = 0: look down on it
        drawLungeEffect();
        expectSpriteStateRestored();
        EXPECT_EQ(lungeEffect.drawCount, drawn + 1);

        // The strip is 1 unit wide and runs 3.6 units down from y = 1.5: 40 × 144 pixels.
        Frame frame;
        const PixelBox strip = sideViewBox(4.5f, -0.3f, 0.5f, 1.8f);
        EXPECT_GE(frame.countOf(strip, frameColours[drawn]), 5600) << "frame " << drawn;
        EXPECT_EQ(frame.countNot(strip, grey), frame.countNot(WHOLE_VIEW, grey)) << "frame " << drawn;
    }
}

namespace {

// The acting unit's effects as the scene draws them, seen straight down on
// the point (5, 4) with the board left out and the cursor hidden; units are
// placed unseen unless a test shows them.
class AttackFrameTest : public EffectTest {
protected:
    void SetUp() override {
        EffectTest::SetUp();
        loadUniformMap(7, 10, 1);
        savedBoard = boardList;
        boardList = emptyList();
        choosingHeroes = p1ChoosingHero = false;
        p1Material = 4;
        p2Material = 12;
        nowSeconds = 10.3f;
        lastSecondMark = 10;
        windowWidth = glutGet(GLUT_WINDOW_WIDTH);
        windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
    }
    void TearDown() override {
        boardList = savedBoard;
        EffectTest::TearDown();
    }

    // Draws the frame and keeps its picture, with the camera's matrices kept for pixelOf.
    void drawFrame(float pixelsPerUnit) {
        clearWindow();
        lookStraightDown(5, 4, pixelsPerUnit);
        updateViewFrustum();
        drawScene();
        picture = readBackBuffer();
        lookStraightDown(5, 4, pixelsPerUnit);
    }
    // Pixels within the world box around (x, z) that pass the test.
    template <class Test> int countAround(float x, float z, float half, Test test) const {
        int left, bottom, right, top, found = 0;
        pixelOf(x - half, 0, z + half, left, bottom);
        pixelOf(x + half, 0, z - half, right, top);
        for (int py = bottom; py <= top; py++)
            for (int px = left; px <= right; px++) found += test(picture.at(px, py));
        return found;
    }
    int litAround(const Vector& p, float half) const {
        return countAround(p.x, p.z, half, [](PixelColour c) { return !closeTo(c, BLACK, 0); });
    }

    WindowPicture picture;
    unsigned savedBoard = 0;
};

}  // namespace

TEST_F(AttackFrameTest, BurstsGoOffAtTheTargetAndTheHealersFirstAtItsBolt) {
    SolidTextures plain({{TEX_PARTICLE, WHITE}});
    Unit* target = placeUnit<Mage>(2, 3, 7);
    aimPoint = target->position;
    arrowVolley.state = 1;                  // no arrow sparks
    lungeEffect.current = Vector(50, 0, 50);   // the lunging Fighter far off the view
    const Vector staleBolt = battleMap[1][1].centre;   // where an earlier spell's bolt was left
    Unit* const attackers[] = {placeUnit<Archer>(1, 3, 4), placeUnit<Fighter>(1, 3, 4), placeUnit<Healer>(1, 3, 4)};
    for (Unit* acting : attackers) {
        SCOPED_TRACE(acting->unitClass);
        selectedUnit = acting;
        acting->menuOpen = attackAnimating = true;
        const bool healer = acting->unitClass == CLASS_HEALER;
        boltPosition = healer ? acting->position : staleBolt;   // the Healer's bolt stays with it
        particleStyle = healer ? 2 : 0;
        actionCounter = 300;                    // the Healer's second burst plays
        for (Particle& p : particles) {
            p.active = true;
            resetParticle(p);                   // a fresh burst: every particle at its point
        }
        drawFrame(100);   // the bare sprites are 3 × 2 pixels: world x −1.4 … 11.4, z −1.1 … 9.1
        const int atTarget = litAround(aimPoint, 0.3f), atActing = litAround(acting->position, 0.3f);
        EXPECT_GT(atTarget, 3);
        EXPECT_EQ(atActing > 0, healer);
        // Nothing else anywhere left of the action menu (x ≥ 8.84, z ≥ 6.05).
        EXPECT_EQ(litAround(Vector(5, 0, 3.5f), 3.8f), atTarget + atActing);
        acting->menuOpen = false;
    }
}

TEST_F(AttackFrameTest, MageExplosionSurroundsTheTargetInEveryStageAndGrowsWithTheSpellScale) {
    SolidTextures plain({{TEX_PARTICLE, WHITE}});
    Mage* mage = placeUnit<Mage>(1, 3, 2);
    Unit* target = placeUnit<Fighter>(2, 3, 7);
    target->visible = true;   // the explosion must show around the target, not only inside it
    selectedUnit = mage;
    mage->menuOpen = specialChosen = true;   // magic: five stages
    cursorRow = 3;
    cursorCol = 7;
    seedRandom(3);
    captureOutput([] { startAttack(); });
    ASSERT_FALSE(attackMissed);
    for (Particle& p : particles) p.active = true;   // the pool as the game keeps it

    // Orange over black or over the green target: red strong, blue weak.
    const auto explosionPixels = [&] {
        return countAround(target->position.x, target->position.z, 1.5f,
                           [](PixelColour c) { return c.r >= 128 && c.r > c.b + 60; });
    };
    constexpr float PIXELS_PER_UNIT = 25;
    bool compared = false;
    std::vector<int> smallest;   // per stage, over its second half
    for (int frame = 0; frame < 1000 && attackAnimating; ++frame) {
        frameSeconds = 0.1f;   // a slow 10 frames a second: the fewer frames, the less the particles spread
        attackStep();
        if (boltActive || !attackAnimating)
            continue;
        if (!compared && spellScale >= 1.09f) {
            // The same particles drawn at a stage's start and end size.
            compared = true;
            const std::vector<Particle> pool(std::begin(particles), std::end(particles));
            const float scale = spellScale;
            int area[2];
            for (int end = 0; end < 2; ++end) {
                std::copy(pool.begin(), pool.end(), std::begin(particles));
                spellScale = end ? 1.18f : 1.0f;
                drawFrame(PIXELS_PER_UNIT);
                area[end] = explosionPixels();
            }
            EXPECT_GT(area[1], area[0] * 1.2);
            std::copy(pool.begin(), pool.end(), std::begin(particles));
            spellScale = scale;
        }
        drawFrame(PIXELS_PER_UNIT);
        if (spellScale >= 1.09f) {
            smallest.resize(actionCounter + 1, 1 << 30);
            smallest[actionCounter] = std::min(smallest[actionCounter], explosionPixels());
        }
    }
    EXPECT_FALSE(attackAnimating) << "the spell has ended";
    ASSERT_EQ(smallest.size(), 5u);
    for (int stage = 0; stage < 5; ++stage)   // at least half a square's worth
        EXPECT_GT(smallest[stage], PIXELS_PER_UNIT * PIXELS_PER_UNIT / 2) << "stage " << stage;
}
