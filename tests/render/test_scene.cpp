// tests/render/test_scene.cpp — the composed frame: matrix balance, materials, labels, cursor, reach, hero choice
#include <functional>
#include <string>
#include <vector>
#include <GL/glut.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "game/battle_map.h"
#include "game/unit.h"
#include "render/board.h"
#include "render/frame_clock.h"
#include "render/looks.h"
#include "render/scene.h"
#include "rules/behaviour.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/window_link.h"
#include "tests/render/gl_harness.h"
#include "tests/support/battle.h"

namespace {

// Looking straight down on the board, orthographic, 40 pixels to a square:
// world x 0 … 11 runs right, world z 0 … 5.5 runs down the screen.
constexpr int VIEW_WIDTH = 440, VIEW_HEIGHT = 220;
constexpr float PIXELS_PER_UNIT = 40;

class Frame {
public:
    Frame() : picture(readBackBuffer()) {}
    // The pixel under the board point (x, z) seen from above.
    PixelColour at(float x, float z) const {
        return picture.at(static_cast<int>(x * PIXELS_PER_UNIT), static_cast<int>(VIEW_HEIGHT - z * PIXELS_PER_UNIT));
    }
    PixelColour square(int row, int col) const {
        const Vector& c = battleMap[row][col].centre;
        return at(c.x + 0.1f, c.z + 0.1f);   // off the centre, clear of any model there
    }

private:
    WindowPicture picture;
};

const PixelColour FLOOR_GREY{128, 128, 128};

bool isGrey(const PixelColour& c) { return closeTo(c, FLOOR_GREY, 0); }

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlWindow();
        resetBattleState();
        loadUniformMap(7, 10, 1);
        windowWidth = VIEW_WIDTH;
        windowHeight = VIEW_HEIGHT;
        boltPosition = Vector(100, 100, 100);   // any particle burst lands far off screen
        savedBoard = boardList;
        boardList = emptyList();   // a plain grey floor shows the cursor and the reach tints exactly
    }
    void TearDown() override { boardList = savedBoard; }

    void setTopView(float grey) {
        glViewport(0, 0, VIEW_WIDTH, VIEW_HEIGHT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, VIEW_WIDTH / PIXELS_PER_UNIT, -VIEW_HEIGHT / PIXELS_PER_UNIT, 0, -50, 50);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(90, 1, 0, 0);   // world (x, y, z) shows at (x, -z), seen from above
        updateViewFrustum();
        glClearColor(grey, grey, grey, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHT0);
    }

    void drawFrame() {
        setTopView(128 / 255.0f);
        drawScene();
    }

    template <class T> T* standing(int player, int row, int col) {
        T* unit = placeUnit<T>(player, row, col);
        unit->visible = true;
        return unit;
    }

    void afterHeroChoice() {
        choosingHeroes = p1ChoosingHero = p2ChoosingHero = false;
        p1Material = 2;
        p2Material = 5;
    }

    unsigned savedBoard = 0;
};

void expectDiffuse(const MaterialPreset& preset) {
    float diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(diffuse[i], preset.diffuse[i]) << "component " << i;
}

}  // namespace

TEST_F(SceneTest, FrameLeavesMatrixStacksProjectionAndLightingAsItFoundThem) {
    Archer* archer = standing<Archer>(1, 0, 1);
    Fighter* fighter = standing<Fighter>(1, 0, 3);
    Flier* flier = standing<Flier>(2, 2, 5);
    Healer* healer = standing<Healer>(2, 2, 7);
    Mage* mage = standing<Mage>(1, 1, 9);
    Unit* attackers[] = {archer, fighter, flier, healer, mage};

    // Each case sets up one kind of frame.
    std::vector<std::pair<std::string, std::function<void()>>> frames = {
        {"hero choice", [] {}},
        {"status panel", [&] { afterHeroChoice(); cursorOnUnit = true; selectedUnit = mage; }},
        {"turn banner and miss", [&] { afterHeroChoice(); bannerP2BeginTurn = true; missShown = true; }},
        {"menu and reach", [&] {
             afterHeroChoice();
             selectedUnit = archer;
             archer->menuOpen = cursorOnUnit = choosingTarget = true;
             archer->attackRange = 9;
         }},
    };
    for (Unit* attacker : attackers)
        frames.push_back({"attack of class " + std::to_string(attacker->unitClass), [&, attacker] {
                              afterHeroChoice();
                              selectedUnit = attacker;
                              targetUnit = archer == attacker ? static_cast<Unit*>(mage) : archer;
                              attacker->menuOpen = cursorOnUnit = attackAnimating = true;
                              aimPoint = targetUnit->position;
                              lungeEffect.current = aimPoint;
                              particleStyle = 2;
                              actionCounter = 300;   // the Healer's second burst too
                          }});

    for (auto& [name, prepare] : frames) {
        for (Unit* u : allUnits)
            u->menuOpen = false;
        cursorOnUnit = choosingTarget = attackAnimating = missShown = false;
        prepare();
        setTopView(0);
        GLint modelViewBefore = 0, projectionBefore = 0, modelViewAfter = 0, projectionAfter = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelViewBefore);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionBefore);
        const bool perspectiveBefore = perspectiveView;

        captureOutput([] { drawScene(); });

        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelViewAfter);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionAfter);
        EXPECT_EQ(modelViewAfter, modelViewBefore) << name;
        EXPECT_EQ(projectionAfter, projectionBefore) << name;
        EXPECT_EQ(perspectiveView, perspectiveBefore) << name;
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << name;
        GLint matrixMode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
        EXPECT_EQ(matrixMode, GL_MODELVIEW) << name;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << name;
    }
}

