// tests/unit/test_save.cpp — a battle kept and taken up again goes on as it would have; bad saves are refused
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/input.h"
#include "game/looks.h"
#include "game/random.h"
#include "render/frame_clock.h"
#include "rules/behaviour.h"
#include "rules/combat.h"
#include "rules/keyboard.h"
#include "rules/movement.h"
#include "save/battle_save.h"
#include "tests/support/window_link_fake.h"
#include "tests/unit/rules_keys.h"

namespace {

constexpr float FRAME_SECONDS = 0.05f;
constexpr int FRAME = -1;          // an event that draws a frame instead of pressing a key
constexpr int CHARACTER = 1000;    // an event CHARACTER + c presses the character key c

std::string saveText() {
    std::ostringstream text;
    writeSave(captureBattle(), text);
    return text.str();
}

std::string fileText(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// Plays as a player would, looking at the board, and writes down every key
// and frame, so that the battle taken up again can be given the same ones.
struct Player {
    std::vector<int> events;

    void event(int e) {
        events.push_back(e);
        if (e == FRAME)
            drawnFrame();
        else if (e >= CHARACTER)
            dispatch({CMD_KEY, e - CHARACTER});
        else
            press(e);
    }
    void keys(std::initializer_list<int> list) {
        for (int key : list) event(key);
    }
    void character(char c) { event(CHARACTER + c); }
    void settle() {
        event(FRAME);
        for (int i = 0; i < 5000 && (attackAnimating || moveAnimating); i++) event(FRAME);
    }
    // Bounded, so that a key that no longer moves the cursor cannot hang the test.
    void cursorTo(int row, int col) {
        for (int i = 0; i < 50 && cursorRow != row; i++) event(cursorRow < row ? KEY_DOWN : KEY_UP);
        for (int i = 0; i < 50 && cursorCol != col; i++) event(cursorCol < col ? KEY_RIGHT : KEY_LEFT);
    }
    void openMenu(int row, int col) {
        cursorTo(row, col);
        if (selectedUnit->row != row || selectedUnit->col != col) keys({row > 0 ? KEY_UP : KEY_DOWN});
        cursorTo(row, col);
        event(KEY_INSERT);
    }
    void entry(int item) {
        for (int i = 0; i < 4 && menuItem != item; i++) event(KEY_DOWN);
        event(KEY_INSERT);
    }
    void act(int row, int col, int item, int targetRow, int targetCol) {
        openMenu(row, col);
        entry(item);
        cursorTo(targetRow, targetCol);
        event(KEY_INSERT);
        settle();
    }
};

// Steps onto (3, 2) cost 2, onto (2, 4) a Flier's 1 whatever the terrain.
const char* const MAP = "11111#\n11111#\n11112#\n11211#\n11111#\n11111#\n11111#";

// Every class has acted, the Mage with magic, a worn Healer has fallen, and player 2's Fighter
// has just stepped, its menu open, when the battle is kept; what follows leans on all of it.
void playUntilKept(Player& p) {
    placeUnit<Archer>(1, 0, 4);
    placeUnit<Healer>(1, 1, 1);
    placeUnit<Fighter>(1, 2, 1);
    placeUnit<Flier>(1, 2, 3);
    placeUnit<Healer>(2, 1, 4)->hp = 5;
    placeUnit<Fighter>(2, 3, 1);
    placeUnit<Mage>(2, 3, 4);
    placeUnit<Flier>(2, 4, 3);
    placeUnit<Archer>(2, 6, 4);
    for (int i = 0; i < 3; i++) p.character('m');
    p.openMenu(0, 4);
    p.settle();
    p.openMenu(6, 4);
    p.settle();
    p.act(0, 4, 1, 3, 4);   // Archer on the Mage
    p.act(2, 1, 1, 3, 1);   // Fighter on the Fighter
    p.openMenu(2, 3);       // the Flier steps right, then swoops on the Healer
    p.entry(4);
    p.keys({KEY_RIGHT, KEY_INSERT});
    p.settle();
    p.keys({KEY_HOME});
    p.entry(1);
    p.keys({KEY_UP, KEY_INSERT});
    p.settle();
    p.act(1, 1, 2, 2, 1);   // Healer heals the Fighter
    p.character('s');
    p.keys({KEY_F1});       // nobody of player 1 may act: the turn passes
    p.act(3, 4, 2, 2, 4);   // player 2's Mage casts its magic on the Flier, its Fighter steps right
    p.openMenu(3, 1);
    p.entry(4);
    p.keys({KEY_RIGHT, KEY_INSERT});
    p.settle();
}

void playOn(Player& p) {
    p.keys({KEY_LEFT, KEY_INSERT});   // the Fighter steps back,
    p.settle();
    p.keys({KEY_HOME, KEY_DOWN, KEY_HOME, KEY_INSERT});   // looks at its menu, closes it, opens it again
    p.entry(1);                       // and strikes player 1's Fighter
    p.keys({KEY_UP, KEY_INSERT});
    p.settle();
    p.openMenu(4, 3);                 // the Flier steps up twice and swoops on the Flier
    p.entry(4);
    for (int step = 0; step < 2; step++) {
        p.keys({KEY_UP, KEY_INSERT});
        p.settle();
    }
    p.keys({KEY_HOME});
    p.entry(1);
    p.keys({KEY_RIGHT, KEY_INSERT});
    p.settle();
    p.openMenu(6, 4);                 // the hero defends: the turn passes
    p.entry(3);
    p.keys({KEY_F1});
    p.act(1, 1, 2, 2, 1);             // player 1's Healer heals the Fighter again
    p.act(0, 4, 1, 3, 4);             // and the Archer shoots at the Mage again
    p.character('s');
}

// What the units and variables hold, written out here so that anything the save leaves out
// shows; -1 for a placeholder selected or targeted.
std::string gameState() {
    std::ostringstream s;
    s.precision(9);
    for (const Unit* u : allUnits)
        s << "unit " << u->id << " " << u->unitClass << " " << u->player << " " << u->row << "," << u->col << " "
          << u->hp << " " << u->mp << " " << u->movePoints << " " << u->canAct << u->defending << u->dead << u->hero
          << u->menuOpen << u->visible << " " << u->facing << " " << u->position.x << "," << u->position.y << ","
          << u->position.z << "\n";
    s << currentPlayer << " " << firstTurn << bannerP1BeginTurn << bannerP1EndTurn << bannerP2BeginTurn
      << bannerP2EndTurn << bannerP1Wins << bannerP2Wins << " " << bannerSeconds << " " << p1Material << " " << p2Material << " "
      << skyChoice << "\n"
      << cursorRow << "," << cursorCol << " " << cursorOnUnit << " " << cursorUnitId << " " << menuItem << " "
      << missShown << choosingMove << moveTargetValid << choosingTarget << attackTargetValid << healChosen
      << specialChosen << "\n"
      << actionCounter << " " << lungeEffect.backTime << " " << lungeEffect.travelled << " "
      << arrowVolley.trailAge[15] << " " << randomGeneratorState() << " " << effectGeneratorState() << " "
      << (selectedUnit->player ? selectedUnit->id : -1) << " " << (targetUnit->player ? targetUnit->id : -1) << "\n";
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++) s << battleMap[r][c].terrain << ":" << battleMap[r][c].occupant << " ";
    return s.str();
}

// The hit rolls and extras out printed, or in their place the numbers the
// battle's generator, seeded with seed, gives for them in that order.
std::string rolls(const std::string& out, unsigned seed, bool fromGenerator) {
    seedRandom(seed);
    std::istringstream lines(out);
    std::string found;
    int value = 0;
    for (std::string line; std::getline(lines, line);) {
        if (std::sscanf(line.c_str(), "Hit range = %d", &value) == 1)
            found += " roll " + std::to_string(fromGenerator ? randomInt(0, 100) : value);
        if (std::sscanf(line.c_str(), "An Extra %d", &value) == 1)
            found += " extra " + std::to_string(fromGenerator ? randomNext() * (SPECIAL_EXTRA_MAX + 1) / 32768 : value);
    }
    return found;
}

class SaveTest : public BattleTest {
protected:
    std::string folder;
    void SetUp() override {
        BattleTest::SetUp();
        char name[] = "/tmp/kestrava-save-test-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
        loadMap(MAP);
        frameSeconds = FRAME_SECONDS;
    }
    void TearDown() override {
        std::filesystem::remove_all(folder);
        BattleTest::TearDown();
    }
};

// Kept after a Mage's magic and taken up again, a battle goes on to the same lines and end;
// its rolls are the generator's numbers in order, the same at 60 frames a second as at 20.
TEST_F(SaveTest, KeptBattleTakenUpAgainGoesOnWithTheSameLinesAndEndsTheSame) {
    Player player;
    std::string lines = captureOutput([&] { playUntilKept(player); });
    ASSERT_TRUE(choosingMove && selectedUnit->menuOpen) << "kept in the middle of a unit's moves";
    ASSERT_TRUE(allUnits[4]->dead) << "the worn Healer fell before";
    std::istringstream text(saveText());
    const size_t kept = player.events.size();
    const std::string playedOn = captureOutput([&] { playOn(player); });
    const std::string wholeEnd = gameState();
    lines += playedOn;
    int blows = 0;
    for (size_t at = playedOn.find("Hit range"); at != std::string::npos; at = playedOn.find("Hit range", at + 1))
        blows++;
    EXPECT_EQ(blows, 4) << "four blows after the break:\n" << playedOn;
    EXPECT_NE(lines.find("An Extra"), std::string::npos) << "the spell struck:\n" << lines;
    EXPECT_EQ(rolls(lines, 1, false), rolls(lines, 1, true)) << lines;

    resetBattleState();
    SavedBattle battle;
    ASSERT_EQ(readSave(text, battle), "");
    restoreBattle(battle);
    frameSeconds = FRAME_SECONDS;
    Player again;
    std::string resumedOn = captureOutput([&] {
        for (size_t i = kept; i < player.events.size(); i++) again.event(player.events[i]);
    });
    EXPECT_EQ(resumedOn, playedOn);
    EXPECT_EQ(gameState(), wholeEnd);

    resetBattleState();
    loadMap(MAP);
    frameSeconds = 1 / 60.0f;
    Player faster;
    EXPECT_EQ(captureOutput([&] { playUntilKept(faster), playOn(faster); }), lines) << "at 60 frames a second";
}

// Kept at its edges, on every backdrop, a battle comes back as it was; the file kept right
// after the hero choice is the one under tests/data/saves.
TEST_F(SaveTest, KeptAtItsEdgesABattleComesBackAsItWas) {
    const std::function<bool()> moments[] = {
        [] {   // the hero choice just over, its banner up and its hint due; Mages, the last class, the heroes
            placeUnit<Archer>(1, 0, 4), placeUnit<Mage>(1, 1, 2), placeUnit<Archer>(2, 6, 4);
            captureOutput([] { chooseHeroes(*allUnits[1], *placeUnit<Mage>(2, 5, 2)); });
            return firstTurn && bannerP1BeginTurn && allUnits[3]->hero;
        },
        [] {   // unit 0 stopped half-way into its step, the step still chosen
            placeUnit<Fighter>(1, 2, 1);
            startPlaying();
            startStepping(*allUnits[0]);
            press({KEY_RIGHT, KEY_INSERT});
            idleUntil([] { return false; }, 10);
            press(KEY_HOME);
            return moveTargetValid && selectedUnit == allUnits[0] && allUnits[0]->position.x > 1.6f;
        },
        [] {   // a Flier on the square where a later unit fell
            Unit* flier = placeUnit<Flier>(1, 3, 1);
            Unit* fighter = placeUnit<Fighter>(1, 2, 2);
            startPlaying();
            placeUnit<Healer>(2, 3, 2)->hp = 5;
            seedForRoll(90, 100);
            chooseEntry(*fighter, 1);
            captureOutput([] {
                press({KEY_DOWN, KEY_INSERT});
                idleUntil([] { return !attackAnimating; }, 5000);
            });
            startStepping(*flier);
            press({KEY_RIGHT, KEY_INSERT});
            glide();
            return allUnits[4]->dead && standsOn(*flier, 3, 2);
        },
        [] {   // player 2's turn, its banner on its second tick, after a heal set the Healer's
               // timer going and a missed shot that is still shown
            startPlaying();
            chooseEntry(*placeUnit<Healer>(1, 1, 3), 2);
            press({KEY_UP, KEY_RIGHT, KEY_INSERT});
            idleUntil([] { return !attackAnimating; }, 5000);
            placeUnit<Fighter>(2, 3, 4);
            seedForRoll(0, 5);
            chooseEntry(*allUnits[0], 1);
            captureOutput([] {
                press({KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_INSERT});
                idleUntil([] { return !attackAnimating; }, 5000);
            });
            onKeyboard('e', 0, 0);
            tickFrameClock(1001);
            tickFrameClock(2002);
            return currentPlayer == 2 && bannerSeconds == 2 && actionCounter >= 300 && missShown;
        },
        [] {   // a Mage aiming its magic at an enemy
            Unit* mage = placeUnit<Mage>(1, 2, 2);
            startPlaying();
            placeUnit<Fighter>(2, 3, 2);
            chooseEntry(*mage, 2);
            press(KEY_DOWN);
            return specialChosen && attackTargetValid;
        },
        [] {   // menus the keys leave open after backing out of aiming onto a friend, which that
               // friend then selects: a Fighter's, felled by the friend's blow, and a Mage's
            Unit* fighter = placeUnit<Fighter>(1, 2, 2);
            Unit* archer = placeUnit<Archer>(1, 3, 2);
            Unit* mage = placeUnit<Mage>(1, 3, 3);
            startPlaying();
            fighter->hp = 5;
            chooseEntry(*fighter, 1);
            press({KEY_DOWN, KEY_HOME});
            seedForRoll(90, 100);
            chooseEntry(*archer, 1);
            captureOutput([] {
                press({KEY_UP, KEY_INSERT});
                idleUntil([] { return !attackAnimating; }, 5000);
            });
            chooseEntry(*mage, 1);
            press({KEY_LEFT, KEY_HOME});
            return fighter->dead && fighter->menuOpen && mage->menuOpen && selectedUnit == archer;
        },
    };
    const std::string path = folder + "/" + SAVE_FILE;
    for (int backdrop = 0; backdrop < 6; backdrop++) {
        SCOPED_TRACE(backdrop);
        resetBattleState();
        loadMap(MAP);
        frameSeconds = FRAME_SECONDS;
        captureOutput([&] {
            for (int press = 0; press < backdrop; press++) dispatch({CMD_KEY, 's'});
        });
        ASSERT_TRUE(moments[backdrop % std::size(moments)]()) << "the battle did not come to the moment";
        updateVisibility(currentPlayer);
        const std::string before = gameState();
        keepBattle(path.c_str());
        if (backdrop == 0) {
            EXPECT_EQ(fileText(path), fileText(std::string(TEST_DATA_DIR) + "/saves/heroes_just_chosen.txt"));
        }
        resetBattleState();
        std::string line;
        ASSERT_TRUE(resumeBattle(path.c_str(), line)) << line;
        EXPECT_EQ(gameState(), before);
    }
}

TEST_F(SaveTest, EveryBattleAtRestIsKeptAsOneThatReadsBackAsItself) {
    const int keys[] = {KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN, KEY_INSERT, KEY_INSERT, KEY_HOME};
    int checked = 0;
    for (unsigned seed : {5u, 9u, 13u}) {
        SCOPED_TRACE(seed);
        resetBattleState();
        loadMap(MAP);
        seedRandom(seed);
        for (int k = 0; k < 12; k++) {   // six of each side on its two home rows, worn so that some fall
            Unit* unit = placeUnitOfClass(k / 2 % 5 + 1, k % 2 + 1, k % 2 ? 6 - k / 10 : k / 10, k / 2 % 5);
            unit->hp = randomInt(5, unit->maxHp / 2);
        }
        captureOutput([&] {
            for (int event = 0; event < 5000 && !battleWon(); event++) {
                const int pick = randomInt(0, 99);
                if (pick >= 40) {
                    frameSeconds = randomInt(5, 100) / 1000.0f;
                    drawnFrame();
                    continue;
                }
                if (pick < 38) press(keys[randomInt(0, 6)]);
                else dispatch({CMD_KEY, "tes"[randomInt(0, 2)]});
                if (moveAnimating || attackAnimating || choosingHeroes) continue;
                const std::string text = saveText();
                SavedBattle battle;
                std::istringstream in(text);
                ASSERT_EQ(readSave(in, battle), "") << "after event " << event << ":\n" << text;
                std::ostringstream again;
                writeSave(battle, again);
                ASSERT_EQ(again.str(), text);
                checked++;
            }
        });
    }
    EXPECT_GT(checked, 2000);
}

// Player 1's second turn, its hero Archer (unit 0, at (0, 4)) with its menu open, a Fighter
// below it, player 2's hero on row 6 and its Healer fallen on row 5. Lines: 10 turn, 11 banners,
// 13 cursor, 14 choice, 15 carry, 17 volley, 18 units, 19 to 22 the units, 23 end.
void openTheGoodSave() {
    startPlaying();
    placeUnit<Fighter>(1, 1, 4);
    Unit* fallen = placeUnit<Healer>(2, 5, 0);
    fallen->hp = -5;
    fallen->dead = true;
    fallen->canAct = false;
    battleMap[5][0].occupant = -1;
    onKeyboard('e', 0, 0);   // player 1's second turn, its banners gone
    onKeyboard('e', 0, 0);
    for (int second = 1; second <= 6; second++) tickFrameClock(second * 1001);
    openMenuOf(*allUnits[0]);
}

// Each fault written into the good save, or the file put in its place, and
// the line that refuses it after the file's name.
struct Refusal {
    std::vector<std::pair<std::string, std::string>> edits;   // each replaces its first text once; "": the whole file
    std::string problem;
    FileKind kind = TEXT;
};
const std::string CUT_SHORT = "it is cut short: its last line is not \"end\"";
const Refusal REFUSALS[] = {
    {{}, "cannot open it (No such file or directory)", NO_FILE},
    {{}, "it is a directory, not a file", FOLDER},
    {{}, "it is a pipe, not a file", PIPE},
    {{}, "it is a device, not a file", DEVICE},
    {{{"", ""}}, "it is empty"},
    {{{"", std::string(5 << 20, '\n')}}, "it is larger than any battle's save (4194304 bytes)"},
    {{{"version=3", "version=1"}},
     "line 1: unknown format or version \"kestrava-save version=1\", not \"kestrava-save version=3\""},
    {{{"", "\x1b[2J" + std::string(100, 'x') + "\n"}},
     "line 1: unknown format or version \"\\x1b[2J" + std::string(76, 'x') + "...\", not \"kestrava-save version=3\""},
    {{{"\nend\n", "\ne"}}, CUT_SHORT},
    {{{"end\n", ""}}, CUT_SHORT},
    {{{"end\n", "end\n\n"}}, "line 24: a blank line follows \"end\""},
    {{{"end\n", "end\nend\n"}}, "line 24: lines follow \"end\""},
    {{{"z=1.5", "z=1.5" + std::string(5000, ' ')}}, "line 19: the line is longer than 4096 characters"},
    {{{"rows=7", "rows=8"}}, "line 10: the map has 8 rows, but 7 terrain lines follow"},
    {{{"terrain 11211\n", "terrain 11211\nterrain 11211\n"}},
     "line 10: the map has 7 rows, but more terrain lines follow"},
    {{{"terrain 11211", "terrain 112x1"}}, "line 6: the terrain of row 3 is not 5 digits"},
    {{{"turn player=1 tick=0\n", ""}}, "line 10: expected \"turn\", found \"banners\""},
    {{{"cursor row=0 col=4", "cursor row=0 col=5"}},
     "line 13: the cursor is on row 0, column 5, outside the map of 7 rows and 5 columns"},
    {{{"helpHint=0", "helpHint=0 extra=\x7f"}}, "line 11: unexpected \"extra=\\x7f\" at the end"},
    {{{"menuItem=1", "menuItem=5"}}, "line 13: menuItem=5 is outside 1 to 4"},
    {{{"trailAges=0,", "trailAges="}}, "line 17: trailAges holds 49 numbers, not 50"},
    {{{"selected=0", "selected=4"}}, "line 18: selected= and target= must name one of the 4 units"},
    {{{"count=4", "count=5"}}, "line 23: the units line counts 5, but 4 units follow"},
    {{{"count=4", "count=3"}}, "line 22: the units line counts 3, but more units follow"},
    {{{"unit id=1", "unit id=2"}}, "line 20: id=2 where id=1 comes next: ids run 0, 1, 2, … in order"},
    {{{"class=archer", "class=wizard"}}, "line 19: class=wizard is no class of the game"},
    {{{"mp=20", "mp=lots"}}, "line 19: mp=lots is not a whole number"},
    {{{"hp=80", "hp=81"}}, "line 19: unit 0 has hp=81, above the archer's 80"},
    {{{"row=6 col=4", "row=7 col=4"}},
     "line 20: unit 1 stands on row 7, column 4, outside the map of 7 rows and 5 columns"},
    {{{"row=6 col=4", "row=0 col=4"}}, "line 20: unit 1 stands on row 0, column 4 with unit 0"},
    {{{"z=7.5", "z=9"}}, "line 20: unit 1 is more than a square away from row 6, column 4"},
    {{{"dead=0 hero=1 menu=0", "dead=0 hero=0 menu=0"}}, "player 2 has 0 heroes, not one"},
    {{{"p2Wins=0", "p2Wins=1"}}, "the battle is over, player 2 won"},
    // What no battle comes to, though every line reads.
    {{{"p1Begin=0 p1End=0", "p1Begin=1 p1End=1"}}, "line 11: more than one turn banner is up"},
    {{{"p1Begin=0", "p1Begin=1"}, {"seconds=0", "seconds=1.5"}}, "line 11: seconds=1.5 is not a whole number of ticks"},
    {{{"p1Begin=0", "p1Begin=1"}, {"seconds=0", "seconds=4"}}, "line 11: seconds=4 is outside 0 to 2"},
    {{{"seconds=0", "seconds=1"}}, "line 11: seconds=1 with no turn banner up"},
    {{{"turn player=1 ", "turn player=2 "}, {"helpHint=0", "helpHint=1"}},
     "line 11: helpHint=1 in player 2's turn; the hint is for player 1's first"},
    {{{"actionCounter=0", "actionCounter=2147483647"}}, "line 15: actionCounter=2147483647 is outside 0 to 100000000"},
    {{{"lungeBack=0", "lungeBack=-1e30"}}, "line 15: lungeBack=-1e30 is outside 0 to 1000000"},
    {{{"lungeTravelled=0", "lungeTravelled=2e3"}}, "line 15: lungeTravelled=2e3 is outside 0 to 1000"},
    {{{"trailAges=0,", "trailAges=-1,"}}, "line 17: trailAges=-1 is outside 0 to 1000"},
    {{{"facing=0", "facing=271"}}, "line 19: facing=271 is outside -181 to 270"},
    {{{"dead=0 hero=1 menu=0", "dead=1 hero=1 menu=0"}}, "line 20: unit 1 is a hero and has fallen"},
    {{{"player=2 row=6 col=4 hp=80", "player=2 row=6 col=4 hp=0"}},
     "line 20: unit 1, player 2's hero, has hp=0 while the battle goes on"},
    {{{"hp=100", "hp=0"}}, "line 21: unit 2 has hp=0 but has not fallen"},
    {{{"hp=-5", "hp=5"}}, "line 22: unit 3 has fallen with hp=5"},
    {{{"canAct=0 defending=1 dead=1", "canAct=1 defending=1 dead=1"}}, "line 22: unit 3 has fallen but may still act"},
    {{{"selected=0", "selected=3"}}, "line 18: selected=3 names a fallen unit"},
    {{{"unitId=0", "unitId=4"}}, "line 13: unitId=4 names none of the 4 units"},
    {{{"moveValid=0", "moveValid=1"}}, "line 14: moveValid=1 without move=1"},
    {{{"targetValid=0", "targetValid=1"}}, "line 14: targetValid=1 without target=1"},
    {{{"heal=0", "heal=1"}}, "line 14: heal=1 without target=1"},
    {{{"target=0", "target=1"}, {"heal=0 special=0", "heal=1 special=1"}},
     "line 14: heal=1 and special=1: only one entry is taken"},
    {{{"move=0", "move=1"}, {"target=0", "target=1"}},
     "line 14: move=1 and target=1: a unit chooses a step or a target"},
    {{{"move=0", "move=1"}, {"selected=0", "selected=-1"}}, "line 14: move=1 with no unit selected"},
    {{{"move=0", "move=1"}, {"menu=1", "menu=0"}}, "line 14: move=1, but unit 0's menu is closed"},
    {{{"canAct=1 defending=1 dead=0 hero=1", "canAct=0 defending=1 dead=0 hero=1"}},
     "line 19: unit 0 has its menu open but may not act"},
    {{{"hero=1 menu=0", "hero=1 menu=1"}}, "line 20: unit 1 of player 2 has its menu open in player 1's turn"},
    {{{"cursor row=0 col=4 onUnit=1", "cursor row=4 col=4 onUnit=0"}},
     "line 13: unit 0's menu is open, but the cursor on row 4, column 4 is beyond the reach of unit 0, 3"},
    {{{"cursor row=0 col=4 onUnit=1", "cursor row=3 col=0 onUnit=1"}, {"menu=1", "menu=0"}},
     "line 13: onUnit=1, but the cursor on row 3, column 0 is beyond the reach of unit 0, 3"},
    {{{"tick=0", "tick=1099511627777"}}, "line 10: tick=1099511627777 is outside 0 to 1099511627776"},
    {{{"move=0", "move=1"}, {"move=5 canAct=1 defending=1 dead=0 hero=1", "move=0 canAct=1 defending=1 dead=0 hero=1"}},
     "line 14: move=1, but unit 0 has no movement points left"},
    {{{"move=0 moveValid=0", "move=1 moveValid=1"}, {"cursor row=0 col=4", "cursor row=1 col=4"}},
     "line 14: moveValid=1, but the cursor on row 1, column 4 is not a free square next to unit 0"},
    {{{"move=0", "move=1"}, {"cursor row=0 col=4", "cursor row=3 col=3"}},
     "line 14: move=1, but the cursor on row 3, column 3 is further from unit 0 than the keys take it"},
    {{{"target=0", "target=1"}, {"cursor row=0 col=4", "cursor row=4 col=4"}},
     "line 14: target=1, but the cursor on row 4, column 4 is beyond the reach of unit 0, 3"},
    {{{"target=0 targetValid=0", "target=1 targetValid=1"}}, "line 14: targetValid=1, but unit 0 would aim at itself"},
    {{{"target=0 targetValid=0", "target=1 targetValid=1"}, {"cursor row=0 col=4", "cursor row=0 col=3"}},
     "line 14: targetValid=1, but no unit stands under the cursor on row 0, column 3"},
    {{{"target=0", "target=1"}, {"heal=0", "heal=1"}}, "line 14: heal=1, but unit 0 is an archer, which does not heal"},
    {{{"target=0", "target=1"}, {"special=0", "special=1"}, {"mp=20", "mp=9"}},
     "line 14: special=1, but unit 0 has mp=9, short of the 10 its entry needs"},
};

TEST_F(SaveTest, ResumeRefusesABadOrFinishedSaveWithOneLineAndTouchesNothing) {
    openTheGoodSave();
    const std::string good = saveText();
    const std::string path = folder + "/" + SAVE_FILE;
    std::string line;
    std::ofstream(path) << good;
    resetBattleState();
    ASSERT_TRUE(resumeBattle(path.c_str(), line)) << line;
    EXPECT_EQ(saveText(), good);
    for (const Refusal& refusal : REFUSALS) {
        SCOPED_TRACE(refusal.problem);
        resetBattleState();
        std::filesystem::remove_all(path);
        std::string text = good;
        for (const auto& [from, to] : refusal.edits) {
            size_t at = text.find(from);
            ASSERT_NE(at, std::string::npos);
            text.replace(at, from.empty() ? text.size() : from.size(), to);
        }
        makeFileAt(path, refusal.kind, text);
        EXPECT_FALSE(resumeBattle(path.c_str(), line));
        EXPECT_EQ(line, "Cannot resume from " + path + ": " + refusal.problem + ".");
        EXPECT_TRUE(allUnits.empty() && mapRows == 0) << "a refused save reached the game";
    }

    // Saves the game wrote itself, by its window and in this file's battle,
    // go on where they stopped and are written again unchanged.
    for (int player : {1, 2}) {
        resetBattleState();
        const std::string kept = std::string(TEST_DATA_DIR) + "/saves/" +
                                 (player == 1 ? "first_shot_missed.txt" : "step_kept_open.txt");
        ASSERT_TRUE(resumeBattle(kept.c_str(), line)) << line;
        EXPECT_EQ(line, "Resuming the battle kept in " + kept + ": player " + std::to_string(player) + "'s turn.");
        EXPECT_EQ(saveText(), fileText(kept));
    }
}

// Nothing is kept while a step glides, a blow plays or heroes are chosen, nor when nothing
// changed; then the whole battle at once. The frame after the hero choice keeps it.
TEST_F(SaveTest, KeepsTheBattleOnlyWhenItChangedAndNothingMoves) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    startPlaying();
    keepBattleIfChanged();
    EXPECT_TRUE(std::filesystem::remove(SAVE_FILE)) << "nothing kept after the hero choice";
    bool* const flags[] = {&moveAnimating, &attackAnimating, &choosingHeroes, &keepingBattle, nullptr};
    for (bool* busy : flags) {
        keptRevision = busy ? battleRevision - 1 : battleRevision;
        if (busy) *busy = busy != &keepingBattle;
        keepBattleIfChanged();
        if (busy) *busy = busy == &keepingBattle;
        EXPECT_FALSE(std::filesystem::exists(SAVE_FILE)) << (busy ? "while busy" : "unchanged");
    }
    keptRevision = battleRevision - 1;
    keepBattleIfChanged();
    SavedBattle kept;
    EXPECT_EQ(readSaveFile(SAVE_FILE, kept), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1) << "a temporary file was left";
    std::filesystem::current_path(previous);
}

