// tests/unit/test_options.cpp — the command line's options, refused when mistyped or out of place;
// the settings file
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "app/input.h"
#include "app/net_protocol.h"
#include "app/options.h"
#include "app/replay.h"
#include "app/settings.h"
#include "render/looks.h"
#include "tests/support/window_link_fake.h"

namespace {

// The command line kestrava ARGS… as main hands it over; the options point
// into args, which must outlive them.
bool readArguments(const std::vector<std::string>& args, StartOptions& options, std::string& problem) {
    std::vector<char*> argv{const_cast<char*>("kestrava")};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    return readOptions(static_cast<int>(argv.size()) - 1, argv.data(), options, problem);
}

struct Case {
    std::vector<std::string> args;   // after the program's name
    bool accepted;
    const char* computerSide;        // nullptr: not given
    bool resume, help;
    int firstArgument;
    const char* problem;             // when refused
};

const Case CASES[] = {
    // arguments                                     ok     side     resume help  first problem
    {{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}, true, nullptr, false, false, 1, ""},
    {{}, true, nullptr, false, false, 1, ""},
    {{"--computer", "2", "1", "1"}, true, "2", false, false, 3, ""},
    {{"--computer", "both", "--resume"}, true, "both", true, false, 4, ""},
    {{"--resume", "--computer", "1"}, true, "1", true, false, 4, ""},
    {{"--computer", "3"}, true, "3", false, false, 3, ""},   // the side is the computer player's to refuse
    {{"--computer"}, true, "", false, false, 2, ""},
    {{"--help", "2"}, true, nullptr, false, true, 2, ""},
    {{"-h"}, true, nullptr, false, true, 1, ""},
    {{"-h", "2"}, true, nullptr, false, false, 1, ""},       // read as counts, as before
    {{"-1", "x", "", "+3"}, true, nullptr, false, false, 1, ""},
    {{"--computr", "2", "1"}, false, nullptr, false, false, 1, "there is no option --computr."},
    {{"1", "1", "--computer", "2"}, false, nullptr, false, false, 1, "--computer must come before the army counts."},
    {{"--resume", "2", "--resume"}, false, nullptr, false, false, 1, "--resume must come before the army counts."},
    {{"1", "--5"}, false, nullptr, false, false, 1, "there is no option --5."},
    {{"--"}, false, nullptr, false, false, 1, "there is no option --."},
    {{"--computer", "1", "--computer", "2"}, false, nullptr, false, false, 1, "--computer is given twice."},
};

TEST(Options, KnownOptionsComeFirstAndAnythingElseStartingWithTwoDashesIsRefused) {
    for (const Case& c : CASES) {
        std::string line;
        for (const std::string& arg : c.args) line += " " + arg;
        SCOPED_TRACE(line);
        StartOptions options;
        std::string problem;
        bool accepted = readArguments(c.args, options, problem);
        EXPECT_EQ(accepted, c.accepted);
        if (!accepted) {
            EXPECT_EQ(problem, c.problem);
            continue;
        }
        EXPECT_EQ(options.computerSide ? std::string(options.computerSide) : "(none)",
                  c.computerSide ? std::string(c.computerSide) : "(none)");
        EXPECT_EQ(options.resume, c.resume);
        EXPECT_EQ(options.help, c.help);
        EXPECT_EQ(options.firstArgument, c.firstArgument);
    }
}

// --map, --record and --replay take a value, never empty nor another
// option; the kept battle holds its own map.
TEST(Options, FilesAndMapsAreGivenBeforeTheCountsAndMapNeverWithResume) {
    const struct {
        std::vector<std::string> args;
        const char* map;       // nullptr: not given, or refused
        bool listMaps;
        const char* problem;   // "" when accepted
    } cases[] = {
        {{"--map", "islands", "2", "2"}, "islands", false, ""},
        {{"--computer", "2", "--map", "../x.txt"}, "../x.txt", false, ""},
        {{"--maps"}, nullptr, true, ""},
        {{"--map"}, nullptr, false, "--map takes a map: a name from maps/ or a map file."},
        {{"--map", "islands", "--resume"}, nullptr, false,
         "--map cannot go with --resume: the kept battle holds its own map."},
        {{"--resume", "--map", "islands"}, nullptr, false,
         "--map cannot go with --resume: the kept battle holds its own map."},
        {{"1", "--map", "islands"}, nullptr, false, "--map must come before the army counts."},
        // A file forgotten: the next option is not taken for it.
        {{"--map", "--maps"}, nullptr, false, "--map takes a map: a name from maps/ or a map file."},
        {{"--record", "--computer", "2", "1"}, nullptr, false, "--record takes the file to record into."},
        {{"--computer", "2", "--record"}, nullptr, false, "--record takes the file to record into."},
        {{"--replay", ""}, nullptr, false, "--replay takes a recorded battle's file."},
        {{"--record", "-", "1"}, nullptr, false, ""},
    };
    for (const auto& c : cases) {
        StartOptions options;
        std::string problem;
        const bool accepted = readArguments(c.args, options, problem);
        SCOPED_TRACE(c.args.size() > 1 ? c.args[1] : c.args[0]);
        EXPECT_EQ(accepted, !*c.problem);
        EXPECT_EQ(problem, c.problem);
        if (!accepted) continue;
        EXPECT_EQ(options.map ? std::string(options.map) : "(none)", c.map ? c.map : "(none)");
        EXPECT_EQ(options.listMaps, c.listMaps);
    }
}

// --level goes with --computer, in any order, and names one of the three levels.
TEST(Options, LevelIsOneOfThreeAndGoesWithTheComputer) {
    const struct {
        std::vector<std::string> args;
        const char* level;     // as read, when accepted
        const char* problem;   // "" when accepted
    } cases[] = {
        {{"--computer", "2", "--level", "easy"}, "easy", ""},
        {{"--level", "hard", "--computer", "both", "--resume"}, "hard", ""},
        {{"--computer", "1", "--level", "normal", "2", "2"}, "normal", ""},
        {{"--computer", "2"}, nullptr, ""},
        {{"--level", "hard"}, nullptr, "--level goes with --computer: it sets how well the computer plays."},
        {{"--level", "hard", "--resume"}, nullptr, "--level goes with --computer: it sets how well the computer plays."},
        {{"--computer", "2", "--level", "expert"}, nullptr, "--level takes easy, normal or hard."},
        {{"--computer", "2", "--level", "Hard"}, nullptr, "--level takes easy, normal or hard."},
        {{"--computer", "2", "--level"}, nullptr, "--level takes easy, normal or hard."},
        {{"--computer", "2", "1", "--level", "easy"}, nullptr, "--level must come before the army counts."},
    };
    for (const auto& c : cases) {
        StartOptions options;
        std::string problem;
        const bool accepted = readArguments(c.args, options, problem);
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_EQ(accepted, !*c.problem);
        EXPECT_EQ(problem, c.problem);
        if (!accepted) continue;
        EXPECT_EQ(options.level ? std::string(options.level) : "(none)", c.level ? c.level : "(none)");
    }
}

}  // namespace