TEST_F(SceneTest, StatusLabelsShowTheLivingUnitUnderTheCursor) {
    afterHeroChoice();
    Mage* enemy = standing<Mage>(2, 1, 4);
    enemy->hp = 37;
    enemy->maxHp = 100;
    enemy->mp = 5;
    enemy->maxMp = 20;
    enemy->movePoints = 3;
    selectedUnit = enemy;
    cursorOnUnit = true;
    drawFrame();
    EXPECT_STREQ(hpLabel, "37/100");
    EXPECT_STREQ(mpLabel, "5/20");
    EXPECT_STREQ(moveLabel, "3");

    // No panel for a dead unit: its numbers are not written either.
    enemy->dead = true;
    enemy->hp = -4;
    drawFrame();
    EXPECT_STREQ(hpLabel, "37/100");

    // Nor when the cursor is not on a unit.
    enemy->dead = false;
    cursorOnUnit = false;
    drawFrame();
    EXPECT_STREQ(hpLabel, "37/100");
}

TEST_F(SceneTest, ArmiesWearTheirPresetsAndABrowseIndexOutsideTheTableChangesNothing) {
    standing<Healer>(1, 0, 2);
    standing<Healer>(2, 2, 2);

    afterHeroChoice();
    drawFrame();
    expectDiffuse(materialPresets[5]);   // player 2's army is drawn last

    // Player 2 browsing onto player 1's choice is moved on by one, in the frame.
    choosingHeroes = p2ChoosingHero = true;
    p1Material = 3;
    materialBrowse = 3;
    drawFrame();
    EXPECT_EQ(materialBrowse, 4);
    expectDiffuse(materialPresets[4]);

    // Past the end of the table: player 1's preset 16 is applied first, then nothing.
    p1Material = 16;
    materialBrowse = 16;
    drawFrame();
    EXPECT_EQ(materialBrowse, 17);
    expectDiffuse(materialPresets[16]);

    // Index 0 applies nothing at all: the material set before the frame stays.
    applyMaterial(whiteMaterial);
    p1Material = 5;
    materialBrowse = 0;
    drawFrame();
    EXPECT_EQ(materialBrowse, 0);
    expectDiffuse(whiteMaterial);
}

TEST_F(SceneTest, HeroChoiceCompletesFromTheFrame) {
    Fighter* chosen = standing<Fighter>(1, 0, 2);
    selectedUnit = chosen;
    chosen->menuOpen = true;
    chosen->canAct = true;
    materialBrowse = 7;

    const std::string out = captureOutput([this] { drawFrame(); });

    EXPECT_NE(out.find("p1 hero selected!"), std::string::npos) << out;
    EXPECT_TRUE(chosen->hero);
    EXPECT_EQ(p1Material, 7);
    EXPECT_EQ(currentPlayer, 2);
    EXPECT_TRUE(p2ChoosingHero);
    EXPECT_TRUE(choosingHeroes);
}

TEST_F(SceneTest, CursorShowsForTwoQuarterSecondsOfEverySecond) {
    afterHeroChoice();
    cursorRow = 1;
    cursorCol = 4;
    lastSecondMark = 20.0f;
    for (float t : {0.0f, 0.1f, 0.2f, 0.55f, 0.7f}) {
        nowSeconds = lastSecondMark + t;
        drawFrame();
        EXPECT_FALSE(isGrey(Frame().square(1, 4))) << "t = " << t;
    }
    for (float t : {0.25f, 0.3f, 0.5f, 0.75f, 0.9f}) {
        nowSeconds = lastSecondMark + t;
        drawFrame();
        EXPECT_TRUE(isGrey(Frame().square(1, 4))) << "t = " << t;
    }
}

TEST_F(SceneTest, ReachDiamondShowsOnlyWhileATargetIsChosen) {
    afterHeroChoice();
    nowSeconds = lastSecondMark + 0.9f;   // cursor hidden
    Archer* archer = standing<Archer>(1, 1, 4);
    selectedUnit = archer;
    archer->menuOpen = true;
    archer->attackRange = 1;
    choosingTarget = true;
    drawFrame();
    Frame reachOne;
    // Grey doubled by the tint (1, 0.7, 0): the plus sign of reach 1.
    for (auto [row, col] : {std::pair{0, 4}, {2, 4}, {1, 3}, {1, 5}}) {
        const PixelColour c = reachOne.square(row, col);
        EXPECT_GT(c.r, 200) << row << "," << col;
        EXPECT_LT(c.b, 20) << row << "," << col;
    }
    EXPECT_TRUE(isGrey(reachOne.square(0, 3)));
    EXPECT_TRUE(isGrey(reachOne.square(1, 6)));

    // A reach outside 1–4 draws the reach-5 diamond.
    archer->attackRange = 12;
    drawFrame();
    Frame reachFive;
    EXPECT_FALSE(isGrey(reachFive.square(1, 9)));
    EXPECT_FALSE(isGrey(reachFive.square(2, 0)));

    // While the attack plays the diamond is gone.
    attackAnimating = true;
    drawFrame();
    EXPECT_TRUE(isGrey(Frame().square(1, 5)));
    attackAnimating = false;

    // And with the menu shut nothing of the acting unit is drawn.
    archer->menuOpen = false;
    drawFrame();
    EXPECT_TRUE(isGrey(Frame().square(1, 5)));
}