// A failure to keep (file size limit, full disk) leaves the last save whole and is told once,
// on the console and on screen, and again only after keeping has worked in between.
TEST_F(SaveTest, AFailureToKeepIsToldOnceUntilKeepingHasWorkedAgain) {
    startPlaying();
    const std::string path = folder + "/" + SAVE_FILE;
    const std::string told = "Could not keep the battle in " + path + ": File too large\n";
    rlimit limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlim_t unlimited = limit.rlim_cur, small = 300;   // the line fits, the save does not
    const std::pair<rlim_t, std::string> attempts[] = {
        {unlimited, ""}, {small, told}, {small, ""}, {unlimited, ""}, {small, told}, {unlimited, ""}};
    // Another test may have left the signal ignored: keeping must ignore it itself.
    std::signal(SIGXFSZ, SIG_DFL);
    for (const auto& [most, console] : attempts) {
        const std::string before = fileText(path);
        skyChoice = (skyChoice + 1) % 6;   // a battle unlike the one kept
        keepTroubleSeconds = 0;
        limit.rlim_cur = most;
        setrlimit(RLIMIT_FSIZE, &limit);
        testing::internal::CaptureStderr();
        keepBattle(path.c_str());
        limit.rlim_cur = unlimited;
        setrlimit(RLIMIT_FSIZE, &limit);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), console) << most;
        EXPECT_EQ(keepTroubleSeconds > 0, !console.empty());
        EXPECT_EQ(fileText(path) == before, most == small) << "kept, or left whole";
        if (console.empty()) continue;
        EXPECT_EQ(keepTrouble, "The battle could not be kept in " + path + ": File too large");
        frameSeconds = 1;
        keptRevision = battleRevision;
        for (int second = 0; second < KEEP_TROUBLE_SECONDS; second++) {
            EXPECT_GT(keepTroubleSeconds, 0) << "gone after " << second << " s";
            keepBattleIfChanged();
        }
        EXPECT_LE(keepTroubleSeconds, 0) << "the line stays on screen";
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "a temporary file was left";
}

