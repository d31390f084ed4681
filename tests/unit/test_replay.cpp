// tests/unit/test_replay.cpp — the replay file: what the recorder writes reads back, and a file
// cut short or edited is refused with its first problem
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/resource.h>

#include "ai/computer.h"
#include "app/replay.h"
#include "app/replay_file.h"
#include "game/battle_map.h"
#include "render/captions.h"
#include "render/layout.h"
#include "render/looks.h"
#include "rules/game_state.h"
#include "save/battle_save.h"
#include "tests/support/window_link_fake.h"

namespace {

// A short recording on a 7 × 5 map: a person's keys and clicks, the computer's
// arrows, a new battle's seed, then the end line with the checksum of it all.
// The start of the recordings here: seed 4242, a person against the computer on a 7 × 5 map.
Replay start(const std::string& map = "12345#\n23451#\n34512#\n45123#\n51234#\n12345#\n23451#\n") {
    Replay start;
    start.seed = 4242;
    start.given = 10;
    start.counts = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    start.sides[1] = BY_PERSON;
    start.sides[2] = BY_COMPUTER;
    start.levels[2] = LEVEL_HARD;
    start.map = map;
    return start;
}

std::string recording(const std::string& body, const Replay& from = start()) {
    const std::string text = replayHeader(from) + body;
    char end[64];
    std::snprintf(end, sizeof end, "end 900 %08x\n", fnv1a(text, FNV_START));
    return text + end;
}

const char* const BODY =
    "0 person point 2 3\n"
    "12 person key 109\n"
    "40 computer special 101\n"
    "40 person special 108\n"
    "41 person click -1 -1\n"
    "300 person key 13\n"
    "300 seed 77\n"
    "301 person turn -5 12\n";

std::string read(const std::string& text, Replay& replay) {
    std::istringstream in(text);
    return readReplay(in, replay);
}

}  // namespace

using ReplayTest = BattleTest;

TEST_F(ReplayTest, WhatTheRecorderWritesReadsBackCommandForCommand) {
    Replay replay;
    ASSERT_EQ(read(recording(BODY), replay), "");
    EXPECT_EQ(replay.seed, 4242u);
    EXPECT_EQ(replay.given, 10);
    EXPECT_EQ(replay.sides[2], BY_COMPUTER);
    EXPECT_EQ(replay.levels[2], LEVEL_HARD);
    EXPECT_EQ(replay.endTick, 900);
    EXPECT_FALSE(replay.cut);
    std::string lines;
    for (const ReplayEntry& entry : replay.entries) lines += replayLine(entry) + "\n";
    EXPECT_EQ(lines, BODY);
    EXPECT_EQ(mapCols, -1) << "reading a replay changed the map in play";
}

