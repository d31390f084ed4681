// tests/render/test_frames.cpp — seeded battle scenes compared, whole, with their reference pictures:
// the board, the models of both armies, the overlays, every attack effect, and whole frames of the game
#include <memory>
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/textures.h"
#include "app/window.h"
#include "game/random.h"
#include "render/board.h"
#include "render/frame_clock.h"
#include "render/guides.h"
#include "render/hud.h"
#include "render/layout.h"
#include "render/lighting.h"
#include "render/looks.h"
#include "render/scene.h"
#include "rules/battle_log.h"
#include "rules/behaviour.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/game_state.h"
#include "rules/keyboard.h"
#include "rules/movement.h"
#include "save/battle_save.h"
#include "tests/render/reference_frame.h"
#include "tests/support/battle.h"
#include "tests/unit/rules_keys.h"

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlWindow();
        savedBoard = boardBlocks;
        freshBattle();
    }
    void TearDown() override {
        boardBlocks = savedBoard;
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
        lookThrough(0, 0, width, height, 40);
        placeLights();
        gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0, 1, 0);
        updateViewFrustum();
        drawScene();
        expectGlStateRestored();
        return part(readBackBuffer(), {0, 0, width - 1, height - 1});
    }

    // The overlays alone, in a 640 × 512 window over light grey.
    static WindowPicture overlays() {
        boardBlocks.clear();   // the pictures hold only what the test is about
        onReshape(640, 512);
        glClearColor(0.8f, 0.8f, 0.8f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0, 0, 0, 1);
        glLoadIdentity();
        drawScene();
        drawHud();
        return part(readBackBuffer(), {0, 0, 639, 511});
    }

    std::vector<BoardBlock> savedBoard;
};

namespace {

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

// Player 1's Archer aims from (1, 8), its reach cut at the far and right edges,
// the cursor at (2, 7); then the cursor's corner close up, in its hidden quarter-second.
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

// Archer to Mage off the board: player 1's facing the camera, player 2's turned
// away behind them, every part of every model caught away from its rest.
TEST_F(FrameTest, BothArmiesFromTheFrontAndBehind) {
    boardBlocks.clear();   // the pictures hold only what the test is about
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
        auto* fighter = static_cast<Fighter*>(units[1]);
        fighter->crownSpin = 20;
        fighter->spikeSpin = 40;
        auto* flier = static_cast<Flier*>(units[2]);
        flier->wingAngle = 20;
        flier->tailAngle = 10;
        flier->ringSpin = 30;
        flier->hoverHeight = 0.2f;
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

// Player 2 browsed past the last preset to 17: its army wears player 1's ruby,
// its Fighter that has acted a dark ruby.
TEST_F(FrameTest, AnArmyOutsideTheMaterialTableWearsTheOneBeforeItDimmedToo) {
    boardBlocks.clear();   // the pictures hold only what the test is about
    p2Material = 17;
    currentPlayer = 2;
    Unit* acted = placeUnit<Fighter>(2, 3, 4);
    Unit* waiting = placeUnit<Archer>(2, 3, 6);
    acted->canAct = false;
    waiting->canAct = true;
    for (Unit* unit : {acted, waiting}) {
        unit->visible = true;
        unit->facing = 0;
    }
    EXPECT_TRUE(matchesReference(view({5.5f, 1.4f, 6.6f}, {5.5f, 0.3f, 4.5f}, 240, 160), "army_inherited_dimmed"));
}

// A wounded Healer's menu on Defend, the status panel, a miss marker, the HUD lines;
// then the end-of-turn banner over it and player 2's victory over that (the last flag wins).
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
    bannerP2Wins = true;
    victorySeconds = VICTORY_BANNER_DELAY;
    EXPECT_TRUE(matchesReference(part(overlays(), {300, 260, 539, 379}), "banner_p2_wins"));
}

// Each attack effect partway through, as the frame shows it; drawing it leaves the rolls alone.
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
        boardBlocks.clear();   // the pictures hold only what the test is about
        Unit* target = placeUnit<Fighter>(2, 3, 5);
        target->visible = true;
        Unit* attacker = placeUnitOfClass(effect.attacker, 1, 3, effect.col);
        attacker->visible = true;
        playAttack(*attacker, *target, effect.item, effect.updates);
        ASSERT_TRUE(attackAnimating);
        WindowPicture frame;
        const unsigned rolls = randomGeneratorState();
        for (int i = 0; i < effect.frames; i++) frame = view({4.1f, 2.2f, 8.6f}, {4.1f, 0.6f, 4.5f}, 320, 200);
        EXPECT_EQ(randomGeneratorState(), rolls) << "drawing the effect took numbers from the rolls";
        EXPECT_TRUE(matchesReference(frame, effect.name));
    }
}

