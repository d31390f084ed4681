// tests/render/test_models.cpp — the unit models as the scene draws them: where, how big, when not
#include <algorithm>
#include <cmath>
#include <vector>
#include <GL/glut.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/textures.h"
#include "app/window.h"
#include "game/battle_map.h"
#include "game/unit.h"
#include "render/board.h"
#include "render/frame_clock.h"
#include "render/lighting.h"
#include "render/looks.h"
#include "render/quadrics.h"
#include "render/scene.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/window_link.h"
#include "tests/render/gl_harness.h"
#include "tests/support/battle.h"

namespace {

// What the side view shows: "lit" is anything that is not the black background.
class Frame {
public:
    Frame() : picture(readBackBuffer()) {}
    int litCount(const PixelBox& box) const {
        const int area = (box.right - box.left + 1) * (box.top - box.bottom + 1);
        return area - picture.countIn(box.left, box.bottom, box.right, box.top, {0, 0, 0}, 0);
    }
    // Height in pixels of what is lit inside the box (0 when nothing is).
    int litHeight(const PixelBox& box) const {
        int low = SIDE_VIEW_HEIGHT, high = -1;
        for (int y = box.bottom; y <= box.top; ++y)
            if (litCount({box.left, y, box.right, y}) > 0) {
                low = std::min(low, y);
                high = std::max(high, y);
            }
        return high < 0 ? 0 : high - low + 1;
    }

private:
    WindowPicture picture;
};

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlWindow();
        resetBattleState();
        loadUniformMap(7, 12, 1);   // the smallest map has 7 rows
        // After the hero choice, the cursor in its hidden quarter-second and
        // no board: only the armies and the acting unit's effects are drawn.
        choosingHeroes = p1ChoosingHero = false;
        p1Material = 2;
        p2Material = 5;
        nowSeconds = 10.3f;
        lastSecondMark = 10.0f;
        savedBoard = boardList;
        boardList = emptyList();
        windowWidth = SIDE_VIEW_WIDTH;
        windowHeight = SIDE_VIEW_HEIGHT;
        boltPosition = Vector(100, 100, 100);   // any particle burst lands far off screen
    }
    void TearDown() override {
        boardList = savedBoard;
        showSightSphere = showUnitSphere = false;
    }

    // Clears, sets the side view and a plain white light, draws the scene and reads it back.
    Frame drawFrame() {
        useSideView();
        updateViewFrustum();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glEnable(GL_LIGHT0);
        drawScene();
        return Frame();
    }

    template <class T> T* standing(int player, int col) {
        T* unit = placeUnit<T>(player, 0, col);
        unit->visible = true;
        return unit;
    }

    unsigned savedBoard = 0;
};

// Half the size of a model at the scene's scale of 0.5, with a margin.
constexpr float MODEL_HALF = 0.6f;

}  // namespace

TEST_F(ModelTest, EveryClassDrawsWhereItStandsAndNothingWhereDeadHiddenOrOutsideTheView) {
    std::vector<Unit*> shown = {standing<Archer>(1, 0), standing<Fighter>(1, 2), standing<Flier>(1, 4),
                                standing<Healer>(2, 6), standing<Mage>(2, 8)};
    Unit* dead = standing<Mage>(1, 1);
    dead->dead = true;
    Unit* hidden = standing<Fighter>(2, 3);
    hidden->visible = false;
    Unit* deadAndHidden = standing<Healer>(2, 5);
    deadAndHidden->dead = true;
    deadAndHidden->visible = false;
    Unit* outside = standing<Healer>(1, 11);   // x 11.5: past the right edge at 10

    const Frame frame = drawFrame();
    for (Unit* unit : shown) {
        EXPECT_GT(frame.litCount(sideViewBox(unit->position.x, 0, MODEL_HALF, MODEL_HALF)), 40)
            << "class " << unit->unitClass << " at x " << unit->position.x;
        EXPECT_FALSE(outsideView(*unit));
    }
    for (Unit* unit : {dead, hidden, deadAndHidden})
        EXPECT_EQ(frame.litCount(sideViewBox(unit->position.x, 0, 0.35f, 0.35f)), 0)
            << "class " << unit->unitClass << " at x " << unit->position.x;
    EXPECT_TRUE(outsideView(*outside));
    // Nothing between the units or above them.
    EXPECT_EQ(frame.litCount(sideViewBox(4.5f, 1.6f, 0.5f, 0.5f)), 0);
}