// kestrava-settings.txt: g writes the speed into it whole (not while a
// replay plays, which keeps its own speed keys); it is read back as written,
// each speed; a file that does not read is refused in one line on standard
// error, nothing of it shown, and the default speed stays. No file: quietly the default.
using Settings = BattleTest;

TEST_F(Settings, TheSpeedIsKeptWholeAndABadFileIsRefusedInOneLine) {
    enum Kind { NONE, TEXT, FOLDER, PIPE, DEVICE };
    const std::string head = "kestrava-settings version=1\n";
    std::ifstream goldenFile(std::string(TEST_DATA_DIR) + "/golden/kestrava-settings.txt", std::ios::binary);
    const std::string golden(std::istreambuf_iterator<char>(goldenFile), {});
    const struct { Kind kind; std::string text; int speed; const char* problem; } files[] = {
        {NONE, "", 1, ""},
        {TEXT, head + "speed 1\nend\n", 1, ""},
        {TEXT, head + "speed 2\nend\n", 2, ""},
        {TEXT, golden, 4, ""},   // as the first version wrote it
        {TEXT, "", 1, "line 1: the file is empty"},
        {TEXT, "kestrava-settings version=2\nspeed 2\nend\n", 1,
         "line 1: it is not a Kestrava settings file (or not one this version reads)"},
        {TEXT, "\x1b[2J\x1b[H\n", 1, "line 1: it is not a Kestrava settings file (or not one this version reads)"},
        {TEXT, head + "speed 3\nend\n", 1, "line 2: the speed is not 1, 2 or 4"},
        {TEXT, head + "speed 44\nend\n", 1, "line 2: the speed is not 1, 2 or 4"},
        {TEXT, head + "end\n", 1, "line 2: the speed line is missing"},
        {TEXT, head + "speed 2\n", 1, "line 3: the file is cut short"},
        {TEXT, head + "speed 2\nend", 1, "line 3: the file is cut short: the line has no end"},
        {TEXT, head + "speed 2\nspeed 4\nend\n", 1, "line 3: the end line is missing"},
        {TEXT, head + "speed 2\nend\n\n", 1, "line 4: something follows the end line"},
        {TEXT, head + std::string(5000, '#'), 1, "it is larger than any settings file (4096 bytes)"},
        {FOLDER, "", 1, "it is a directory, not a file"},
        {PIPE, "", 1, "it is a pipe, not a file"},
        {DEVICE, "", 1, "it is a device, not a file"},
    };
    inMapFolder("", [&] {
        for (const auto& file : files) {
            SCOPED_TRACE(file.problem);
            std::filesystem::remove_all(SETTINGS_FILE);
            if (file.kind == TEXT) std::ofstream(SETTINGS_FILE, std::ios::binary) << file.text;
            if (file.kind == FOLDER) std::filesystem::create_directory(SETTINGS_FILE);
            if (file.kind == PIPE) mkfifo(SETTINGS_FILE, 0600);
            if (file.kind == DEVICE) std::filesystem::create_symlink("/dev/null", SETTINGS_FILE);
            battleSpeed = 1;
            testing::internal::CaptureStderr();
            loadSettings(SETTINGS_FILE);
            const std::string said = testing::internal::GetCapturedStderr();
            EXPECT_EQ(battleSpeed, file.speed);
            EXPECT_EQ(said, *file.problem ? std::string("Cannot read the settings in kestrava-settings.txt: ") +
                                                file.problem + "; the defaults are kept.\n"
                                          : "");
        }
        std::filesystem::remove_all(SETTINGS_FILE);
        battleSpeed = 1;
        replaying = true;
        dispatch({CMD_KEY, 'g'});
        dispatch({CMD_KEY_UP, 'g'});
        replaying = false;
        EXPECT_EQ(battleSpeed, 1);
        EXPECT_FALSE(std::filesystem::exists(SETTINGS_FILE));
        for (int speed : {2, 4, 1}) {
            dispatch({CMD_KEY, 'g'});
            dispatch({CMD_KEY, 'g'});   // held: once
            dispatch({CMD_KEY_UP, 'g'});
            std::ifstream kept(SETTINGS_FILE, std::ios::binary);
            const std::string written(std::istreambuf_iterator<char>(kept), {});
            EXPECT_EQ(written, speed == 4 ? golden : head + "speed " + std::to_string(speed) + "\nend\n");
        }
    });
}

