// tests/unit/test_save.cpp — a battle kept and taken up again goes on as it would have; bad saves are refused
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/random.h"
#include "render/looks.h"
#include "rules/behaviour.h"
#include "rules/combat.h"
#include "app/input.h"
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

// Every class has acted once, a worn Healer has fallen, and player 2's Fighter
// has just stepped, its menu still open, when the battle is kept. What follows
// leans on what came before: the step choice, the cursor, the open menu and
// its entry, who has acted and who has fallen, the Healer's timer, the lunge's
// counters, the volley's trail, the backdrop.
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
    p.openMenu(3, 4);       // player 2's Mage defends, its Fighter steps right
    p.entry(3);
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

// What the units and the game's variables hold, written out here rather than
// by the save, so that anything the save leaves out shows.
std::string gameState() {
    std::ostringstream s;
    s.precision(9);
    for (const Unit* u : allUnits)
        s << "unit " << u->id << " " << u->unitClass << " " << u->player << " " << u->row << "," << u->col << " "
          << u->hp << " " << u->mp << " " << u->movePoints << " " << u->canAct << u->defending << u->dead << u->hero
          << u->menuOpen << u->visible << " " << u->facing << " " << u->position.x << "," << u->position.y << ","
          << u->position.z << "\n";
    s << currentPlayer << " " << bannerP1BeginTurn << bannerP1EndTurn << bannerP2BeginTurn << bannerP2EndTurn
      << bannerP1Wins << bannerP2Wins << " " << bannerSeconds << " " << p1Material << " " << p2Material << " "
      << skyChoice << "\n"
      << cursorRow << "," << cursorCol << " " << cursorOnUnit << " " << cursorUnitId << " " << menuItem << " "
      << missShown << choosingMove << moveTargetValid << choosingTarget << attackTargetValid << healChosen
      << specialChosen << "\n"
      << actionCounter << " " << lungeEffect.backTime << " " << lungeEffect.travelled << " "
      << arrowVolley.trailAge[15] << " " << randomGeneratorState() << " " << selectedUnit->id << " "
      << targetUnit->id << "\n";
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++) s << battleMap[r][c].terrain << ":" << battleMap[r][c].occupant << " ";
    return s.str();
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

TEST_F(SaveTest, KeptBattleTakenUpAgainGoesOnWithTheSameLinesAndEndsTheSame) {
    Player player;
    captureOutput([&] { playUntilKept(player); });
    ASSERT_TRUE(choosingMove && selectedUnit->menuOpen) << "kept in the middle of a unit's moves";
    ASSERT_TRUE(allUnits[4]->dead) << "the worn Healer fell before";
    std::istringstream text(saveText());
    const size_t kept = player.events.size();
    const std::string playedOn = captureOutput([&] { playOn(player); });
    const std::string wholeEnd = gameState();
    int blows = 0;
    for (size_t at = playedOn.find("Hit range"); at != std::string::npos; at = playedOn.find("Hit range", at + 1))
        blows++;
    EXPECT_EQ(blows, 4) << "four blows after the break:\n" << playedOn;

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
}