TEST_F(ReplayTest, AFileCutShortOrEditedIsRefusedWithItsFirstProblem) {
    const std::string good = recording(BODY);
    auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct { const char* what; std::string text; const char* problem; } cases[] = {
        {"empty", "", "line 1: the file is empty"},
        {"another file", "12345#\n", "line 1: it is not a Kestrava replay (or not one this version plays)"},
        {"a key changed", replaced("key 109", "key 110"), "line 15: the checksum does not match: the file was changed after it was written"},
        {"the end line after a cut", good.substr(0, good.find("41 person")) + good.substr(good.rfind("end ")),
         "line 11: the checksum does not match: the file was changed after it was written"},
        {"a tick beyond any battle's", replaced("301 person", "1099511627777 person"), "line 14: the line does not start with a tick"},
        {"a tick going back", replaced("41 person", "39 person"), "line 11: the tick goes back"},
        {"a command unknown", replaced("key 109", "jump 109"), "line 8: there is no such command"},
        {"a click off the map's limit", replaced("click -1 -1", "click 50 1"), "line 11: a value of the command is out of its range"},
        {"a command with a value too many", replaced("special 108", "special 108 1"), "line 10: the command does not hold 1 values"},
        {"the computer clicking", replaced("computer special 101", "computer click 1 1"),
         "line 9: the computer presses only special keys, and only during a tick"},
        {"the computer after a person in its tick", replaced("40 computer special 101\n40 person special 108",
                                                              "40 person special 108\n40 computer special 101"),
         "line 10: the computer's command comes after a person's of the same tick"},
        {"a second seed", replaced("300 seed 77\n", "300 seed 77\n300 seed 78\n"), "line 14: a seed follows no command"},
        {"a seed too large", replaced("seed 4242", "seed 4294967296"), "line 2: the seed is not a number from 0 to 4294967295"},
        {"nine army counts", replaced("armies 10 1 1", "armies 10 1"), "line 3: the armies line does not hold 11 values"},
        {"a side nobody plays", replaced("sides person computer", "sides person robot"),
         "line 4: a side is not person, computer, greedy, random or squad"},
        {"a level nobody plays", replaced("levels normal hard", "levels normal expert"),
         "line 5: a level is not easy, normal or hard"},
        {"no levels in this version", replaced("levels normal hard\n", ""), "line 5: the levels line is missing"},
        {"the map not hexadecimal", replaced("map 3132", "map 3x32"), "line 6: the map is not whole bytes of hexadecimal"},
        {"the end before the last command", replaced("end 900", "end 300"), "line 15: the end comes before the last command"},
        {"more after the end", good + "302 person key 109\n", "line 16: there is more after the end line"},
        {"a tick spelt otherwise", replaced("12 person", "012 person"), "line 8: the line is not written as the game writes it"},
        {"a seed spelt otherwise", replaced("seed 4242", "seed  4242"), "line 2: the line is not written as the game writes it"},
        {"a map of six rows", recording(BODY, start("12345#\n23451#\n34512#\n45123#\n51234#\n12345#\n")),
         "line 6: the map is not one the game plays on"},
        {"armies that do not fit", replaced("armies 10 1 1", "armies 10 9 9"), "line 6: the armies do not fit on the map"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Replay replay;
        EXPECT_EQ(read(c.text, replay), c.problem);
    }
    EXPECT_EQ(mapCols, -1) << "reading a replay changed the map in play";
}

// The game that wrote the file was stopped after any line, or in the middle
// of the next: the file plays up to its last whole command, without the
// checksum; an Enter last is left out, since the seed of the battle it may
// have started would have followed. Cut in its first six lines, the
// battle's start, nothing can be played.
TEST_F(ReplayTest, ARecordingCutAfterAnyLinePlaysUpToItsLastWholeCommand) {
    const std::string whole = recording(BODY);
    const struct { int lines; size_t kept; int64_t endTick; } cuts[] = {
        // lines of BODY whole  commands kept  its last tick
        {0, 0, 0}, {1, 1, 0}, {2, 2, 12}, {3, 3, 40}, {4, 4, 40}, {5, 5, 41},
        {6, 5, 41},   // the Enter
        {7, 7, 300}, {8, 8, 301},
    };
    size_t at = 0;
    for (int line = 1; line <= 6; line++) {   // the battle's start
        for (size_t cut : {at, at + 4}) {
            SCOPED_TRACE(cut);
            Replay replay;
            EXPECT_EQ(read(whole.substr(0, cut), replay),
                      cut == 0 ? "line 1: the file is empty"
                               : "line " + std::to_string(line) + ": the file is cut short before the battle's start is whole");
        }
        at = whole.find('\n', at) + 1;
    }
    for (const auto& c : cuts) {
        const size_t next = whole.find('\n', at) + 1;
        for (size_t cut : {at, (at + next) / 2}) {   // after the line, and half-way into the next
            SCOPED_TRACE(whole.substr(0, cut));
            Replay replay;
            ASSERT_EQ(read(whole.substr(0, cut), replay), "");
            EXPECT_TRUE(replay.cut);
            EXPECT_EQ(replay.entries.size(), c.kept);
            EXPECT_EQ(replay.endTick, c.endTick);
            std::string lines;
            for (const ReplayEntry& entry : replay.entries) lines += replayLine(entry) + "\n";
            EXPECT_EQ(BODY, lines + std::string(BODY).substr(lines.size())) << "not the first commands";
        }
        at = next;
    }
    EXPECT_EQ(at, whole.size()) << "the last cut is not half-way into the end line";
}

// Only a regular file no larger than any replay is read: anything else is
// refused at once, never waited on or read through.
TEST_F(ReplayTest, AReplayFileThatIsNoFileIsRefusedAtOnce) {
    char made[] = "/tmp/kestrava-replay-XXXXXX";
    const std::string folder = mkdtemp(made), path = folder + "/battle.kreplay";
    const struct { FileKind kind; uintmax_t size; const char* problem; } files[] = {
        {NO_FILE, 0, "cannot open it (No such file or directory)"},
        {PIPE, 0, "it is a pipe, not a file"},
        {FOLDER, 0, "it is a directory, not a file"},
        {DEVICE, 0, "it is a device, not a file"},
        {HUGE, MOST_REPLAY_BYTES + 1, "it is larger than any replay the game plays (268435456 bytes)"},
        {TEXT, 0, ""},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.problem);
        std::filesystem::remove_all(path);
        makeFileAt(path, file.kind, recording(BODY), file.size);
        Replay replay;
        EXPECT_EQ(readReplayFile(path.c_str(), replay), file.problem);
    }
    std::filesystem::remove_all(folder);
}