TEST_F(ModelTest, LungingFighterIsDrawnOnceAtFullSizeAtTheLungePoint) {
    Fighter* lunging = standing<Fighter>(1, 0);
    Fighter* reference = standing<Fighter>(2, 8);
    selectedUnit = lunging;
    lunging->menuOpen = true;
    attackAnimating = true;
    lungeEffect.current = battleMap[0][4].centre;

    const Frame frame = drawFrame();
    EXPECT_EQ(frame.litCount(sideViewBox(lunging->position.x, 0, 0.45f, 0.45f)), 0) << "still drawn on its square";
    const int lungeHeight = frame.litHeight(sideViewBox(4.5f, 0, 1.3f, 1.3f));
    const int referenceHeight = frame.litHeight(sideViewBox(reference->position.x, 0, 0.7f, 0.7f));
    ASSERT_GT(referenceHeight, 20);
    EXPECT_NEAR(static_cast<double>(lungeHeight) / referenceHeight, 2.0, 0.15);

    // Once the attack is over the Fighter is back on its square at half size.
    attackAnimating = false;
    const Frame after = drawFrame();
    EXPECT_EQ(after.litCount(sideViewBox(4.5f, 0, 1.0f, 1.0f)), 0);
    EXPECT_EQ(after.litHeight(sideViewBox(lunging->position.x, 0, 0.7f, 0.7f)), referenceHeight);
}

TEST_F(ModelTest, SightSphereShowsOnlyWhileToggledOnAndTheUnitSphereHasRadiusOne) {
    Healer* healer = standing<Healer>(1, 4);
    healer->sight = 4;   // radius 4 in model space: 2 world units at the scene's scale
    // Above the model, inside the sphere's outline at y = 2.
    const PixelBox sphereTop = sideViewBox(healer->position.x, 1.85f, 0.4f, 0.4f);
    // Radius 1 in model space is half a world unit at the scene's scale.
    const PixelBox nearTop = sideViewBox(healer->position.x, 0.46f, 0.05f, 0.05f);
    const PixelBox beyond = sideViewBox(healer->position.x, 0.8f, 0.2f, 0.2f);

    const Frame plain = drawFrame();
    EXPECT_EQ(plain.litCount(sphereTop), 0);
    showSightSphere = true;
    EXPECT_GT(drawFrame().litCount(sphereTop), 10);
    showSightSphere = false;
    EXPECT_EQ(drawFrame().litCount(sphereTop), 0);

    showUnitSphere = true;
    const Frame withUnitSphere = drawFrame();
    EXPECT_GT(withUnitSphere.litCount(nearTop), plain.litCount(nearTop));
    EXPECT_EQ(withUnitSphere.litCount(beyond), 0);
}

TEST_F(ModelTest, MageBeadsRaceOnlyWhileItsMenuIsOpen) {
    Mage* mage = standing<Mage>(1, 4);
    drawFrame();
    EXPECT_EQ(mage->spinStep, 0.5f);
    mage->menuOpen = true;
    drawFrame();
    EXPECT_EQ(mage->spinStep, 7.0f);
    // A Mage that is not drawn keeps the last value.
    mage->menuOpen = false;
    mage->visible = false;
    drawFrame();
    EXPECT_EQ(mage->spinStep, 7.0f);
}

