// tests/unit/test_keyboard.cpp — the character keys
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "app/camera.h"
#include "game/battle_map.h"
#include "render/looks.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/keyboard.h"
#include "tests/support/battle.h"
#include "tests/support/window_link_fake.h"
#include "tests/unit/rules_keys.h"

namespace {

void type(unsigned char key) { onKeyboard(key, 0, 0); }

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
    EXPECT_EQ(windowLinkRecord.redisplays, 0);
    EXPECT_EQ(typeAndCapture('s'), "Switching to \"Magma Lake.\"\n");
    EXPECT_EQ(skyChoice, 1);
}

TEST_F(KeyboardTest, MaterialKeyBrowsesPresetsOnlyDuringTheHeroChoice) {
    ASSERT_EQ(materialBrowse, 16);
    type('m');   // 16 -> 17 -> 0: no preset for this press
    EXPECT_EQ(materialBrowse, 0);
    EXPECT_TRUE(windowLinkRecord.materials.empty());
    EXPECT_EQ(windowLinkRecord.redisplays, 1);

    for (int preset = 1; preset <= MATERIAL_COUNT; preset++) {
        type('m');
        EXPECT_EQ(materialBrowse, preset);
        ASSERT_EQ(windowLinkRecord.materials.size(), size_t(preset));
        const MaterialPreset& applied = windowLinkRecord.materials.back();
        EXPECT_EQ(std::memcmp(&applied, &materialPresets[preset], sizeof applied), 0) << preset;
    }
    type('m');
    EXPECT_EQ(materialBrowse, 0);
    EXPECT_EQ(windowLinkRecord.materials.size(), size_t(MATERIAL_COUNT));

    choosingHeroes = false;
    windowLinkRecord = WindowLinkRecord();
    type('m');
    EXPECT_EQ(materialBrowse, 0);
    EXPECT_EQ(windowLinkRecord.redisplays, 0);
    EXPECT_TRUE(windowLinkRecord.materials.empty());
}

TEST_F(KeyboardTest, TSwapsThePlayerAndTheSideShownButStartsNoTurn) {
    loadUniformMap(7, 2, 1);
    Mage* own = placeUnit<Mage>(1, 0, 0);
    Mage* other = placeUnit<Mage>(2, 6, 0);
    choosingHeroes = p1ChoosingHero = false;
    own->movePoints = 2;
    other->canAct = false;
    other->movePoints = 1;
    type('t');
    EXPECT_EQ(currentPlayer, 2);
    EXPECT_TRUE(other->visible);
    EXPECT_FALSE(own->visible);
    EXPECT_TRUE(own->canAct) << "actions are kept";
    EXPECT_EQ(own->movePoints, 2);
    EXPECT_FALSE(other->canAct);
    EXPECT_EQ(other->movePoints, 1);
    EXPECT_FALSE(bannerP1EndTurn);

    // Player 2 has nothing left: any special key hands the turn back, and
    // player 1 starts afresh.
    press(KEY_F2);
    EXPECT_EQ(currentPlayer, 1);
    EXPECT_TRUE(own->visible);
    EXPECT_FALSE(other->visible);
    EXPECT_EQ(own->movePoints, 5);
    EXPECT_TRUE(bannerP2EndTurn);
    type('t');
    EXPECT_EQ(currentPlayer, 2);
    type('t');
    EXPECT_EQ(currentPlayer, 1);
    EXPECT_TRUE(own->visible);
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

TEST_F(KeyboardTest, ViewAndLightingKeysToggleAndTellTheWindow) {
    type('v');
    EXPECT_FALSE(perspectiveView);
    EXPECT_EQ(windowLinkRecord.projections, 1);
    type('v');
    EXPECT_TRUE(perspectiveView);
    EXPECT_EQ(windowLinkRecord.projections, 2);

    type('l');
    EXPECT_TRUE(lightingOn);
    type('l');
    EXPECT_FALSE(lightingOn);
    EXPECT_EQ(windowLinkRecord.lighting, (std::vector<bool>{true, false}));
    EXPECT_EQ(windowLinkRecord.redisplays, 4);

    type('h');
    EXPECT_TRUE(helpShown);
    type('h');
    EXPECT_FALSE(helpShown);
    EXPECT_EQ(windowLinkRecord.redisplays, 6);
}

// c: wherever the camera went and whatever the right button chose, the
// free camera's start, or for player 2 the same turned half round the
// middle of the board (x 2.5, z 4.5 here).
TEST_F(KeyboardTest, CameraKeyBringsTheStartViewOfThePlayerWhoseTurnItIs) {
    loadUniformMap(7, 5, 1);
    const struct { int player; Vector eye; float yaw; } homes[] = {
        {1, Vector(6, 10, 13), -90},
        {2, Vector(-1, 10, -4), 90},
    };
    for (const auto& home : homes) {
        currentPlayer = home.player;
        cameraEye = Vector(40, -20, 3);
        cameraYaw = cameraPitch = 7;
        interactionMode = MODE_ROTATE;
        orbitView = true;
        type('c');
        EXPECT_EQ(cameraEye.x, home.eye.x);
        EXPECT_EQ(cameraEye.y, home.eye.y);
        EXPECT_EQ(cameraEye.z, home.eye.z);
        EXPECT_EQ(cameraYaw, home.yaw);
        EXPECT_EQ(cameraPitch, -60);
        EXPECT_EQ(interactionMode, MODE_FREE);
        EXPECT_FALSE(orbitView);
    }
}

TEST_F(KeyboardTest, CameraKeysAreHeldAndTogglesNeedNoRedraw) {
    for (unsigned char key : {'+', '-', '2', '4', '6', '8'}) type(key);
    EXPECT_TRUE(heldPlus && heldMinus && held2 && held4 && held6 && held8);
    EXPECT_EQ(cameraEye.x, 6) << "the eye moves in the per-frame update, not here";

    type('b');
    type('f');
    EXPECT_TRUE(showUnitSphere);
    EXPECT_TRUE(showSightSphere);
    type('b');
    EXPECT_FALSE(showUnitSphere);
    EXPECT_EQ(windowLinkRecord.redisplays, 0);

    for (unsigned char key : {'r', 'R'}) {
        cameraYaw = 10;
        cameraPitch = 20;
        type(key);
        EXPECT_EQ(cameraYaw, -90) << key;
        EXPECT_EQ(cameraPitch, -60) << key;
    }
    EXPECT_EQ(windowLinkRecord.redisplays, 2);
    for (unsigned char key : {'n', 'N', 'x', 'd'}) type(key);
    EXPECT_EQ(windowLinkRecord.redisplays, 6);
}

TEST_F(KeyboardTest, UpperCaseLettersOtherThanQPRAndNDoNothing) {
    loadUniformMap(7, 2, 1);
    placeUnit<Fighter>(1, 0, 0);
    for (unsigned char key : {'B', 'F', 'L', 'M', 'S', 'T', 'V', 'z', 'X', 'D'}) {
        EXPECT_EQ(typeAndCapture(key), "") << key;
    }
    EXPECT_FALSE(showUnitSphere);
    EXPECT_FALSE(showSightSphere);
    EXPECT_FALSE(lightingOn);
    EXPECT_EQ(materialBrowse, 16);
    EXPECT_EQ(skyChoice, 0);
    EXPECT_EQ(currentPlayer, 1);
    EXPECT_TRUE(perspectiveView);
    EXPECT_EQ(windowLinkRecord.redisplays, 0);
}

}  // namespace