// Whole frames of the game over the every-terrain fixture (8 × 10), seen from close by;
// terrains and sky are plain colours so that what a frame adds stands out.
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

    // The unit's menu open and its entry taken (aiming at a valid target, or Move), the cursor at (row, col).
    static void choosing(Unit* chooser, bool aiming, int row, int col) {
        selectedUnit = chooser;
        chooser->menuOpen = cursorOnUnit = true;
        (aiming ? choosingTarget : choosingMove) = true;
        attackTargetValid = aiming;
        if (!aiming) menuItem = 4;
        cursorRow = row;
        cursorCol = col;
    }

    // The frame at a fixed clock, with the cursor bright or dim.
    WindowPicture frame(bool cursorBright) {
        updateVisibility(currentPlayer);
        drawWindowFrame(cursorBright ? 100.1 : 100.3);
        expectGlStateRestored();
        return readBackBuffer();
    }

    std::unique_ptr<SolidTextures> plain;
    uint32_t (*savedTicks)() = nullptr;
};

// Player 1's Archer aims at a wounded Healer: numbers, odds, menu, reach, bright cursor,
// HP bars, the number a blow on the Mage left rising, the acted Fighter dimmed, the turn's line.
TEST_F(GameFrameTest, AimingShowsTheOddsTheBarsTheRisingNumberTheTurnAndWhoHasActed) {
    Archer* archer = unit<Archer>(1, 2, 4);
    unit<Fighter>(1, 2, 6)->canAct = false;
    unit<Mage>(1, 1, 2);
    unit<Healer>(2, 4, 4, 30);
    Mage* struck = unit<Mage>(2, 4, 6, 40);
    unit<Flier>(2, 7, 8);   // out of sight
    noteBlow(*struck, 13, false);
    floatingNumbers[0].age = 0.3f;
    choosing(archer, true, 4, 4);
    EXPECT_TRUE(matchesReference(frame(true), "frame_aiming"));
}

// Against the computer, at home in an 800 x 600 window: the person's Fighter (player 2's) in
// the front row chooses a step, the squares its points reach tinted, the cursor dim and
// crossed out on its Mage's square, where it cannot step; the status panel reads it, and the
// line telling the step stands over the board, not on its units.
TEST_F(GameFrameTest, SteppingAtHomeTintsTheReachAndTellsTheStepClearOfTheUnits) {
    personSide = currentPlayer = 2;
    computerCommands[1] = true;
    Fighter* fighter = unit<Fighter>(2, 7, 4, 61);
    unit<Mage>(2, 7, 5)->canAct = false;
    unit<Archer>(2, 7, 2);
    unit<Healer>(2, 6, 3);
    unit<Fighter>(1, 4, 5);
    choosing(fighter, false, 7, 5);
    onReshape(800, 600);
    placeCameraAtHome(2);
    EXPECT_TRUE(matchesReference(part(frame(false), {0, 0, 799, 599}), "frame_stepping_home_800x600"));
}

// Aiming at the Healer, pointing at the Mage in reach: its hover mark, its status and the odds on it.
TEST_F(GameFrameTest, PointingAtAUnitReadsItAndTheOddsOfAStrikeAtIt) {
    Archer* archer = unit<Archer>(1, 2, 4);
    unit<Healer>(2, 4, 4, 30);
    unit<Mage>(2, 3, 6, 40)->mp = 20;
    choosing(archer, true, 4, 4);
    hoverRow = 3;
    hoverCol = 6;
    EXPECT_TRUE(matchesReference(frame(true), "frame_pointing_unit"));
}