// --host and --serve take the next argument as their port only when no army
// count could be it; --join's HOST[:PORT] has the default port when none is given.
TEST(Options, APortFollowsHostOrServeOnlyWhereNoArmyCountCouldStand) {
    const struct {
        std::vector<std::string> args;
        const char* port;
        int firstArgument;
    } cases[] = {
        {{"--host", "7600", "1"}, "7600", 3},
        {{"--serve", "3", "3"}, nullptr, 2},
        {{"--serve", "1023"}, nullptr, 2},
        {{"--map", "x", "--serve", "65535", "2"}, "65535", 5},
        {{"--host", "65536"}, nullptr, 2},
    };
    for (const auto& c : cases) {
        StartOptions options;
        std::string problem;
        ASSERT_TRUE(readArguments(c.args, options, problem)) << problem;
        EXPECT_EQ(options.port ? std::string(options.port) : "(none)", c.port ? c.port : "(none)");
        EXPECT_EQ(options.firstArgument, c.firstArgument);
    }
    const struct {
        const char* address;
        bool good;
        const char* host;
        int port;
    } addresses[] = {
        {"192.168.1.20", true, "192.168.1.20", NET_DEFAULT_PORT},
        {"far.example:7600", true, "far.example", 7600},
        {"far.example:0", false, "", 0},
        {":7600", false, "", 0},
        {"far.example:76x", false, "", 0},
    };
    for (const auto& a : addresses) {
        std::string host;
        int port = 0;
        EXPECT_EQ(splitAddress(a.address, host, port), a.good) << a.address;
        if (a.good) {
            EXPECT_EQ(host + ":" + std::to_string(port), std::string(a.host) + ":" + std::to_string(a.port));
        }
    }
}
