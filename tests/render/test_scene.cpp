// tests/render/test_scene.cpp — the composed frame: matrix balance, materials, labels, reach, hero choice
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <GL/glut.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/textures.h"
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
#include "rules/feedback.h"
#include "rules/movement.h"
#include "rules/window_link.h"
#include "app/window.h"
#include "save/battle_save.h"
#include "tests/render/gl_harness.h"
#include "tests/render/reference_frame.h"
#include "tests/support/battle.h"

namespace {

// Looking straight down on the board, orthographic, 40 pixels to a square:
// world x 0 … 11 runs right, world z 0 … 5.5 runs down the screen.
constexpr int VIEW_WIDTH = 440, VIEW_HEIGHT = 220;
constexpr float PIXELS_PER_UNIT = 40;

// The board square's colour seen from above, off the centre, clear of any model there.
class Frame {
public:
    Frame() : picture(readBackBuffer()) {}
    PixelColour square(int row, int col) const {
        const Vector& c = battleMap[row][col].centre;
        return picture.at(static_cast<int>((c.x + 0.1f) * PIXELS_PER_UNIT),
                          static_cast<int>(VIEW_HEIGHT - (c.z + 0.1f) * PIXELS_PER_UNIT));
    }
    int count(const PixelBox& box, PixelColour colour) const {
        return picture.countIn(box.left, box.bottom, box.right, box.top, colour, 0);
    }

private:
    WindowPicture picture;
};

bool isGrey(const PixelColour& c) { return closeTo(c, {128, 128, 128}, 0); }

GLint glInteger(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

void expectDiffuse(const MaterialPreset& preset) {
    float diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(diffuse[i], preset.diffuse[i]) << "component " << i;
}

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
        boardList = emptyList();   // a plain grey floor shows the reach tints exactly
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

    Frame drawFrame() {
        setTopView(128 / 255.0f);
        drawScene();
        return Frame();
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

}  // namespace

TEST_F(SceneTest, FrameLeavesMatrixStacksProjectionAndLightingAsItFoundThem) {
    Unit* archer = standing<Archer>(1, 0, 1);
    Unit* attackers[] = {archer, standing<Fighter>(1, 0, 3), standing<Flier>(2, 2, 5), standing<Healer>(2, 2, 7),
                         standing<Mage>(1, 1, 9)};
    Unit* mage = attackers[4];

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
                              targetUnit = archer == attacker ? mage : archer;
                              attacker->menuOpen = cursorOnUnit = attackAnimating = true;
                              aimPoint = targetUnit->position;
                              lungeEffect.current = aimPoint;
                              particleStyle = 2;
                              actionCounter = 300;   // the Healer's second burst too
                          }});

    for (auto& [name, prepare] : frames) {
        for (Unit* u : allUnits) u->menuOpen = false;
        cursorOnUnit = choosingTarget = attackAnimating = missShown = false;
        prepare();
        setTopView(0);
        const GLint modelView = glInteger(GL_MODELVIEW_STACK_DEPTH), projection = glInteger(GL_PROJECTION_STACK_DEPTH);
        const bool perspective = perspectiveView;
        captureOutput([] { drawScene(); });
        EXPECT_EQ(glInteger(GL_MODELVIEW_STACK_DEPTH), modelView) << name;
        EXPECT_EQ(glInteger(GL_PROJECTION_STACK_DEPTH), projection) << name;
        EXPECT_EQ(perspectiveView, perspective) << name;
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << name;
        EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_MODELVIEW) << name;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << name;
    }
}