// A Flier's step choice, the pointer on a tinted square beyond a Fighter: the way round it.
TEST_F(GameFrameTest, PointingAtATintedSquareShowsTheWayThere) {
    Flier* flier = unit<Flier>(1, 2, 2);
    unit<Fighter>(2, 2, 4);
    unit<Mage>(1, 1, 4);
    choosing(flier, false, 2, 2);
    hoverRow = 2;
    hoverCol = 6;
    EXPECT_TRUE(matchesReference(frame(false), "frame_pointing_way"));
}

// The first turn's banner points to the help, and the help panel covers it.
TEST_F(GameFrameTest, FirstTurnBannerTellsOfTheHelpPanel) {
    unit<Archer>(1, 0, 0);
    firstTurn = bannerP1BeginTurn = helpShown = true;
    EXPECT_TRUE(matchesReference(frame(true), "frame_first_turn_help"));
}

// After e and three seconds: player 2's begin banner, its side's sight, the fallen gone; two
// seconds on the banner is gone; player 1's next turn begins without the pointer to the help.
TEST_F(GameFrameTest, LaterTurnsTickTheirBannersAwayWithoutTheHelpHint) {
    Archer* p1Hero = unit<Archer>(1, 2, 4);
    unit<Fighter>(1, 2, 6);
    Mage* p2Hero = unit<Mage>(2, 5, 5);
    unit<Fighter>(2, 4, 3);
    for (Unit* fallen : std::initializer_list<Unit*>{unit<Healer>(1, 3, 2, -4), unit<Flier>(2, 4, 6, -9)}) {
        fallen->dead = true;
        fallen->canAct = false;
        battleMap[fallen->row][fallen->col].occupant = -1;
    }
    choosingHeroes = p1ChoosingHero = true;
    captureOutput([&] { chooseHeroes(*p1Hero, *p2Hero); });
    auto secondsPass = [](int seconds) {
        for (int s = 0; s < seconds; s++) tickFrameClock(previousTick + 1001);
    };
    // A banner fills the window: its player's number and where the hint would be are enough.
    auto bannerPart = [this] {
        return part(frame(true), {windowWidth * 55 / 100, 0, windowWidth * 9 / 10, windowHeight - 1});
    };
    secondsPass(3);
    ASSERT_TRUE(firstTurn && !bannerUp());
    onKeyboard('e', 0, 0);
    secondsPass(3);
    ASSERT_TRUE(currentPlayer == 2 && bannerP2BeginTurn);
    EXPECT_TRUE(matchesReference(bannerPart(), "frame_p2_begin_turn"));   // the frame's own tick is the first
    secondsPass(2);
    EXPECT_TRUE(matchesReference(frame(true), "frame_p2_turn"));
    onKeyboard('e', 0, 0);
    secondsPass(3);
    ASSERT_TRUE(currentPlayer == 1 && bannerP1BeginTurn && !firstTurn);
    EXPECT_TRUE(matchesReference(bannerPart(), "frame_p1_second_turn"));
}

// After the victory banner: the winner's line and what the keys do next, the fog lifted, the
// fallen hero and Healer gone; pointed at, the fallen hero reads 0 hit points.
TEST_F(GameFrameTest, AfterTheVictoryTheBoardShowsWhoWonAndWhatNext) {
    unit<Archer>(1, 3, 2);
    unit<Fighter>(2, 4, 4, -6)->hero = true;
    unit<Mage>(2, 7, 9);
    unit<Healer>(2, 5, 1, -3)->dead = true;
    bannerP1Wins = afterVictory = true;
    hoverRow = hoverCol = 4;
    EXPECT_TRUE(matchesReference(frame(true), "frame_after_victory"));
    EXPECT_STREQ(hpLabel, "0/100");
}

