// tests/unit/test_replay.cpp — the replay file: what the recorder writes reads back, and a file
// cut short or edited is refused with its first problem
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "ai/computer.h"
#include "app/replay_file.h"
#include "game/battle_map.h"
#include "tests/support/window_link_fake.h"

namespace {

// A short recording on a 7 × 5 map: a person's keys and clicks, the computer's
// arrows, a new battle's seed, then the end line with the checksum of it all.
std::string recording(const std::string& body, const std::string& map = "12345#\n23451#\n34512#\n45123#\n51234#\n"
                                                                        "12345#\n23451#\n") {
    Replay start;
    start.seed = 4242;
    start.given = 10;
    start.counts = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    start.sides[1] = BY_PERSON;
    start.sides[2] = BY_COMPUTER;
    start.levels[2] = LEVEL_HARD;
    start.map = map;
    const std::string text = replayHeader(start) + body;
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
    const size_t endLine = good.rfind("end ");
    const struct { const char* what; std::string text; const char* problem; } cases[] = {
        {"empty", "", "line 1: the file is empty"},
        {"another file", "12345#\n", "line 1: it is not a Kestrava replay (or not one this version plays)"},
        {"cut in the header", good.substr(0, good.find("sides")), "line 4: the file is cut short: it has no end line"},
        {"cut before the end line", good.substr(0, endLine), "line 15: the file is cut short: it has no end line"},
        {"cut inside a line", good.substr(0, good.find("40 computer") + 6), "line 9: the file is cut short"},
        {"the end line's break gone", good.substr(0, good.size() - 1), "line 15: the file is cut short"},
        {"a key changed", replaced("key 109", "key 110"), "line 15: the checksum does not match: the file was changed after it was written"},
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
        {"a map of six rows", recording(BODY, "12345#\n23451#\n34512#\n45123#\n51234#\n12345#\n"),
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

// A replay kept by a build from before the computer's levels: its computer played at the normal
// level, and the writer gives its header back byte for byte.
TEST_F(ReplayTest, AVersionOneReplayReadsWithTheComputerAtTheNormalLevel) {
    const std::string path = std::string(TEST_DATA_DIR) + "/replays/hero_chosen.kreplay";
    Replay replay;
    ASSERT_EQ(readReplayFile(path.c_str(), replay), "");
    EXPECT_EQ(replay.version, 1);
    EXPECT_EQ(replay.sides[2], BY_COMPUTER);
    EXPECT_EQ(replay.levels[2], LEVEL_NORMAL);
    std::ifstream file(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.compare(0, replayHeader(replay).size(), replayHeader(replay)), 0);
}