// Runs a game's part in a child process; its exit status, or -1 when a
// signal ended it.
int inChild(const std::function<int()>& part) {
    const pid_t child = fork();
    if (child == 0) _exit(part());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Two games keeping in one folder: every file a reader finds is whole, one of the two.
TEST_F(SaveTest, TwoGamesKeepingInOneFolderNeverLeaveATornSave) {
    startPlaying();
    const std::string path = folder + "/" + SAVE_FILE;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    std::string texts[2];
    pid_t games[2];
    for (int game = 0; game < 2; game++) {
        skyChoice = game;   // each its own battle
        texts[game] = saveText();
        games[game] = fork();
        if (games[game] == 0) {
            while (std::chrono::steady_clock::now() < end) keepBattle(path.c_str());
            _exit(0);
        }
    }
    int reads = 0, torn = 0;
    while (std::chrono::steady_clock::now() < end) {
        const std::string text = fileText(path);
        SavedBattle battle;
        if (text.empty() && reads == 0) continue;   // not yet written
        reads++;
        torn += (text != texts[0] && text != texts[1]) + !readSaveFile(path.c_str(), battle).empty();
    }
    for (pid_t game : games) {
        int status = 0;
        waitpid(game, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_GT(reads, 100);
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "a temporary file was left";
}

// A second game in the folder says so and keeps nothing until the first has ended.
TEST_F(SaveTest, ASecondGameInTheFolderKeepsNothingWhileTheFirstRuns) {
    startPlaying();
    const auto game = [&] {
        std::string line;
        const bool claimed = chdir(folder.c_str()) == 0 && claimSaveFolder(SAVE_FILE, line);
        keptRevision = battleRevision - 1;
        keepBattleIfChanged();
        const bool kept = std::filesystem::exists(SAVE_FILE);
        if (claimed) return line.empty() && kept ? 0 : 8;
        return line == "Another game running in this folder keeps its battle in kestrava-save.txt: this one will "
                       "keep nothing." && !kept ? 1 : 9;
    };
    int running[2];
    ASSERT_EQ(pipe(running), 0);
    const pid_t first = fork();
    if (first == 0) {
        std::string line;
        claimSaveFolder((folder + "/" + SAVE_FILE).c_str(), line);
        _exit(write(running[1], "!", 1) == 1 ? pause() : 9);
    }
    char started = 0;
    EXPECT_EQ(::read(running[0], &started, 1), 1);
    EXPECT_EQ(inChild(game), 1) << "while the first game runs";
    kill(first, SIGTERM);
    waitpid(first, nullptr, 0);
    EXPECT_EQ(inChild(game), 0) << "once it has ended";
    close(running[0]);
    close(running[1]);
}

}  // namespace
