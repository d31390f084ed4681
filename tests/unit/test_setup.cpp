// tests/unit/test_setup.cpp — the setup screen's choices, made by its keys and clicks through the
// dispatcher, and the command line Start hands on
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/input.h"
#include "app/options.h"
#include "app/setup.h"
#include "render/setup_layout.h"
#include "rules/cursor.h"

std::vector<std::string> setupStarted;   // what the last Start, Resume or replay handed on
void noteSetupStart(const std::vector<std::string>& arguments) { setupStarted = arguments; }

// A run folder of its own: the bundled maps, a kept battle, two recordings,
// and beside them a pipe and a text file, neither of them a recording.
class SetupTest : public ::testing::Test {
protected:
    std::filesystem::path folder, before;
    void SetUp() override {
        before = std::filesystem::current_path();
        folder = std::filesystem::temp_directory_path() / ("kestrava-setup-" + std::to_string(getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::filesystem::create_directory_symlink(RUN_DIR "/maps", folder / "maps");
        std::ofstream(folder / "kestrava-save.txt") << "kestrava-save version=9\n";
        std::ofstream(folder / "b.rec") << "kestrava-replay version=2\nseed 1\n";
        std::ofstream(folder / "--a-battle") << "kestrava-replay version=1\n";
        std::ofstream(folder / "notes.txt") << "kestrava-replay, but not at the start\n";
        ASSERT_EQ(mkfifo((folder / "c.rec").c_str(), 0600), 0);
        ASSERT_EQ(chdir(folder.c_str()), 0);
        findSetupFiles();
        setupStarts = noteSetupStart;
    }
    void TearDown() override {
        setupShowing = false;
        setupStarts = nullptr;
        EXPECT_EQ(chdir(before.c_str()), 0);
        std::filesystem::remove_all(folder);
    }
};

TEST_F(SetupTest, FindsTheMapsTheKeptBattleAndOnlyTheFilesThatAreRecordings) {
    ASSERT_EQ(setupMaps.size(), 7u);
    EXPECT_EQ(setupMaps.front().name, "chaos-maze");
    EXPECT_EQ(setupMaps.back().name, "wide-field");
    EXPECT_EQ(setupMaps.back().cols, 50);
    EXPECT_EQ(setupMaps.back().terrain.size(), 2500u);
    EXPECT_TRUE(setupResumable);
    EXPECT_EQ(setupReplays, (std::vector<std::string>{"--a-battle", "b.rec"}));
}

namespace {
Command click(SetupControl control, int index = 0) { return {CMD_CHOOSE, control, index}; }
Command special(int key) { return {CMD_SPECIAL, key}; }
Command key(unsigned char code) { return {CMD_KEY, code}; }
std::vector<Command> times(int count, const Command& command) { return std::vector<Command>(count, command); }
std::vector<Command> operator+(std::vector<Command> a, const std::vector<Command>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
const std::string ARMIES = " 2 2 2 2 2 2 2 2 2 2";
}  // namespace

// From the screen as it opens (the first map, two of each class, two
// people, normal, 1X, the keys on Start), each row's commands and then
// Enter: what Start hands on ("" when it refuses), and the speed chosen.
TEST_F(SetupTest, EveryChoiceAtItsEndsStartsTheBattleItsCommandLineStarts) {
    const int riverFords = 4, skirmish = 5;
    struct Row {
        const char* what;
        std::vector<Command> commands;
        std::string started;
        int speed;
    };
    std::vector<Row> rows = {
        {"as it opens", {}, "--map chaos-maze" + ARMIES, 1},
        {"a class down to 0, and no lower", times(3, click(SETUP_FEWER, 0)), "--map chaos-maze 0 2 2 2 2 2 2 2 2 2", 1},
        {"player 1's first class to its most, and no higher, the rest none: wide-field's home rows exactly",
         std::vector<Command>{click(SETUP_MAP, 6)} + times(MOST_CLASS_COUNT + 5, click(SETUP_MORE, 0)) +
             times(2, click(SETUP_FEWER, 1)) + times(2, click(SETUP_FEWER, 2)) + times(2, click(SETUP_FEWER, 3)) +
             times(2, click(SETUP_FEWER, 4)),
         "--map wide-field 150 0 0 0 0 2 2 2 2 2", 1},
        {"player 1 fills river-fords' home rows exactly (20 columns, 16 rows)",
         std::vector<Command>{click(SETUP_MAP, riverFords)} + times(50, click(SETUP_MORE, 4)),
         "--map river-fords 2 2 2 2 52 2 2 2 2 2", 1},
        {"player 1 one unit more than they hold",
         std::vector<Command>{click(SETUP_MAP, riverFords)} + times(51, click(SETUP_MORE, 4)), "", 1},
        {"player 2 one unit more than they hold",
         std::vector<Command>{click(SETUP_MAP, riverFords)} + times(51, click(SETUP_MORE, 5)), "", 1},
        {"player 2 with none at all", std::vector<Command>{click(SETUP_MAP, skirmish)} +
                                          times(2, click(SETUP_FEWER, 5)) + times(2, click(SETUP_FEWER, 6)) +
                                          times(2, click(SETUP_FEWER, 7)) + times(2, click(SETUP_FEWER, 8)) +
                                          times(2, click(SETUP_FEWER, 9)),
         "--map skirmish 2 2 2 2 2 0 0 0 0 0", 1},
        {"the keys: down past Resume and the recordings round to the map, left round to the last, a count up, "
         "the next down and no lower",
         {special(KEY_DOWN), special(KEY_DOWN), special(KEY_DOWN), special(KEY_LEFT), special(KEY_DOWN),
          special(KEY_RIGHT), special(KEY_DOWN), special(KEY_LEFT), special(KEY_LEFT), special(KEY_LEFT)},
         "--map wide-field 3 0 2 2 2 2 2 2 2 2", 1},
        {"the computer commands player 1", {click(SETUP_COMMANDER, 1)},
         "--map chaos-maze --computer 1 --level normal" + ARMIES, 1},
        {"the computer commands player 2, hard", {click(SETUP_COMMANDER, 2), click(SETUP_LEVEL)},
         "--map chaos-maze --computer 2 --level hard" + ARMIES, 1},
        {"the computer commands both, easy (round past hard)",
         {click(SETUP_COMMANDER, 1), click(SETUP_COMMANDER, 2), click(SETUP_LEVEL), click(SETUP_LEVEL)},
         "--map chaos-maze --computer both --level easy" + ARMIES, 1},
        {"a person again after the computer", {click(SETUP_COMMANDER, 2), click(SETUP_COMMANDER, 2)},
         "--map chaos-maze" + ARMIES, 1},
        {"speed 2", {click(SETUP_SPEED)}, "--map chaos-maze" + ARMIES, 2},
        {"speed 4", times(2, click(SETUP_SPEED)), "--map chaos-maze" + ARMIES, 4},
        {"speed round to 1", times(3, click(SETUP_SPEED)), "--map chaos-maze" + ARMIES, 1},
        {"speed down from 1 by the keys", {special(KEY_UP), special(KEY_LEFT)}, "--map chaos-maze" + ARMIES, 4},
        {"Resume", {special(KEY_DOWN)}, "--resume", 1},
        {"the second recording", {special(KEY_DOWN), special(KEY_DOWN), special(KEY_RIGHT)}, "--replay ./b.rec", 1},
        {"a recording clicked", {click(SETUP_REPLAY, 0)}, "--replay ./--a-battle", 1},
    };
    for (int k = 0; k < static_cast<int>(setupMaps.size()); k++)
        rows.push_back({"each map", {click(SETUP_MAP, k)}, "--map " + setupMaps[k].name + ARMIES, 1});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        setupChoices = SetupChoices();
        setupFocus = ROW_START;
        setupReplay = 0;
        setupShowing = true;
        setupStarted.clear();
        for (const Command& command : row.commands) dispatch(command);
        if (setupShowing) dispatch(key('\r'));
        std::string started;
        for (size_t k = 1; k < setupStarted.size(); k++) started += (k > 1 ? " " : "") + setupStarted[k];
        EXPECT_EQ(started, row.started);
        EXPECT_EQ(setupShowing, row.started.empty()) << "the screen goes when a battle starts, and only then";
        EXPECT_EQ(setupChoices.speed, row.speed);
        if (setupStarted.empty()) continue;
        EXPECT_EQ(setupStarted[0], "kestrava");
        // The command line reads as the game's own would.
        std::vector<char*> argv;
        for (std::string& argument : setupStarted) argv.push_back(argument.data());
        StartOptions options;
        std::string problem;
        EXPECT_TRUE(readOptions(static_cast<int>(argv.size()), argv.data(), options, problem)) << problem;
    }
}
