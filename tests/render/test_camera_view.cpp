// tests/render/test_camera_view.cpp — the window's projections when a minimised window reports no
// height, and the camera's home against the computer
#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "ai/computer.h"
#include "app/camera.h"
#include "app/camera_follow.h"
#include "app/window.h"
#include "game/random.h"
#include "game/startup.h"
#include "render/board.h"
#include "render/looks.h"
#include "rules/game_state.h"
#include "rules/movement.h"
#include "tests/render/gl_harness.h"
#include "tests/render/reference_frame.h"
#include "tests/unit/rules_keys.h"

TEST(CameraViewTest, HeightZeroLeavesBothProjectionsFinite) {
    ensureGlWindow();
    for (bool perspective : {true, false}) {
        perspectiveView = perspective;
        onReshape(640, 0);
        std::vector<float> projection(16);
        glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
        for (float v : projection) EXPECT_TRUE(std::isfinite(v)) << "perspective " << perspective;
        EXPECT_EQ(windowHeight, 1);
    }
    perspectiveView = true;
    onReshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
}

// A person against the computer, the first turn begun, on the smallest
// bundled field and the widest: the person's army nearest, the whole board
// and its units in the window, clear of the lines, the band and the panels,
// the sky whole round it (the far walls of the widest lie beyond the far
// plane). On the first, the battle speed is 4, said in the band of hints.
TEST(CameraViewTest, HomeLooksAcrossTheBoardFromBehindThePersonsArmy) {
    ensureGlWindow();
    const std::vector<BoardBlock> fixtureBoard = boardBlocks;
    const struct { const char* map; int speed; const char* frame; } homes[] = {
        {"maps/skirmish.txt", 4, "home_skirmish"},
        {"maps/wide-field.txt", 1, "home_wide_field"},
    };
    for (const auto& home : homes) {
        SCOPED_TRACE(home.map);
        resetBattleState();
        std::ifstream file(home.map, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        loadMap(text.str());
        seedRandom(3);
        ArmyCounts counts;
        counts.fill(2);
        captureOutput([&] { placeArmies(counts); });
        captureOutput([] { chooseHeroes(*allUnits[0], *allUnits[10]); });
        bannerP1BeginTurn = firstTurn = false;   // the first turn's banner has had its time
        commander[2] = BY_COMPUTER;
        personSide = 1;
        battleSpeed = home.speed;
        boardBlocks.clear();
        buildBoardLists();
        onReshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
        startingView();
        updateVisibility(1);
        drawWindowFrame(100.1);
        EXPECT_TRUE(matchesReference(readBackBuffer(), home.frame));
        for (const BoardBlock& block : boardBlocks) glDeleteLists(block.list, 1);
    }
    boardBlocks = fixtureBoard;
    resetBattleState();
    reloadFixtureMap();
}
