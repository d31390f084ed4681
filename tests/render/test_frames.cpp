// tests/render/test_frames.cpp — seeded battle scenes drawn with the real textures and compared, whole,
// with their reference pictures: the board, the models of both armies, the overlays and every attack effect
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/window.h"
#include "game/random.h"
#include "render/board.h"
#include "render/frame_clock.h"
#include "render/hud.h"
#include "render/lighting.h"
#include "render/scene.h"
#include "rules/behaviour.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "tests/render/reference_frame.h"
#include "tests/support/battle.h"

namespace {

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlWindow();
        savedBoard = boardList;
        freshBattle();
    }
    void TearDown() override {
        boardList = savedBoard;
        onReshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    }

    // The fixture board after the hero choice, ruby against emerald, the
    // cursor in its hidden quarter-second and the particle pool as built.
    static void freshBattle() {
        resetBattleState();
        reloadFixtureMap();
        choosingHeroes = p1ChoosingHero = false;
        p1Material = 4;
        p2Material = 12;
        nowSeconds = 0.3;
        windowWidth = glutGet(GLUT_WINDOW_WIDTH);
        windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
        for (Particle& p : particles) p = Particle();
        seedRandom(1);   // every roll below hits
    }

    // The scene from eye towards centre in a width × height view at the
    // window's bottom-left corner, on dark grey, and that part of the window.
    static WindowPicture view(const Vector& eye, const Vector& centre, int width, int height) {
        glClearColor(0.25f, 0.25f, 0.25f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0, 0, 0, 1);
        glViewport(0, 0, width, height);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(40, static_cast<double>(width) / height, 0.1, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        placeLights();
        gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0, 1, 0);
        updateViewFrustum();
        drawScene();
        return part(readBackBuffer(), {0, 0, width - 1, height - 1});
    }

    // The overlays alone, in a 640 × 512 window over light grey.
    static WindowPicture overlays() {
        boardList = emptyList();
        onReshape(640, 512);
        glClearColor(0.8f, 0.8f, 0.8f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0, 0, 0, 1);
        glLoadIdentity();
        drawScene();
        drawHud();
        return part(readBackBuffer(), {0, 0, 639, 511});
    }

    unsigned savedBoard = 0;
};

// Starts attacker's attack on target, the one its menu entry item chose, and plays it for the given updates.
void playAttack(Unit& attacker, const Unit& target, int item, int updates) {
    selectedUnit = &attacker;
    attacker.menuOpen = true;
    healChosen = item == 2 && attacker.unitClass == CLASS_HEALER;
    specialChosen = item == 2 && !healChosen;
    cursorRow = target.row;
    cursorCol = target.col;
    frameSeconds = 0.05f;
    captureOutput([&] {
        startAttack();
        for (int i = 0; i < updates; i++) attackStep();
    });
}

}  // namespace

// An Archer of player 1 aims from row 1, column 8 (reach 3 runs off the
// board's far and right edges, where it is cut), the cursor at (2, 7); then
// a close look at the cursor's corner in its hidden quarter-second.
TEST_F(FrameTest, BoardWithReachDiamondAndCursor) {
    Archer* archer = placeUnit<Archer>(1, 1, 8);
    selectedUnit = archer;
    archer->menuOpen = choosingTarget = true;
    cursorRow = 2;
    cursorCol = 7;
    nowSeconds = 0.6;
    EXPECT_TRUE(matchesReference(view({5, 9, 14}, {5, 0, 5}, 320, 256), "board_reach"));
    nowSeconds = 0.3;
    EXPECT_TRUE(matchesReference(view({7.5f, 3, 6.5f}, {7.5f, 0, 3.5f}, 192, 192), "board_close"));
}