TEST_F(ModelTest, GameFrameShowsEveryUnitInItsArmysColoursWithItsFlatPartsLit) {
    // Player 1 red, player 2 green, over a grey sky and no board; the cursor stays in its hidden quarter.
    SolidTextures sky{{TEX_SKY_SAD_SEA, {128, 128, 128}}};
    fixTicks(10300);
    const int ruby = 4, emerald = 12;
    Fighter* lunging = standing<Fighter>(1, 1);
    Flier* flier = standing<Flier>(1, 4);
    Archer* archer = standing<Archer>(2, 8);   // turned by player 2's facing: its first vane faces the camera
    selectedUnit = lunging;
    lunging->menuOpen = attackAnimating = true;
    lungeEffect.current = battleMap[3][6].centre;
    // After the hero choice, and during it while player 2 browses past player 1's
    // preset (player 2's army then shows the next one, silver).
    const struct { bool choosing; int browse; } moments[] = {{false, 0}, {true, ruby}};
    for (const auto& moment : moments) {
        SCOPED_TRACE(moment.choosing ? "hero choice" : "battle");
        choosingHeroes = moment.choosing;
        p1Material = ruby;
        p2Material = emerald;
        materialBrowse = moment.browse;
        useGameCamera();
        onDisplay();
        const WindowPicture picture = readBackBuffer();
        useGameCamera();

        // The lunging Fighter, twice its size at the lunge point, wears red only.
        int left, bottom, right, top, red = 0, green = 0;
        pixelOf(lungeEffect.current.x - 0.7f, -0.5f, lungeEffect.current.z + 0.5f, left, bottom);
        pixelOf(lungeEffect.current.x + 0.7f, 0.6f, lungeEffect.current.z - 0.5f, right, top);
        for (int y = bottom; y <= top; y++)
            for (int x = left; x <= right; x++) {
                const PixelColour c = picture.at(x, y);
                red += c.r > c.g + 40;
                green += c.g > c.r + 40;
            }
        EXPECT_GT(red, 1000);
        EXPECT_EQ(green, 0);

        // A flat part with only the ambient light on it shows about a fifth of
        // its colour; lit by its face's normal it shows well over a third.
        const Vector& f = flier->position;
        const PixelColour wing = picture.atWorld(f.x + 0.26f, f.y, f.z + 0.11f);
        EXPECT_GT(wing.r, 100) << "wing " << describe(wing);
        const Vector& a = archer->position;
        const PixelColour vane = picture.atWorld(a.x - 0.14f, a.y - 0.05f, a.z + 0.14f);
        EXPECT_GT(vane.g, 100) << "vane " << describe(vane);
    }
}

TEST_F(ModelTest, QuadricsShowWhatGlusShowFromAPixelInRadiusUp) {
    // Cylinders and disks are compared with GLU's at the two stacks the models keep.
    enum Kind { SPHERE, CYLINDER, DISK };
    const struct Case {
        Kind kind;
        double radius, top, length;
        int slices, stacks;
        float depth, pixels;   // distance from the eye; radius on the screen
    } cases[] = {
        // kind     radius  top    length slices stacks depth pixels
        {SPHERE,   0.25,   0,     0,     15,    15,    10,   60},
        {SPHERE,   0.3,    0,     0,     8,     8,     10,   60},
        {SPHERE,   0.02,   0,     0,     5,     5,     50,   1.3f},   // scaled up, far off
        {SPHERE,   0.25,   0,     0,     15,    15,    0.5f, 1.3f},   // scaled down, close by
        {CYLINDER, 0.3,    0.1,   0.7,   20,    5,     10,   60},
        {CYLINDER, 0.025,  0.025, 1,     5,     5,     10,   3},
        {DISK,     0.4,    0,     0,     20,    7,     10,   60},
    };
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    GLUquadric* glu = gluNewQuadric();
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + ", radius " + std::to_string(c.radius) + ", " +
                     std::to_string(c.pixels) + " pixels");
        WindowPicture pictures[2];
        for (int ours = 0; ours < 2; ours++) {
            glViewport(0, 0, width, height);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            gluPerspective(60, static_cast<double>(width) / height, 0.1, 100);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            placeLights();
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glEnable(GL_DEPTH_TEST);
            glEnable(GL_LIGHTING);
            applyMaterial(materialPresets[4]);
            glTranslatef(0, 0, -c.depth);
            glRotatef(-60, 1, 0, 0);
            const float scale = c.pixels / (static_cast<float>(c.radius) * height / 2 / std::tan(0.5236f) / c.depth);
            glScalef(scale, scale, scale);
            if (c.kind == SPHERE)
                ours ? drawSphere(c.radius, c.slices, c.stacks) : gluSphere(glu, c.radius, c.slices, c.stacks);
            else if (c.kind == CYLINDER)
                ours ? drawCylinder(c.radius, c.top, c.length, c.slices, c.stacks)
                     : gluCylinder(glu, c.radius, c.top, c.length, c.slices, 2);
            else
                ours ? drawDisk(c.radius, c.slices, c.stacks) : gluDisk(glu, 0, c.radius, c.slices, 2);
            pictures[ours] = readBackBuffer();
        }
        int differing = 0;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                differing += !closeTo(pictures[0].at(x, y), pictures[1].at(x, y), 1);
        EXPECT_EQ(differing, 0);
        EXPECT_GT(width * height - pictures[1].count({0, 0, 0}, 0), 0) << "nothing drawn";
    }
    gluDeleteQuadric(glu);
}