TEST_F(SceneTest, StatusLabelsShowTheLivingUnitUnderTheCursorUnlessAnOpaqueBannerCoversThem) {
    afterHeroChoice();
    Mage* enemy = standing<Mage>(2, 1, 4);
    enemy->hp = 37;
    enemy->maxHp = 100;
    enemy->mp = 5;
    enemy->maxMp = 20;
    enemy->movePoints = 3;
    selectedUnit = enemy;
    cursorOnUnit = true;
    // The numbers show in red at x −0.85 … −0.2, y −0.85 … −0.45 of the
    // overlay pass (−2 … 2 by −1 … 1 over the viewport).
    const PixelBox labels{126, 16, 198, 60};
    const Frame withPanel = drawFrame();
    EXPECT_STREQ(hpLabel, "37/100");
    EXPECT_STREQ(mpLabel, "5/20");
    EXPECT_STREQ(moveLabel, "3");
    EXPECT_GT(withPanel.count(labels, {255, 0, 0}), 100);

    // An opaque turn banner over the whole view hides them and their shadows.
    const PixelColour BANNER{200, 120, 40};
    SolidTextures banner{{TEX_P1_BEGIN_TURN, BANNER}};
    bannerP1BeginTurn = true;
    EXPECT_EQ(drawFrame().count(labels, BANNER), (198 - 126 + 1) * (60 - 16 + 1));
    bannerP1BeginTurn = false;

    // No panel, so no new numbers, for a dead unit or with the cursor off the unit.
    enemy->dead = true;
    enemy->hp = -4;
    drawFrame();
    EXPECT_STREQ(hpLabel, "37/100");
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
    standing<Fighter>(2, 6, 2);   // a side without an army would lose at once instead
    selectedUnit = chosen;
    chosen->menuOpen = chosen->canAct = true;
    materialBrowse = 7;
    const std::string out = captureOutput([this] { drawFrame(); });
    EXPECT_NE(out.find("p1 hero selected!"), std::string::npos) << out;
    EXPECT_TRUE(chosen->hero);
    EXPECT_EQ(p1Material, 7);
    EXPECT_EQ(currentPlayer, 2);   // the rest of the hand-over is the turn rules' own
}

TEST_F(SceneTest, ReachDiamondShowsOnlyWhileATargetIsChosen) {
    afterHeroChoice();
    nowSeconds = lastSecondMark + 0.9f;   // the cursor dim, and away on (0, 0)
    Archer* archer = standing<Archer>(1, 1, 4);
    selectedUnit = archer;
    archer->menuOpen = true;
    archer->attackRange = 1;
    choosingTarget = true;
    // The reach-1 plus sign (its shape is the board's concern): grey doubled by the tint (1, 0.7, 0).
    const Frame reachOne = drawFrame();
    EXPECT_GT(reachOne.square(1, 5).r, 200);
    EXPECT_LT(reachOne.square(1, 5).b, 20);
    EXPECT_TRUE(isGrey(reachOne.square(1, 6)));

    // A reach outside 1–4 draws the reach-5 diamond.
    archer->attackRange = 12;
    const Frame reachFive = drawFrame();
    EXPECT_FALSE(isGrey(reachFive.square(1, 9)));
    EXPECT_FALSE(isGrey(reachFive.square(2, 0)));

    // While the attack plays the diamond is gone; with the menu shut nothing of the acting unit is drawn.
    attackAnimating = true;
    EXPECT_TRUE(isGrey(drawFrame().square(1, 5)));
    attackAnimating = false;
    archer->menuOpen = false;
    EXPECT_TRUE(isGrey(drawFrame().square(1, 5)));
}

