// tests/unit/test_input.cpp — the one way in: the computer's turn is its own, a click is the keys
// it stands for, a click's walk is the steps by keys, the pointer tells clicks from drags
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ai/computer.h"
#include "app/battle_clock.h"
#include "app/camera.h"
#include "app/input.h"
#include "app/pointer.h"
#include "app/replay.h"
#include "app/sound.h"
#include "game/random.h"
#include "game/startup.h"
#include "render/layout.h"
#include "render/looks.h"
#include "rules/combat.h"
#include "rules/feedback.h"
#include "rules/movement.h"
#include "save/battle_save.h"
#include "tests/support/window_link_fake.h"
#include "tests/unit/rules_keys.h"

namespace {

using InputTest = BattleTest;

// Everything the battle is, as the kept battle has it, and what a save
// leaves out while the heroes are chosen or a blow plays. The backdrop is
// left out: s is the view's key, whoever has the turn.
std::string battleNow() {
    SavedBattle battle = captureBattle();
    battle.skyChoice = 0;
    std::ostringstream text;
    writeSave(battle, text);
    text << choosingHeroes << p1ChoosingHero << p2ChoosingHero << materialBrowse << battlesStarted << moveAnimating
         << attackAnimating;
    return text.str();
}

// One frame as the window runs it: the update, what a click set going, the
// computer's key through the dispatcher, and the frame's own calls.
void windowFrame(float seconds) {
    frameSeconds = seconds;
    idleUpdate();
    inputTick();
    if (int key = computerTick(seconds)) dispatch(computerKey(key));
    if (attackAnimating && selectedUnit->unitClass == CLASS_FLIER) lungeEffect.drawCount++;
    checkHeroChoice();
}

// Any command a person can give but quitting: keys pressed and let go,
// clicks on squares (and off the board), on menu entries and buttons, the
// right button, the wheel, drags and pointing.
Command anythingAPersonDoes(std::mt19937& pick) {
    static const int SPECIALS[] = {KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN, KEY_INSERT, KEY_HOME, KEY_F1, KEY_F2, 104};
    static const char KEYS[] = "temuz\rvrcpPbflshnxd+-2468";
    auto any = [&pick](int n) { return static_cast<int>(pick() % n); };
    switch (any(9)) {
        case 0:
        case 1: return {CMD_SPECIAL, SPECIALS[any(std::size(SPECIALS))]};
        case 2: return {CMD_SPECIAL_UP, any(2) ? KEY_INSERT : KEY_HOME};
        case 3: return {CMD_KEY, KEYS[any(sizeof KEYS - 1)]};
        case 4: return {CMD_KEY_UP, KEYS[any(sizeof KEYS - 1)]};
        case 5: return {CMD_CLICK, 0, any(mapRows + 1) - 1, any(mapCols)};
        case 6: return {CMD_CLICK_ENTRY, 1 + any(4)};
        case 7: return {any(2) ? CMD_BACK : CMD_ZOOM, any(3) - 1};
        default: return {any(2) ? CMD_POINT : CMD_TURN, 0, any(mapRows), any(mapCols), any(9) - 4, any(9) - 4};
    }
}

// Whole battles with the computer on one side or both, a person giving
// random commands all the while: on the computer's turns (and during its
// hero choice) none of them changes the battle, while on the person's own
// they play it.
TEST_F(InputTest, APersonsCommandsChangeNothingOnTheComputersTurn) {
    const struct { const char* what; int player1, player2; } sides[] = {
        {"--computer 1", BY_COMPUTER, BY_PERSON},
        {"--computer 2", BY_PERSON, BY_COMPUTER},
        {"--computer both", BY_COMPUTER, BY_COMPUTER},
    };
    for (const auto& side : sides) {
        SCOPED_TRACE(side.what);
        resetBattleState();
        loadMap("11111#\n11111#\n11132#\n24351#\n11111#\n16111#\n11111#");
        seedRandom(5);
        ArmyCounts counts;
        counts.fill(1);
        captureOutput([&] { placeArmies(counts); });
        commander[1] = side.player1;
        commander[2] = side.player2;
        computerPace = 0;
        std::mt19937 pick(11);

        int refused = 0, given = 0, obeyed = 0;
        std::string changed;
        std::string console = captureOutput([&] {
            for (int frame = 0; frame < 2500 && !battleWon() && changed.empty(); frame++) {
                windowFrame(0.05f);
                if (pick() % 3) continue;
                const Command command = anythingAPersonDoes(pick);
                const bool computersTurn = !personMayCommand();
                const std::string before = battleNow();
                dispatch(command);
                const bool same = battleNow() == before;
                if (computersTurn && !same)
                    changed = "command " + std::to_string(command.kind) + " " + std::to_string(command.code) +
                              " in frame " + std::to_string(frame);
                refused += computersTurn;
                given += !computersTurn;
                obeyed += !computersTurn && !same;
            }
        });
        EXPECT_EQ(changed, "") << "changed the battle on the computer's turn";
        EXPECT_GT(refused, 200);
        EXPECT_NE(console.find("Hit range = "), std::string::npos) << "the computer fought";
        if (side.player1 != side.player2) {
            EXPECT_GT(obeyed, given / 10) << "of " << given << " on the person's turns";
        }
    }
}

// After the victory banner's time, the first key puts it away and Enter
// then starts a new battle, unless only the computer plays.
TEST_F(InputTest, EnterAfterAVictoryStartsABattleWhenAPersonPlays) {
    const struct { int player1, player2; bool started; } sides[] = {
        {BY_PERSON, BY_PERSON, true}, {BY_PERSON, BY_COMPUTER, true},
        {BY_COMPUTER, BY_PERSON, true}, {BY_COMPUTER, BY_COMPUTER, false},
    };
    for (const auto& side : sides) {
        resetBattleState();
        loadUniformMap(7, 5, 1);
        captureOutput([] { placeArmies(ArmyCounts{1, 0, 0, 0, 0, 1, 0, 0, 0, 0}); });
        choosingHeroes = p1ChoosingHero = false;
        bannerP2Wins = true;
        victorySeconds = VICTORY_BANNER_DELAY + VICTORY_BANNER_SECONDS;
        commander[1] = side.player1;
        commander[2] = side.player2;
        captureOutput([] {
            dispatch({CMD_KEY, '\r'});
            dispatch({CMD_KEY, '\r'});
        });
        EXPECT_EQ(battlesStarted, side.started ? 1 : 0) << side.player1 << " " << side.player2;
        EXPECT_EQ(afterVictory, !side.started) << "the first Enter put the banner away";
    }
}

// On the computer's turn the view's keys, the wheel, drags and pointing
// act as ever; o says on screen what it switched.
TEST_F(InputTest, TheViewAnswersWhoeverHasTheTurn) {
    loadUniformMap(7, 5, 1);
    startPlaying();
    commander[1] = commander[2] = BY_COMPUTER;
    windowHeight = 500;
    cameraMoveAxis = Vector(0, -3, -4);
    const struct { Command command; std::function<bool()> acted; } views[] = {
        {{CMD_KEY, 'h'}, [] { return helpShown; }},
        {{CMD_KEY, 's'}, [] { return skyChoice == 1; }},
        {{CMD_KEY, 'v'}, [] { return !perspectiveView; }},
        {{CMD_KEY, 'b'}, [] { return showUnitSphere; }},
        {{CMD_KEY, 'o'}, [] { return soundMuted && !std::strcmp(notice, "SOUND OFF") && noticeSeconds == 2; }},
        {{CMD_KEY, 'j'}, [] { return showLog; }},
        {{CMD_KEY, '6'}, [] { return held6; }},
        {{CMD_SPECIAL, KEY_F2}, [] { return !showFps; }},
        {{CMD_POINT, 0, 3, 2}, [] { return hoverRow == 3 && hoverCol == 2; }},
        {{CMD_ZOOM, 1}, [] { return cameraEye.z > 13; }},
        {{CMD_TURN, 0, -1, -1, 50, 0}, [] { return std::abs(cameraYaw + 81) < 1e-4f; }},
    };
    const std::string before = battleNow();
    for (const auto& view : views) {
        captureOutput([&] { dispatch(view.command); });
        EXPECT_TRUE(view.acted()) << "command " << view.command.kind << " " << view.command.code;
    }
    EXPECT_EQ(battleNow(), before);
}

// A person picks the hero, presses t (the keys go to the computer's side,
// which may not pick): the computer waits, and t hands them back.
TEST_F(InputTest, TDuringThePersonsHeroChoiceLeavesTheKeysWithThePerson) {
    loadUniformMap(7, 5, 1);
    placeUnit<Archer>(1, 0, 0);
    placeUnit<Archer>(2, 6, 0);
    commander[2] = BY_COMPUTER;
    computerPace = 0;
    dispatch({CMD_KEY, 't'});
    ASSERT_EQ(currentPlayer, 2);
    EXPECT_TRUE(personMayCommand());
    EXPECT_EQ(computerTick(1), 0) << "the computer presses nothing in the person's choice";
    dispatch({CMD_KEY, 't'});
    EXPECT_EQ(currentPlayer, 1);
}

// A click on a tinted square walks the unit there along the cheapest way:
// the same steps, console lines and kept battle as the arrows and Insert
// pressed square by square. Around the water by the top row costs all 5
// points (the bottom row has a mountain), so the last step ends the step choice.
TEST_F(InputTest, AClickOnASquareInReachWalksAsTheSameStepsByKeys) {
    auto setUp = [] {
        resetBattleState();
        loadMap("11111#\n14411#\n11211#\n11111#\n11111#\n11111#\n11111#");
        startPlaying();
        Fighter* fighter = placeUnit<Fighter>(1, 1, 0);
        placeUnit<Mage>(2, 4, 3);
        startStepping(*fighter);
        return fighter;
    };
    auto played = [](const std::function<void()>& moves) {
        std::string console = captureOutput(moves);
        return console + battleNow();
    };

    Fighter* byKeys = setUp();
    const std::string keys = played([] {
        for (int arrow : {KEY_UP, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_DOWN}) {
            press({arrow, KEY_INSERT});
            glide();
        }
    });
    ASSERT_TRUE(standsOn(*byKeys, 1, 3));
    ASSERT_EQ(byKeys->movePoints, 0);

    Fighter* byClick = setUp();
    int frames = 0;
    const std::string click = played([&] {
        dispatch({CMD_CLICK, 0, 1, 3});
        for (; frames < 1000 && (moveAnimating || byClick->row != 1 || byClick->col != 3); frames++) {
            idleUpdate();
            inputTick();
        }
    });
    EXPECT_TRUE(standsOn(*byClick, 1, 3));
    EXPECT_EQ(byClick->movePoints, 0);
    EXPECT_FALSE(choosingMove);
    EXPECT_EQ(click, keys);
}

// Clicks are the keys they stand for, in every state the keys know:
// browsing, the menu, aiming, stepping, a glide, the hero choice, a turn
// nobody may act in any more. Player 1's Fighter stands at (2, 1) beside
// player 2's Healer at (3, 1); player 1's Mage at (2, 3) has acted.
const struct ClickCase {
    const char* what;
    std::function<void(Unit& fighter, Unit& healer)> before;
    std::vector<Command> clicks;
    std::function<bool(Unit& fighter, Unit& healer)> after;
} clickCases[] = {
    {"on a unit of the player that may act: selected, its menu open", nullptr, {{CMD_CLICK, 0, 2, 1}},
     [](Unit& f, Unit&) { return selectedUnit == &f && f.menuOpen && cursorSquare() == Square(2, 1); }},
    {"on the enemy: the cursor on it, no menu", nullptr, {{CMD_CLICK, 0, 3, 1}},
     [](Unit&, Unit& h) { return selectedUnit == &h && !h.menuOpen && cursorSquare() == Square(3, 1); }},
    {"on a unit that has acted: no menu", nullptr, {{CMD_CLICK, 0, 2, 3}},
     [](Unit&, Unit&) { return cursorSquare() == Square(2, 3) && !selectedUnit->menuOpen; }},
    {"twice on the same unit, the menu open: still open", nullptr, {{CMD_CLICK, 0, 2, 1}, {CMD_CLICK, 0, 2, 1}},
     [](Unit& f, Unit&) { return f.menuOpen && menuItem == 1; }},
    {"on another square with a menu open: the menu closes", nullptr, {{CMD_CLICK, 0, 2, 1}, {CMD_CLICK, 0, 5, 0}},
     [](Unit& f, Unit&) { return !f.menuOpen && cursorSquare() == Square(5, 0); }},
    {"on Defend: the unit defends", nullptr, {{CMD_CLICK, 0, 2, 1}, {CMD_CLICK_ENTRY, 3}},
     [](Unit& f, Unit&) { return !f.canAct && menuItem == 3; }},
    {"on Attack, then the enemy in reach: the blow starts", nullptr,
     {{CMD_CLICK, 0, 2, 1}, {CMD_CLICK_ENTRY, 1}, {CMD_CLICK, 0, 3, 1}},
     [](Unit&, Unit& h) { return attackAnimating && targetUnit == &h; }},
    {"on Attack, then a square out of reach: nothing", nullptr,
     {{CMD_CLICK, 0, 2, 1}, {CMD_CLICK_ENTRY, 1}, {CMD_CLICK, 0, 4, 1}},
     [](Unit&, Unit&) { return choosingTarget && !attackAnimating && cursorSquare() == Square(2, 1); }},
    {"on Move, then a square out of reach: nothing", nullptr,
     {{CMD_CLICK, 0, 2, 1}, {CMD_CLICK_ENTRY, 4}, {CMD_CLICK, 0, 6, 1}},
     [](Unit& f, Unit&) { return choosingMove && !moveAnimating && standsOn(f, 2, 1); }},
    {"on Move, then on Attack: back to the menu, then aiming", nullptr,
     {{CMD_CLICK, 0, 2, 1}, {CMD_CLICK_ENTRY, 4}, {CMD_CLICK_ENTRY, 1}},
     [](Unit&, Unit&) { return choosingTarget && !choosingMove && menuItem == 1; }},
    {"right, while aiming: back to the menu", nullptr, {{CMD_CLICK, 0, 2, 1}, {CMD_CLICK_ENTRY, 1}, {CMD_BACK}},
     [](Unit& f, Unit&) { return !choosingTarget && f.menuOpen; }},
    {"during a glide: nothing; right: the glide stops", [](Unit& f, Unit&) { startStepping(f); },
     {{CMD_CLICK, 0, 2, 0}, {CMD_CLICK, 0, 1, 2}, {CMD_CLICK_ENTRY, 1}},
     [](Unit& f, Unit&) {
         bool nothing = moveAnimating && choosingMove && cursorSquare() == Square(2, 0);
         dispatch({CMD_BACK});
         return nothing && !moveAnimating && f.row == 2 && f.col == 1 && f.movePoints == 5;
     }},
    {"during a blow: nothing", [](Unit& f, Unit& h) {
         chooseEntry(f, 1);
         browseTo(h.row, h.col);
         press(KEY_INSERT);
     }, {{CMD_CLICK, 0, 0, 0}, {CMD_BACK}, {CMD_CLICK_ENTRY, 3}},
     [](Unit& f, Unit&) { return attackAnimating && choosingTarget && selectedUnit == &f; }},
    {"when nobody may act: the turn passes, and the click does no more",
     [](Unit& f, Unit&) {
         f.canAct = false;
         for (Unit* unit : allUnits) unit->canAct = unit->player == 2;
     },
     {{CMD_CLICK, 0, 3, 1}},
     [](Unit&, Unit& h) { return currentPlayer == 2 && !h.menuOpen && cursorSquare() == Square(1, 0); }},
    {"in the hero choice, on the other player's unit: nothing; on one's own: the hero",
     [](Unit&, Unit&) { choosingHeroes = p1ChoosingHero = true; },
     {{CMD_CLICK, 0, 3, 1}, {CMD_CLICK, 0, 2, 1}},
     [](Unit& f, Unit& h) { return !h.hero && f.hero && p2ChoosingHero; }},
};

TEST_F(InputTest, ClicksDoWhatTheirKeysWould) {
    for (const ClickCase& c : clickCases) {
        SCOPED_TRACE(c.what);
        resetBattleState();
        loadUniformMap(7, 5, 1);
        startPlaying();
        Unit* fighter = placeUnit<Fighter>(1, 2, 1);
        Unit* healer = placeUnit<Healer>(2, 3, 1);
        placeUnit<Mage>(1, 2, 3)->canAct = false;
        updateVisibility(1);
        captureOutput([&] {
            if (c.before) c.before(*fighter, *healer);
            for (const Command& click : c.clicks) dispatch(click);
        });
        EXPECT_TRUE(c.after(*fighter, *healer));
    }
}

// Tab goes to the next unit of the side on turn that may still act, in the
// order of ids, round from the last to the first, skipping those that acted
// and the fallen; Backspace goes back. An open menu is closed first; while
// aiming, on the computer's turn or with nobody left to act, nothing. Player
// 1 has ids 0 (the hero, at 0, 4), 2 (1, 0), 3 (1, 2; acted), 4 (1, 4), 5
// (fallen) and 6 (3, 2); player 2 ids 1 (the hero) and 7 at (5, 2).
TEST_F(InputTest, TabAndBackspaceGoThroughTheUnitsThatMayStillActInTheOrderOfIds) {
    const struct {
        const char* what;
        std::function<void(Unit* units[])> before;
        const char* keys;   // \t Tab, \b Backspace
        std::vector<Square> squares;   // the cursor's after each key
    } cases[] = {
        {"from the enemy, onwards and round", nullptr, "\t\t\t\t\t", {{0, 4}, {1, 0}, {1, 4}, {3, 2}, {0, 4}}},
        {"from the enemy, back and round", nullptr, "\b\b\b\b\b", {{3, 2}, {1, 4}, {1, 0}, {0, 4}, {3, 2}}},
        {"from one that acted", [](Unit* u[]) { browseTo(u[1]->row, u[1]->col); }, "\t\b", {{1, 4}, {1, 0}}},
        {"with a menu open", [](Unit* u[]) { openMenuOf(*u[2]); }, "\t",  {{3, 2}}},
        {"while aiming", [](Unit* u[]) { chooseEntry(*u[2], 1); }, "\t", {{1, 4}}},
        {"on the computer's turn", [](Unit*[]) { commander[1] = BY_COMPUTER; }, "\t", {{5, 2}}},
        {"with nobody left to act",
         [](Unit* u[]) { allUnits[0]->canAct = u[0]->canAct = u[2]->canAct = u[4]->canAct = false; }, "\t\b",
         {{5, 2}, {5, 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        resetBattleState();
        loadUniformMap(7, 5, 1);
        startPlaying();
        Unit* units[] = {placeUnit<Fighter>(1, 1, 0), placeUnit<Archer>(1, 1, 2), placeUnit<Mage>(1, 1, 4),
                         placeUnit<Healer>(1, 2, 0), placeUnit<Flier>(1, 3, 2), placeUnit<Archer>(2, 5, 2)};
        units[1]->canAct = false;
        units[3]->dead = true;
        units[3]->hp = 0;
        units[3]->canAct = false;
        battleMap[2][0].occupant = -1;
        browseTo(5, 2);
        if (c.before) c.before(units);
        std::vector<Square> seen;
        for (const char* key = c.keys; *key; key++) {
            dispatch({CMD_KEY, *key});
            seen.push_back(cursorSquare());
            if (*key == '\t' && !choosingTarget && personMayCommand()) {
                EXPECT_FALSE(units[2]->menuOpen);
                EXPECT_EQ(selectedUnit->row * 10 + selectedUnit->col, seen.back().first * 10 + seen.back().second);
            }
        }
        EXPECT_EQ(seen, c.squares);
    }
}

// The same battle of two computers, seeded, at the battle speed 1 and 4, with
// space after every frame a command came in, and that last one's commands
// played back as a replay, four ticks a frame: the same console lines, line
// for line, and the same battle kept at the end (the save files); the speed
// and the skip only bring it sooner, and the replay ends on the tick its
// recording did (a space it plays inside a tick runs the ticks after it).
TEST_F(InputTest, TheBattleSpeedAndTheSkipChangeNothingButWhenThingsHappen) {
    static Replay recorded;
    auto play = [](int speedKeys, bool skip, const Replay* replay, int& frames) {
        std::string kept, console;
        inMapFolder("", [&] {
            resetBattleState();
            loadMap("11111#\n11111#\n11132#\n24351#\n11111#\n16111#\n11111#");
            seedRandom(7);
            ArmyCounts counts;
            counts.fill(1);
            console = captureOutput([&] {
                placeArmies(counts);
                commander[1] = commander[2] = BY_COMPUTER;
                computerPace = 0;
                for (int k = 0; k < speedKeys; k++) {
                    dispatch({CMD_KEY, 'g'});
                    dispatch({CMD_KEY_UP, 'g'});
                }
                if (replay) startReplay(*replay);
                static int commands;
                commands = 0;
                recorded.entries.clear();
                commandWatcher = [](const Command& command) {
                    commands += command.source == FROM_COMPUTER;
                    recorded.entries.push_back(ReplayEntry::of(battleTick, command));
                };
                auto over = [replay] { return replay ? battleTick >= replay->endTick : battleWon() && !attackAnimating; };
                for (frames = 0; frames < 200000 && !over(); frames++) {
                    const int before = commands;
                    runFrameTicks(replay ? 4 : 1);
                    if (skip && commands != before) dispatch({CMD_KEY, ' '});
                }
                recorded.endTick = battleTick;
                commandWatcher = nullptr;
                replaying = false;
            });
            std::ifstream file("kestrava-save.txt");
            kept.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        });
        return console + "\n--- kept ---\n" + kept;
    };
    int plain = 0, fast = 0, skipped = 0, replayed = 0;
    const std::string atOne = play(0, false, nullptr, plain);
    EXPECT_TRUE(atOne.find("p1Wins=1") != std::string::npos || atOne.find("p2Wins=1") != std::string::npos) << atOne;
    EXPECT_EQ(play(2, false, nullptr, fast), atOne);
    EXPECT_EQ(battleSpeed, 4);
    EXPECT_EQ(play(0, true, nullptr, skipped), atOne);
    EXPECT_LT(fast, plain / 3);
    EXPECT_LT(skipped, plain / 2);
    const Replay skipping = recorded;
    EXPECT_EQ(play(0, false, &skipping, replayed), atOne);
    EXPECT_EQ(battleTick, skipping.endTick);
}

// A button shows and takes a click only while it can act: HELP while no banner covers the
// window, but not in a replay nor after the victory; END TURN and UNDO too on a person's turn
// once the heroes are chosen.
TEST_F(InputTest, AButtonTakesClicksOnlyWhileItCanAct) {
    const struct { const char* what; void (*set)(); bool help, others; } states[] = {
        {"a person's turn", [] {}, true, true},
        {"the computer's turn", [] { computerCommands[1] = true; }, true, false},
        {"the hero choice", [] { choosingHeroes = p2ChoosingHero = true; }, true, false},
        {"a turn banner", [] { bannerP2EndTurn = true; }, false, false},
        {"a replay", [] { watchingReplay = true; }, false, false},
        {"after the victory", [] { bannerP2Wins = afterVictory = true; }, false, false},
    };
    for (const auto& state : states) {
        SCOPED_TRACE(state.what);
        resetBattleState();
        loadUniformMap(7, 5, 1);
        startPlaying();
        bannerP1BeginTurn = false;
        state.set();
        for (int button = 1; button <= BUTTON_COUNT; button++) {
            const ButtonPlace place = buttonPlace(button, 800, 500);
            const bool shown = button == BUTTON_HELP ? state.help : state.others;
            EXPECT_EQ(buttonAt((place.left + place.right) / 2, (place.bottom + place.top) / 2, 800, 500),
                      shown ? button : BUTTON_NONE) << place.label;
        }
    }
}

// The computer's key that hands the turn over opens the log on what it did; a person's
// view keys leave it up, the person's first key to the battle puts it away.
TEST_F(InputTest, TheLogOpensAfterTheComputersTurnUntilThePersonActs) {
    loadUniformMap(7, 5, 1);
    startPlaying();
    commander[2] = BY_COMPUTER;
    dispatch({CMD_KEY, 't'});
    for (Unit* unit : allUnits) unit->canAct = false;
    captureOutput([] { dispatch(computerKey(KEY_LEFT)); });
    ASSERT_EQ(currentPlayer, 1);
    EXPECT_TRUE(logAfterComputer && !showLog);
    dispatch({CMD_KEY, 'c'});
    dispatch({CMD_POINT, 0, 3, 3});
    EXPECT_TRUE(logAfterComputer);
    captureOutput([] { dispatch({CMD_SPECIAL, KEY_DOWN}); });
    EXPECT_FALSE(logAfterComputer);
}

// In a 800 × 500 window with no banner up: a left press and release within
// 4 pixels is a click where it was pressed (a button on the screen is its
// key, an entry of the open menu its entry); further, it is a drag and no click. The
// right button is Home, the wheel zooms. A key that moves the cursor takes
// it back from the pointer.
TEST_F(InputTest, ThePointerTellsClicksFromDragsAndFindsTheButtonsAndTheMenu) {
    loadUniformMap(7, 5, 1);
    startPlaying();
    windowWidth = 800;
    windowHeight = 500;
    static std::vector<Command> seen;
    seen.clear();
    commandWatcher = [](const Command& command) { seen.push_back(command); };
    auto clickAt = [](int x, int yFromBottom, int releaseDx = 0) {
        bannerP1BeginTurn = bannerP1EndTurn = bannerP2BeginTurn = bannerP2EndTurn = false;   // they hide the buttons
        seen.clear();
        const int y = windowHeight - 1 - yFromBottom;
        onMouseButton(0, 0, x, y);
        onMouseDrag(x + releaseDx, y);
        onMouseButton(0, 1, x + releaseDx, y);
        return seen.empty() ? Command{CMD_ZOOM, 99} : seen.back();
    };
    const ButtonPlace end = buttonPlace(BUTTON_END_TURN, 800, 500), help = buttonPlace(BUTTON_HELP, 800, 500);
    EXPECT_LT(help.right, end.left);
    Command pressed = clickAt((end.left + end.right) / 2, (end.bottom + end.top) / 2, 4);
    EXPECT_TRUE(pressed.kind == CMD_KEY && pressed.code == 'e');
    pressed = clickAt(help.left, help.bottom);
    EXPECT_TRUE(pressed.kind == CMD_KEY && pressed.code == 'h');
    EXPECT_TRUE(helpShown);
    pressed = clickAt(help.left - 1, help.bottom);
    EXPECT_TRUE(pressed.kind == CMD_CLICK && pressed.row == -1) << "beside it, no frame drawn yet: no square";

    // The menu spans 0.75 to 1.25 view units across, -0.9 to -0.4 up: at
    // 500 rows a view unit is 250 pixels, and x 0 is the window's middle.
    for (int entry = 1; entry <= 4; entry++) {
        selectedUnit->menuOpen = true;
        choosingTarget = choosingMove = false;
        pressed = clickAt(650, static_cast<int>(250 - 0.4f * 250 - (entry - 0.5f) * 0.125f * 250));
        EXPECT_TRUE(pressed.kind == CMD_CLICK_ENTRY && pressed.code == entry) << entry;
    }
    selectedUnit->menuOpen = true;
    pressed = clickAt(585, 100);
    EXPECT_EQ(pressed.kind, CMD_CLICK) << "left of the menu";

    const float yaw = cameraYaw;
    pressed = clickAt(100, 100, 5);
    EXPECT_TRUE(pressed.kind == CMD_TURN && pressed.dx == 5 && seen.size() == 1) << "a drag, and no click after it";
    EXPECT_NE(cameraYaw, yaw);

    seen.clear();
    onMouseButton(2, 0, 10, 10);
    onMouseButton(2, 1, 10, 10);
    onMouseButton(3, 0, 10, 10);
    onMouseButton(4, 0, 10, 10);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_TRUE(seen[0].kind == CMD_BACK && seen[1].kind == CMD_ZOOM && seen[1].code == 1 && seen[2].code == -1);

    dispatch({CMD_POINT, 0, 4, 4});
    dispatch({CMD_SPECIAL, KEY_LEFT});
    EXPECT_EQ(hoverRow, -1);
}

}  // namespace