// What the recorder writes as the commands come reads back command for
// command, with the end line the game's end writes. A write that fails (a
// file size limit here, as a full disk) is told once, on standard error and
// on screen, and the file then plays up to the last command written whole.
TEST_F(ReplayTest, TheRecorderWritesEachCommandWholeAndTellsOnceWhenItCannot) {
    char made[] = "/tmp/kestrava-replay-XXXXXX";
    const std::string folder = mkdtemp(made), path = folder + "/battle.kreplay";
    rlimit limit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlim_t unlimited = limit.rlim_cur, small = replayHeader(start()).size() + 100;
    for (rlim_t most : {unlimited, small}) {
        SCOPED_TRACE(most);
        keepTroubleSeconds = 0;
        std::string problem;
        battleTick = 0;
        ASSERT_TRUE(startRecording(path.c_str(), start(), problem)) << problem;
        limit.rlim_cur = most;
        setrlimit(RLIMIT_FSIZE, &limit);
        testing::internal::CaptureStderr();
        for (int k = 0; k < 40; k++) {
            battleTick = 7 * k;
            dispatch({CMD_POINT, 0, k % 7, k % 5});
        }
        finishRecording();
        limit.rlim_cur = unlimited;
        setrlimit(RLIMIT_FSIZE, &limit);
        const std::string told = testing::internal::GetCapturedStderr();
        Replay replay;
        ASSERT_EQ(readReplayFile(path.c_str(), replay), "");
        EXPECT_EQ(replay.cut, most == small);
        for (size_t k = 0; k < replay.entries.size(); k++)
            EXPECT_EQ(replayLine(replay.entries[k]), std::to_string(7 * k) + " person point " + std::to_string(k % 7) +
                                                         " " + std::to_string(k % 5));
        if (most == unlimited) {
            EXPECT_EQ(replay.entries.size(), 40u);
            EXPECT_EQ(replay.endTick, 7 * 39);
            EXPECT_EQ(told, "");
            EXPECT_EQ(keepTroubleSeconds, 0);
            continue;
        }
        EXPECT_TRUE(replay.entries.size() > 1 && replay.entries.size() < 40) << replay.entries.size();
        EXPECT_EQ(std::filesystem::file_size(path), small) << "everything up to the limit written";
        EXPECT_EQ(told, "Could not write the recording to " + path + ": File too large\n");
        EXPECT_EQ(keepTrouble, "The recording could not be written to " + path + ": File too large");
        EXPECT_GT(keepTroubleSeconds, 0);
    }
    EXPECT_EQ(commandWatcher, nullptr) << "still recording after the end";
    std::filesystem::remove_all(folder);
}

// While a replay plays the band says so, with its speed, paused or not, and says when it is
// over; no button shows.
TEST_F(ReplayTest, AReplayShowsItsSpeedAndItsEnd) {
    Replay replay;
    ASSERT_EQ(read(recording(""), replay), "");
    battleTick = 1;
    startReplay(replay);
    std::vector<std::string> said{replayState};
    for (unsigned char key : {'g', 'g', ' ', ' ', 'g', 'g'}) {
        replayViewerKey(key);
        said.push_back(replayState);
    }
    EXPECT_EQ(said, (std::vector<std::string>{"REPLAY 1X", "REPLAY 2X", "REPLAY 4X", "REPLAY 4X, PAUSED", "REPLAY 4X",
                                             "REPLAY 8X", "REPLAY 1X"}));
    EXPECT_FALSE(buttonShown(BUTTON_HELP));
    battleTick = replay.endTick;
    testing::internal::CaptureStderr();
    playPersonCommands();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "The replay is over at tick 900; q quits.\n");
    EXPECT_EQ(hintBand().front().text, "REPLAY OVER: Q QUITS");
}