namespace {

// Whole frames of the game, as the window draws them, over the fixture map
// of every terrain (8 rows of 10) seen from close by. The terrains and the
// sky are plain colours, so that what a frame adds stands out (and the
// pictures stay small); the panels, the menu and the banners are the game's own.
class GameFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlWindow();
        resetBattleState();
        reloadFixtureMap();
        onReshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
        savedTicks = tickSource;
        choosingHeroes = p1ChoosingHero = false;
        p1Material = 4;
        p2Material = 8;
        cameraEye = Vector(5, 6, 12);
        cameraPitch = -50;
        plain = std::make_unique<SolidTextures>(std::initializer_list<std::pair<int, PixelColour>>{
            {TEX_GRASS, {96, 140, 80}},  {TEX_MOUNTAIN, {130, 120, 110}}, {TEX_DESERT, {200, 180, 120}},
            {TEX_WATER, {70, 110, 170}}, {TEX_ELECTRIC, {150, 110, 190}}, {TEX_CHAOS, {170, 90, 90}},
            {TEX_SKY_SAD_SEA, {20, 24, 48}}});
    }
    void TearDown() override {
        plain.reset();
        tickSource = savedTicks;
    }

    template <class T> T* unit(int player, int row, int col, int hp = 0) {
        T* placed = placeUnit<T>(player, row, col);
        if (hp) placed->hp = hp;
        return placed;
    }

    // The frame at a fixed clock, with the cursor bright or dim (the clock's
    // tick after the scene formats the HUD lines); the battle is not kept on disk.
    WindowPicture frame(bool cursorBright) {
        updateVisibility(currentPlayer);
        fixTicks(101500);
        nowSeconds = cursorBright ? 100.1 : 100.3;
        lastSecondMark = 100;
        keptRevision = battleRevision;
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();   // as the window has it: the HUD lines take the matrix they find
        onDisplay();
        return readBackBuffer();
    }

    std::unique_ptr<SolidTextures> plain;
    uint32_t (*savedTicks)() = nullptr;
};

}  // namespace

// Player 1's Archer aims at a wounded Healer: its numbers and the odds panel
// at the bottom left, the menu at the right, the reach diamond, a bright
// cursor on the target; HP bars over every unit in sight, the number a blow
// on the Mage left rising, the Fighter that has acted dimmed, the turn's line.
TEST_F(GameFrameTest, AimingShowsTheOddsTheBarsTheRisingNumberTheTurnAndWhoHasActed) {
    Archer* archer = unit<Archer>(1, 2, 4);
    unit<Fighter>(1, 2, 6)->canAct = false;
    unit<Mage>(1, 1, 2);
    unit<Healer>(2, 4, 4, 30);
    Mage* struck = unit<Mage>(2, 4, 6, 40);
    unit<Flier>(2, 7, 8);   // out of sight
    noteBlow(*struck, 13, false);
    floatingNumbers[0].age = 0.3f;
    selectedUnit = archer;
    archer->menuOpen = cursorOnUnit = choosingTarget = attackTargetValid = true;
    cursorRow = 4;
    cursorCol = 4;
    EXPECT_TRUE(matchesReference(frame(true), "frame_aiming"));
}

// Player 2's Fighter chooses a step: every square its 5 points reach over
// mixed terrain tinted, the cursor dim; the turn's line in player 2's colour.
TEST_F(GameFrameTest, SteppingTintsTheSquaresInReach) {
    currentPlayer = 2;
    Fighter* fighter = unit<Fighter>(2, 5, 3, 61);
    unit<Mage>(2, 6, 6)->canAct = false;
    unit<Archer>(1, 4, 5);
    selectedUnit = fighter;
    fighter->menuOpen = cursorOnUnit = choosingMove = true;
    menuItem = 4;
    cursorRow = 4;
    cursorCol = 3;
    EXPECT_TRUE(matchesReference(frame(false), "frame_stepping"));
}

// The first turn's banner points to the help, and the help panel covers it.
TEST_F(GameFrameTest, FirstTurnBannerTellsOfTheHelpPanel) {
    unit<Archer>(1, 0, 0);
    firstTurn = bannerP1BeginTurn = helpShown = true;
    EXPECT_TRUE(matchesReference(frame(true), "frame_first_turn_help"));
}

// After the victory banner is put away: the board as the battle ended, with
// the winner's line; the fallen hero's bar empty.
TEST_F(GameFrameTest, AfterTheVictoryTheBoardShowsWhoWonAndWhatNext) {
    unit<Archer>(1, 3, 2);
    unit<Fighter>(2, 4, 4, -6)->hero = true;
    bannerP1Wins = afterVictory = true;
    EXPECT_TRUE(matchesReference(frame(true), "frame_after_victory"));
}