// Heroes crowned round their rings in gold, a ring in its army's colour under every unit;
// the pointed-at enemy hero named ENEMY ARCHER, HERO. Then from low down at the far end,
// player 1's hero just behind an enemy Healer: its crown stays on its own square.
TEST_F(GameFrameTest, HeroesAreCrownedOnTheirOwnSquares) {
    unit<Fighter>(1, 2, 3)->hero = true;
    unit<Mage>(1, 2, 6);
    unit<Archer>(2, 4, 5)->hero = true;
    unit<Healer>(2, 1, 3);
    hoverRow = 4;
    hoverCol = 5;
    EXPECT_TRUE(matchesReference(frame(true), "frame_heroes_front"));
    cameraEye = Vector(3.5f, 0.6f, -1.5f);
    cameraYaw += 180;
    cameraPitch = -8;
    EXPECT_TRUE(matchesReference(frame(true), "frame_heroes_low"));
}

// z: a Mage's step choice tints red every square the enemies in sight could strike.
TEST_F(GameFrameTest, TheDangerTintShowsWhereTheEnemiesCanStrike) {
    Mage* mage = unit<Mage>(1, 1, 4);
    unit<Fighter>(2, 4, 4);
    unit<Archer>(2, 3, 6);
    unit<Flier>(2, 7, 0);   // beyond sight: no part of the tint
    choosing(mage, false, 2, 4);
    moveTargetValid = true;
    showDanger = true;
    EXPECT_TRUE(matchesReference(frame(true), "frame_danger"));
}

// Against the computer, its turn just over: the log open on what it did, newest first; the
// killing blow's number on the Healer a third fallen, clear of the Mage just behind it and the
// Fighter in front; the wound on the Mage's other neighbour over its own bar.
TEST_F(GameFrameTest, AfterTheComputersTurnTheLogTellsWhatItDidAndEachNumberStaysOnItsUnit) {
    personSide = 1;
    computerCommands[2] = true;
    Archer* archer = unit<Archer>(1, 3, 6, 41);
    Mage* mage = unit<Mage>(1, 3, 4);
    unit<Fighter>(2, 5, 4)->hero = true;
    unit<Mage>(2, 6, 7);
    Healer* healer = unit<Healer>(1, 4, 4, 5);
    healer->hp = -8;
    noteBlow(*archer, 39, false);
    noteBlow(*healer, 13, false);
    healer->dead = true;
    healer->visible = false;
    battleMap[4][4].occupant = -1;
    ageFeedback(FALL_SECONDS / 3);
    const LogEvent events[] = {
        // kind     actor                     target            amount matchup special
        {LOG_TURN, {2, 0, false},            {},               0,     0,      false},
        {LOG_MISS, {2, CLASS_MAGE, false},    logUnit(*mage),   0,     0,      true},
        {LOG_HIT,  {2, CLASS_MAGE, false},    logUnit(*archer), 39,    0,      true},
        {LOG_HIT,  {2, CLASS_FIGHTER, true},  logUnit(*healer), 13,    0,      false},
        {LOG_FALL, {},                        logUnit(*healer), 0,     0,      false},
        {LOG_TURN, {1, 0, false},            {},               0,     0,      false},
    };
    for (const LogEvent& event : events) noteLog(event);
    logAfterComputer = true;
    EXPECT_TRUE(matchesReference(frame(true), "frame_after_computer"));
}

// A battle that could not be kept is said in the band of hints, for its few seconds.
TEST_F(GameFrameTest, ABattleThatCouldNotBeKeptIsSaidOnScreen) {
    unit<Archer>(1, 0, 0);
    keepTrouble = "The battle could not be kept in kestrava-save.txt: No space left on device";
    keepTroubleSeconds = KEEP_TROUBLE_SECONDS;
    const WindowPicture picture = frame(true);
    keepTroubleSeconds = 0;
    const ScreenBox band = screenBox(PART_HINT_BAND, windowWidth, windowHeight);
    EXPECT_TRUE(matchesReference(part(picture, {0, band.bottom, windowWidth - 1, band.top}), "frame_not_kept"));
}

