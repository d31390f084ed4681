// tests/unit/test_keyboard.cpp — the character keys of the view
#include <string>

#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/input.h"
#include "game/battle_map.h"
#include "render/looks.h"
#include "rules/game_state.h"
#include "tests/support/battle.h"
#include "tests/support/window_link_fake.h"

namespace {

void type(unsigned char key) { dispatch({CMD_KEY, key}); }

std::string typeAndCapture(unsigned char key) {
    return captureOutput([key] { type(key); });
}

using KeyboardTest = BattleTest;
using KeyboardDeathTest = BattleTest;

TEST_F(KeyboardDeathTest, EscapeAndQEndTheProgramWithStatusZero) {
    EXPECT_EXIT(type(27), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(type('q'), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(type('Q'), testing::ExitedWithCode(0), "");
}

TEST_F(KeyboardTest, SixBackdropPressesGoRoundToCelestialCalm) {
    std::string out;
    for (int i = 0; i < 6; i++) out += typeAndCapture('s');
    EXPECT_EQ(out,
              "Switching to \"Magma Lake.\"\n"
              "Switching to \"Depths O' The Fishtank.\"\n"
              "Switching to \"Voodoo Lounge.\"\n"
              "Switching to \"Blue Blot.\"\n"
              "Switching to \"Space Endeavors.\"\n"
              "Switching to \"Celestial Calm.\"\n");
    EXPECT_EQ(skyChoice, 0);
}

TEST_F(KeyboardTest, PrintoutsShowWhereUnitsStandAndTheTerrain) {
    loadMap("12#\n12#\n12#\n12#\n12#\n12#\n12#");
    ASSERT_EQ(placeUnit<Fighter>(1, 5, 0)->id, 0);   // id 0 prints like an empty square
    ASSERT_EQ(placeUnit<Fighter>(1, 0, 1)->id, 1);

    EXPECT_EQ(typeAndCapture('p'),
              "\nPRINTING OUT MAP WITH OCCUPIED\n"
              " 0  1 \n 0  0 \n 0  0 \n 0  0 \n 0  0 \n 0  0 \n 0  0 \n");
    EXPECT_EQ(typeAndCapture('P'),
              "\nPRINTING OUT MAP WITH ID NUMBERS\n"
              " 1  2 \n 1  2 \n 1  2 \n 1  2 \n 1  2 \n 1  2 \n 1  2 \n");
}

// c: the camera glides home, out of any mode of the middle button's menu:
// in hot-seat to the side whose turn it is, against the computer to the person's.
TEST_F(KeyboardTest, CameraKeyGlidesHomeForTheSideItServes) {
    loadUniformMap(7, 5, 1);
    windowWidth = 800;
    windowHeight = 600;
    choosingHeroes = p1ChoosingHero = false;
    const struct { int player, person, home; } homes[] = {{1, 0, 1}, {2, 0, 2}, {2, 1, 1}, {1, 2, 2}};
    for (const auto& h : homes) {
        SCOPED_TRACE(std::to_string(h.player) + " on turn, person " + std::to_string(h.person));
        currentPlayer = h.player;
        personSide = h.person;
        cameraEye = Vector(40, -20, 3);
        cameraYaw = cameraPitch = 7;
        interactionMode = MODE_ROTATE;
        orbitView = true;
        type('c');
        EXPECT_TRUE(interactionMode == MODE_FREE && !orbitView && cameraGliding);
        for (int frame = 0; frame < 40; frame++) glideCamera(1 / 60.0f);
        const CameraPose home = homeView(7, 5, h.home, 800, 600);
        EXPECT_TRUE(cameraEye.x == home.eye.x && cameraEye.y == home.eye.y && cameraEye.z == home.eye.z);
        EXPECT_TRUE(cameraYaw == home.yaw && cameraPitch == home.pitch) << cameraYaw << ", " << cameraPitch;
    }
}

}  // namespace
