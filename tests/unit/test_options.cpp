// tests/unit/test_options.cpp — the command line's options, refused when mistyped or out of place
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/options.h"

namespace {

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
        std::vector<char*> argv{const_cast<char*>("kestrava")};
        for (const std::string& arg : c.args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        StartOptions options;
        std::string problem;
        bool accepted = readOptions(static_cast<int>(argv.size()) - 1, argv.data(), options, problem);
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

// --map takes a value as --computer does; the kept battle holds its own map.
TEST(Options, MapIsANameOrPathBeforeTheCountsAndNeverWithResume) {
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
    };
    for (const auto& c : cases) {
        std::vector<char*> argv{const_cast<char*>("kestrava")};
        for (const std::string& arg : c.args) argv.push_back(const_cast<char*>(arg.c_str()));
        StartOptions options;
        std::string problem;
        const bool accepted = readOptions(static_cast<int>(argv.size()), argv.data(), options, problem);
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
        std::vector<char*> argv{const_cast<char*>("kestrava")};
        for (const std::string& arg : c.args) argv.push_back(const_cast<char*>(arg.c_str()));
        StartOptions options;
        std::string problem;
        const bool accepted = readOptions(static_cast<int>(argv.size()), argv.data(), options, problem);
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_EQ(accepted, !*c.problem);
        EXPECT_EQ(problem, c.problem);
        if (!accepted) continue;
        EXPECT_EQ(options.level ? std::string(options.level) : "(none)", c.level ? c.level : "(none)");
    }
}

}  // namespace