// In every window from the smallest on, the boxes of the layout keep apart (but the log takes
// the odds panel's place, and the status panel's name its top margin); and with every panel up
// at its widest over the sky, then the log, then the help (inside the window), nothing is drawn
// outside the boxes of what is up. (That the camera's home keeps the board out of every box is
// the camera's test.)
TEST_F(GameFrameTest, TheLayoutKeepsItsBoxesApartAndEveryTextInItsBox) {
    const struct { int width, height; } windows[] = {{640, 480}, {800, 600}, {1280, 1024}, {1280, 560}};
    Healer* healer = unit<Healer>(1, 2, 4);
    healer->hero = true;
    unit<Fighter>(2, 4, 4)->hero = true;
    unit<Mage>(2, 5, 4, -20);
    for (int i = 0; i < 8; i++) noteLog({LOG_HIT, {2, CLASS_MAGE, true}, {1, CLASS_FIGHTER, true}, 100 + i, 1, true});
    keepTrouble = "The battle could not be kept in kestrava-save.txt: No space left on device";
    keepTroubleSeconds = KEEP_TROUBLE_SECONDS;
    tellPlayer("NO STEP: NO MOVEMENT POINTS LEFT");
    const ScreenPart always[] = {PART_CLOCK_LINES, PART_TOP_LINE, PART_BUTTONS, PART_HINT_BAND, PART_STATUS_PANEL,
                                 PART_STATUS_NAME};
    for (const auto& window : windows) {
        SCOPED_TRACE(testing::Message() << window.width << " x " << window.height);
        onReshape(window.width, window.height);
        placeCameraAtHome(1);
        for (int part = 0; part < SCREEN_PART_COUNT; part++) {
            const ScreenBox box = screenBox(static_cast<ScreenPart>(part), window.width, window.height);
            for (int other = part + 1; other < SCREEN_PART_COUNT; other++) {
                const ScreenBox b = screenBox(static_cast<ScreenPart>(other), window.width, window.height);
                const bool shared = (part == PART_STATUS_PANEL && other == PART_STATUS_NAME) ||
                                    (part == PART_ODDS_PANEL && other == PART_LOG_PANEL);
                EXPECT_TRUE(shared || b.left > box.right || b.right < box.left || b.bottom > box.top ||
                            b.top < box.bottom)
                    << "parts " << part << " and " << other << " meet";
            }
        }

        // Looking up into the plain sky, nothing else in the window.
        cameraPitch = 60;
        PixelColour sky{};
        for (const char* shown : {"aiming", "the log up", "the help up"}) {
            SCOPED_TRACE(shown);
            const bool aiming = shown[0] == 'a', help = shown[4] == 'h';
            choosing(healer, true, 4, 4);
            healer->menuOpen = aiming;
            choosingTarget = attackTargetValid = aiming;
            showLog = !aiming && !help;
            helpShown = help;
            const WindowPicture picture = part(frame(true), {0, 0, window.width - 1, window.height - 1});
            std::vector<ScreenBox> boxes;
            for (ScreenPart part : always) boxes.push_back(screenBox(part, window.width, window.height));
            if (aiming) boxes.push_back(screenBox(PART_ODDS_PANEL, window.width, window.height));
            if (aiming) boxes.push_back(screenBox(PART_MENU, window.width, window.height));
            if (showLog) boxes.push_back(screenBox(PART_LOG_PANEL, window.width, window.height));
            if (help) boxes.push_back(helpPanelBox());
            const ScreenBox& plate = boxes.back();
            if (help) {
                EXPECT_TRUE(plate.left >= 0 && plate.bottom >= 0 && plate.right < window.width &&
                            plate.top < window.height);
            }
            if (aiming) sky = picture.at(window.width / 2, window.height / 2);
            int outside = 0;
            for (int y = 0; y < window.height; y++)
                for (int x = 0; x < window.width; x++) {
                    if (closeTo(picture.at(x, y), sky, 6)) continue;
                    const bool inside = std::any_of(boxes.begin(), boxes.end(), [x, y](const ScreenBox& b) {
                        return x >= b.left && x <= b.right && y >= b.bottom && y <= b.top;
                    });
                    if (!inside && outside++ < 5) ADD_FAILURE() << "drawn outside every box at " << x << ", " << y;
                }
            EXPECT_EQ(outside, 0);
        }
        helpShown = false;
    }
    keepTroubleSeconds = 0;
}
