// tests/unit/test_takeback.cpp — u takes back the last unit's steps, the lit square is the step,
// the cursor goes to the side whose turn begins
#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <sstream>

#include "ai/computer.h"
#include "app/camera.h"
#include "app/camera_follow.h"
#include "app/input.h"
#include "game/battle_map.h"
#include "render/looks.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/game_state.h"
#include "rules/keyboard.h"
#include "save/battle_save.h"
#include "tests/support/battle.h"
#include "tests/support/window_link_fake.h"
#include "tests/unit/rules_keys.h"

namespace {

using TakeBackTest = BattleTest;

void step(int arrow) {
    press({arrow, KEY_INSERT});
    glide();
}

// Player 1's Fighter at (2, 0) and Mage at (1, 2) on grass, the Archer
// heroes of startPlaying, player 2's Healer at (5, 0), out of sight.
struct Board {
    Unit* fighter;
    Unit* mage;
    Unit* healer;
};

Board setUp() {
    loadUniformMap(7, 5, 1);
    Board board{nullptr, nullptr, nullptr};
    board.fighter = placeUnit<Fighter>(1, 2, 0);
    board.mage = placeUnit<Mage>(1, 1, 2);
    board.healer = placeUnit<Healer>(2, 5, 0);
    startPlaying();
    idleUpdate();
    return board;
}

std::vector<Unit> everyUnit() {
    std::vector<Unit> units;
    for (const Unit* unit : allUnits) units.push_back(*unit);
    return units;
}

testing::AssertionResult standsAsBefore(const Unit& unit, const Unit& before) {
    if (unit.row == before.row && unit.col == before.col && unit.movePoints == before.movePoints &&
        unit.facing == before.facing && battleMap[unit.row][unit.col].occupant == unit.id &&
        unit.position.x == before.position.x && unit.position.z == before.position.z)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "unit " << unit.id << " at (" << unit.row << ", " << unit.col << ") with "
                                       << unit.movePoints << " points, facing " << unit.facing << "; was at ("
                                       << before.row << ", " << before.col << ") with " << before.movePoints
                                       << ", facing " << before.facing;
}

// u takes back the last mover's steps while it has not acted, the turn has not passed and no
// step showed an enemy; else a line says why. What it leaves is a battle the reader takes.
TEST_F(TakeBackTest, UndoTakesBackTheLastUnitsStepsOrSaysWhyNot) {
    const struct {
        const char* what;
        std::function<Unit*(Board&)> play;   // the unit that goes back where it started, or null
        const char* refusal;
    } cases[] = {
        {"two steps of the Fighter, unit 0",
         [](Board& b) { startStepping(*b.fighter); step(KEY_UP); step(KEY_RIGHT); return b.fighter; }, nullptr},
        {"a step, and the next chosen",
         [](Board& b) { startStepping(*b.mage); step(KEY_RIGHT); press(KEY_LEFT); return b.mage; }, nullptr},
        {"the Mage moved after the Fighter",
         [](Board& b) {
             startStepping(*b.fighter);
             step(KEY_UP);
             press({KEY_HOME, KEY_HOME});
             startStepping(*b.mage);
             step(KEY_DOWN);
             return b.mage;
         }, nullptr},
        {"nothing moved", [](Board&) { return nullptr; }, "NO STEP TO TAKE BACK"},
        {"the Fighter defended",
         [](Board& b) {
             startStepping(*b.fighter);
             step(KEY_UP);
             press({KEY_HOME, KEY_HOME});
             chooseEntry(*b.fighter, 3);
             return nullptr;
         }, "THE UNIT HAS ACTED: ITS STEPS STAND"},
        {"the Healer came into sight",
         [](Board& b) { startStepping(*b.fighter); step(KEY_DOWN); idleUpdate(); return nullptr; },
         "AN ENEMY CAME INTO SIGHT: THE STEPS STAND"},
        {"the turn passed and came back",
         [](Board& b) {
             startStepping(*b.fighter);
             step(KEY_UP);
             onKeyboard('t', 0, 0);
             onKeyboard('t', 0, 0);
             return nullptr;
         }, "NO STEP TO TAKE BACK"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        resetBattleState();
        Board board = setUp();
        const std::vector<Unit> atStart = everyUnit();
        Unit* back = c.play(board);
        const std::vector<Unit> beforeUndo = everyUnit();
        const int revision = battleRevision;
        onKeyboard('u', 0, 0);
        for (const Unit* unit : allUnits)
            EXPECT_TRUE(standsAsBefore(*unit, unit == back ? atStart[unit->id] : beforeUndo[unit->id]));
        if (c.refusal) {
            EXPECT_STREQ(notice, c.refusal);
            EXPECT_EQ(noticeSeconds, NOTICE_SECONDS);
            EXPECT_EQ(battleRevision, revision) << "nothing to keep";
            continue;
        }
        EXPECT_EQ(noticeSeconds, 0);
        EXPECT_TRUE(cursorSquare() == Square({back->row, back->col}) && cursorOnUnit && selectedUnit == back);
        EXPECT_FALSE(choosingMove || back->menuOpen);
        EXPECT_GT(battleRevision, revision) << "the kept battle follows";
        std::stringstream kept;
        writeSave(captureBattle(), kept);
        SavedBattle read;
        EXPECT_EQ(readSave(kept, read), "");
        onKeyboard('u', 0, 0);
        EXPECT_STREQ(notice, "NO STEP TO TAKE BACK") << "once";
    }
}

// The square lit in a step choice is the one Insert steps to; unlit, a line says why and
// Insert does nothing. The Fighter stands at (3, 2), the Mage above it.
TEST_F(TakeBackTest, TheLitSquareIsTheStepInsertTakes) {
    const struct {
        std::initializer_list<int> keys;
        StepVerdict verdict;
        const char* line;
    } cases[] = {
        {{}, STEP_OWN_SQUARE, "ARROW TO A SQUARE BESIDE THE UNIT"},
        {{KEY_RIGHT}, STEP_READY, ""},
        {{KEY_DOWN}, STEP_READY, ""},
        {{KEY_RIGHT, KEY_DOWN}, STEP_NOT_NEIGHBOUR, "NOT A NEIGHBOUR: ARROW BACK TO THE UNIT"},
        {{KEY_LEFT, KEY_UP}, STEP_NOT_NEIGHBOUR, "NOT A NEIGHBOUR: ARROW BACK TO THE UNIT"},
        {{KEY_RIGHT, KEY_LEFT}, STEP_OWN_SQUARE, "ARROW TO A SQUARE BESIDE THE UNIT"},
        {{KEY_UP}, STEP_OCCUPIED, "NO STEP: THAT SQUARE IS TAKEN"},
    };
    for (const auto& c : cases) {
        resetBattleState();
        loadUniformMap(7, 5, 1);
        Unit* fighter = placeUnit<Fighter>(1, 3, 2);
        placeUnit<Mage>(1, 2, 2);
        startPlaying();
        startStepping(*fighter);
        press(c.keys);
        SCOPED_TRACE(c.line);
        EXPECT_EQ(stepVerdict(), c.verdict);
        EXPECT_STREQ(stepVerdictLine(c.verdict), c.line);
        const Square lit = cursorSquare();
        press(KEY_INSERT);
        glide();
        const bool moved = !standsOn(*fighter, 3, 2);
        EXPECT_EQ(moved, c.verdict == STEP_READY);
        if (moved) {
            EXPECT_TRUE(standsOn(*fighter, lit.first, lit.second));
        }
    }
    // With no points left the Move entry says so.
    resetBattleState();
    loadUniformMap(7, 5, 1);
    Unit* fighter = placeUnit<Fighter>(1, 3, 2);
    startPlaying();
    fighter->movePoints = 0;
    chooseEntry(*fighter, 4);
    EXPECT_FALSE(choosingMove);
    EXPECT_STREQ(notice, "NO STEP: NO MOVEMENT POINTS LEFT");
}

// After the hero choice the cursor rests on the first unit of the side to play, and in
// hot-seat the camera leaves the start view for player 1's home; after the computer's turn
// the cursor rests on the person's first living unit. Through the computer's turn the camera
// keeps the person's height and angles, moving to what the computer does; after it, it glides
// back to the view the person had, zoom and all.
TEST_F(TakeBackTest, TheCursorGoesToTheSideWhoseTurnBegins) {
    loadUniformMap(7, 5, 1);
    windowWidth = 800;
    windowHeight = 600;
    Unit* p1 = placeUnit<Fighter>(1, 1, 1);
    Unit* p1Hero = placeUnit<Mage>(1, 0, 3);
    Unit* p2 = placeUnit<Fighter>(2, 5, 2);
    Unit* p2Hero = placeUnit<Mage>(2, 6, 0);
    startingView();
    followBattle(0);
    captureOutput([&] {
        openMenuOf(*p1Hero);
        checkHeroChoice();
    });
    EXPECT_TRUE(cursorSquare() == Square({p2->row, p2->col}) && selectedUnit == p2) << "player 2's first unit";
    followBattle(1);
    EXPECT_TRUE(cameraEye.x == 6 && cameraEye.y == 10 && cameraEye.z == 13 && cameraYaw == -90) << "the start view";
    captureOutput([&] {
        openMenuOf(*p2Hero);
        checkHeroChoice();
    });
    followBattle(1);
    EXPECT_EQ(cameraYaw, 90) << "player 1's home";
    EXPECT_TRUE(cursorSquare() == Square({p1->row, p1->col}) && selectedUnit == p1) << "player 1's first unit";

    for (int person : {1, 2}) {
        SCOPED_TRACE(person);
        resetBattleState();
        loadUniformMap(7, 5, 1);
        Unit* fallen = placeUnit<Archer>(1, 2, 0);
        Unit* first1 = placeUnit<Fighter>(1, 1, 3);
        placeUnit<Healer>(1, 0, 1);
        Unit* first2 = placeUnit<Fighter>(2, 6, 4);
        placeUnit<Mage>(2, 5, 1);
        fallen->dead = true;
        fallen->hp = 0;
        fallen->canAct = false;
        battleMap[2][0].occupant = -1;
        captureOutput([&] { chooseHeroes(*allUnits[2], *allUnits[4]); });
        windowWidth = 800;
        windowHeight = 600;
        personSide = person;
        placeCameraAtHome(person);
        Vector eye, centre;
        aimFreeCamera(eye, centre);
        while (cameraEye.y > 2.5f) dispatch({CMD_ZOOM, 1});   // close over the person's own rows
        const CameraPose chosen = cameraPose();
        commander[person == 1 ? 2 : 1] = BY_COMPUTER;
        computerPace = 0;
        if (person == 1) captureOutput([] { dispatch({CMD_KEY, 'e'}); });
        browseTo(0, 0);
        bool followed = false, heightKept = true;
        captureOutput([&] {
            for (int frame = 0; frame < 20000 && !personMayCommand(); frame++) {
                frameSeconds = 1 / 30.0f;
                idleUpdate();
                if (bannerUp()) bannerSeconds = 3;   // each banner's three seconds at once
                updateBanners();
                if (int key = computerTick(frameSeconds)) dispatch(computerKey(key));
                checkHeroChoice();
                followBattle(frameSeconds);
                followed |= cameraEye.x != chosen.eye.x || cameraEye.z != chosen.eye.z;
                heightKept &= cameraEye.y == chosen.eye.y && cameraPitch == chosen.pitch && cameraYaw == chosen.yaw;
            }
        });
        EXPECT_EQ(currentPlayer, person);
        const Unit* first = person == 1 ? first1 : first2;
        EXPECT_TRUE(cursorSquare() == Square({first->row, first->col}) && selectedUnit == first);
        EXPECT_TRUE(followed && heightKept);
        EXPECT_TRUE(cameraGliding) << "back to the person's view";
        for (int frame = 0; frame < 30; frame++) followBattle(1 / 30.0f);
        EXPECT_TRUE(cameraEye.x == chosen.eye.x && cameraEye.y == chosen.eye.y && cameraEye.z == chosen.eye.z);
    }
}

}  // namespace