// Each fault written into a good save (two Archer heroes on the map above,
// player 1 to move), and the line that refuses it after the file's name.
struct Refusal {
    const char* from;      // replaced in the good save; none: the whole file is `to`
    const char* to;        // none either: no file at all
    const char* problem;
};
const Refusal REFUSALS[] = {
    {nullptr, nullptr, "cannot open it (No such file or directory)"},
    {nullptr, "", "it is empty"},
    {"version=1", "version=2",
     "line 1: unknown format or version \"kestrava-save version=2\", not \"kestrava-save version=1\""},
    {"mp=20 move=5 canAct=1 defending=1 dead=0 hero=1 menu=0 facing=-180 x=4.5 y=0 z=7.5\nend\n", "mp=2",
     "it is cut short: its last line is not \"end\""},
    {"rows=7", "rows=8", "line 10: the map has 8 rows, but 7 terrain lines follow"},
    {"terrain 11211\n", "terrain 11211\nterrain 11211\n",
     "line 10: the map has 7 rows, but more terrain lines follow"},
    {"terrain 11211", "terrain 112x1", "line 6: the terrain of row 3 is not 5 digits"},
    {"turn player=1\n", "", "line 10: expected \"turn\", found \"banners\""},
    {"cursor row=0 col=0", "cursor row=0 col=5",
     "line 13: the cursor is on row 0, column 5, outside the map of 7 rows and 5 columns"},
    {"seconds=0", "seconds=0 extra=1", "line 11: unexpected \"extra=1\" at the end"},
    {"menuItem=1", "menuItem=5", "line 13: menuItem=5 is outside 1 to 4"},
    {"trailAges=0,", "trailAges=", "line 17: trailAges holds 49 numbers, not 50"},
    {"selected=0", "selected=2", "line 18: selected= and target= must name one of the 2 units"},
    {"count=2", "count=3", "line 21: the units line counts 3, but 2 units follow"},
    {"count=2", "count=1", "line 20: the units line counts 1, but more units follow"},
    {"unit id=1", "unit id=2", "line 20: id=2 where id=1 comes next: ids run 0, 1, 2, … in order"},
    {"class=archer", "class=wizard", "line 19: class=wizard is no class of the game"},
    {"mp=20", "mp=lots", "line 19: mp=lots is not a whole number"},
    {"hp=80", "hp=81", "line 19: unit 0 has hp=81, above the archer's 80"},
    {"row=6 col=4", "row=7 col=4",
     "line 20: unit 1 stands on row 7, column 4, outside the map of 7 rows and 5 columns"},
    {"row=6 col=4", "row=0 col=4", "line 20: unit 1 stands on row 0, column 4 with unit 0"},
    {"z=7.5", "z=9", "line 20: unit 1 is more than a square away from row 6, column 4"},
    {"hero=1 menu=0 facing=-180", "hero=0 menu=0 facing=-180", "player 2 has 0 heroes, not one"},
    {"end\n", "end\nend\n", "line 22: lines follow \"end\""},
    {"p2Wins=0", "p2Wins=1", "the battle is over, player 2 won"},
};

TEST_F(SaveTest, ResumeRefusesABadOrFinishedSaveWithOneLineAndTouchesNothing) {
    startPlaying();
    const std::string good = saveText();
    resetBattleState();
    const std::string path = folder + "/" + SAVE_FILE;
    for (const Refusal& refusal : REFUSALS) {
        SCOPED_TRACE(refusal.problem);
        std::string text = refusal.from ? good : refusal.to ? refusal.to : "";
        if (refusal.from) {
            size_t at = text.find(refusal.from);
            ASSERT_NE(at, std::string::npos);
            text.replace(at, std::string(refusal.from).size(), refusal.to);
        }
        std::filesystem::remove(path);
        if (refusal.from || refusal.to) std::ofstream(path) << text;
        std::string line;
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
        std::string line;
        ASSERT_TRUE(resumeBattle(kept.c_str(), line)) << line;
        EXPECT_EQ(line, "Resuming the battle kept in " + kept + ": player " + std::to_string(player) + "'s turn.");
        std::ostringstream original;
        original << std::ifstream(kept).rdbuf();
        EXPECT_EQ(saveText(), original.str());
    }
}

// Nothing is written while a step glides, a blow plays or the heroes are
// chosen, nor when nothing changed; then the whole battle, in one go.
TEST_F(SaveTest, KeepsTheBattleOnlyWhenItChangedAndNothingMoves) {
    startPlaying();
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    for (bool* busy : {&moveAnimating, &attackAnimating, &choosingHeroes, static_cast<bool*>(nullptr)}) {
        keptRevision = busy ? battleRevision - 1 : battleRevision;
        if (busy) *busy = true;
        keepBattleIfChanged();
        if (busy) *busy = false;
        EXPECT_FALSE(std::filesystem::exists(SAVE_FILE)) << (busy ? "while busy" : "unchanged");
    }
    keptRevision = battleRevision - 1;
    keepBattleIfChanged();
    SavedBattle kept;
    std::ifstream file(SAVE_FILE);
    EXPECT_EQ(readSave(file, kept), "");
    EXPECT_FALSE(std::filesystem::exists(std::string(SAVE_FILE) + ".tmp"));
    std::filesystem::current_path(previous);
}

}  // namespace