// Each class in the order Archer, Fighter, Flier, Healer, Mage, off the
// board: player 1's facing the camera in front, player 2's turned away
// behind them, every idle animation caught away from its rest.
TEST_F(FrameTest, BothArmiesFromTheFrontAndBehind) {
    boardList = emptyList();
    for (int player : {1, 2}) {
        const int row = player == 1 ? 6 : 3;
        Unit* units[] = {placeUnit<Archer>(player, row, 1), placeUnit<Fighter>(player, row, 3),
                         placeUnit<Flier>(player, row, 5), placeUnit<Healer>(player, row, 7),
                         placeUnit<Mage>(player, row, 9)};
        for (int i = 0; i < 5; i++) {
            units[i]->visible = true;
            units[i]->position = Vector(3.3f + 1.3f * i + (player - 1) * 0.65f, 0, player == 1 ? 7.2f : 5.2f);
        }
        auto* archer = static_cast<Archer*>(units[0]);
        archer->swingAngle = 30;
        archer->flexAngle = 6;
        static_cast<Fighter*>(units[1])->crownSpin = 20;
        auto* flier = static_cast<Flier*>(units[2]);
        flier->wingAngle = 20;
        flier->tailAngle = 10;
        flier->ringSpin = 30;
        auto* healer = static_cast<Healer*>(units[3]);
        healer->spinLarge = 30;
        healer->spinMiddle = 60;
        healer->spinSmall = 90;
        static_cast<Mage*>(units[4])->spin = 45;
    }
    // Between them, a fallen Mage and a Fighter out of sight: neither is drawn.
    Unit* fallen = placeUnit<Mage>(1, 0, 0);
    fallen->position = Vector(4, 0.5f, 6.2f);
    fallen->dead = fallen->visible = true;
    placeUnit<Fighter>(2, 0, 2)->position = Vector(6.6f, 0.5f, 6.2f);
    EXPECT_TRUE(matchesReference(view({6, 3.5f, 11.5f}, {6, 0.2f, 6.2f}, 400, 240), "armies"));
}

// A Healer of player 1, wounded, with its menu open on Defend and the
// status panel up; a missed attack's marker; the two HUD lines of the first
// frame. Then the end-of-turn banner over all of it.
TEST_F(FrameTest, OverlaysAndTurnBanner) {
    Healer* healer = placeUnit<Healer>(1, 2, 2);
    healer->hp = 41;
    healer->mp = 70;
    healer->movePoints = 3;
    selectedUnit = healer;
    healer->menuOpen = cursorOnUnit = missShown = true;
    healer->visible = true;   // as the fog leaves its own side
    menuItem = 3;
    fixTicks(4000);
    EXPECT_TRUE(matchesReference(overlays(), "overlays"));
    bannerP1EndTurn = true;
    EXPECT_TRUE(matchesReference(part(overlays(), {300, 260, 539, 379}), "banner_p1_end_turn"));
}

// Each attack effect partway through, as the frame shows it: the volley's
// scattering trail, the Fighter at its lunge point, the Flier's lightning
// turned towards its target, the Healer's healing burst and the Mage's
// explosion at its target.
TEST_F(FrameTest, AttackEffectsMidFlight) {
    // The attacker of player 1 stands on row 3 at col, its target on row 3 at
    // column 5; the attack is played for some updates, then drawn for some
    // frames (each moves the particles on).
    const struct { const char* name; int attacker, col, item, updates, frames; } effects[] = {
        {"effect_volley", CLASS_ARCHER, 2, 1, 60, 1},
        {"effect_lunge", CLASS_FIGHTER, 3, 1, 8, 1},
        {"effect_lightning", CLASS_FLIER, 4, 1, 14, 1},
        {"effect_heal", CLASS_HEALER, 3, 2, 10, 12},
        {"effect_explosion", CLASS_MAGE, 2, 1, 130, 12},
    };
    for (const auto& effect : effects) {
        SCOPED_TRACE(effect.name);
        freshBattle();
        boardList = emptyList();
        Unit* target = placeUnit<Fighter>(2, 3, 5);
        target->visible = true;
        Unit* attacker = placeUnitOfClass(effect.attacker, 1, 3, effect.col);
        attacker->visible = true;
        playAttack(*attacker, *target, effect.item, effect.updates);
        ASSERT_TRUE(attackAnimating);
        WindowPicture frame;
        for (int i = 0; i < effect.frames; i++) frame = view({4.1f, 2.2f, 8.6f}, {4.1f, 0.6f, 4.5f}, 320, 200);
        EXPECT_TRUE(matchesReference(frame, effect.name));
    }
}
