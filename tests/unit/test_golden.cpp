// tests/unit/test_golden.cpp — files an earlier build wrote, kept under tests/data/golden: the
// readers take them as they are, and the writers, given the same seeded battle, write them again
// byte for byte. A format that changes is a new version, and the old version's files stay here.
//
// KESTRAVA_WRITE_GOLDEN=1 makes the tests write the files instead of checking them: only on
// purpose, after a change of format, with the old version's files kept beside the new.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ai/computer.h"
#include "ai/planner.h"
#include "app/battle_clock.h"
#include "app/input.h"
#include "app/replay.h"
#include "app/replay_file.h"
#include "app/sound.h"
#include "game/random.h"
#include "game/startup.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "save/battle_save.h"
#include "tests/support/window_link_fake.h"

using GoldenFiles = BattleTest;

namespace {

const std::string GOLDEN = std::string(TEST_DATA_DIR) + "/golden/";

bool writingGolden() {
    const char* write = std::getenv("KESTRAVA_WRITE_GOLDEN");
    return write && std::string(write) == "1";
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bytes a writer gave, against the golden file of that name (or into it, when writing them).
void matchesGolden(const std::string& name, const std::string& written) {
    if (writingGolden()) {
        std::ofstream(GOLDEN + name, std::ios::binary) << written;
        return;
    }
    EXPECT_EQ(written, bytesOf(GOLDEN + name)) << "the writer no longer writes " << name << " as it was written";
}

// Each kind of commander on each side, and each of the computer's levels.
const struct Recorded {
    const char* name;
    unsigned seed;
    int side1, level1, side2, level2;
} RECORDED[] = {
    {"person-easy", 3, BY_PERSON, LEVEL_NORMAL, BY_COMPUTER, LEVEL_EASY},
    {"hard-greedy", 4, BY_COMPUTER, LEVEL_HARD, BY_GREEDY, LEVEL_NORMAL},
    {"greedy-random", 5, BY_GREEDY, LEVEL_NORMAL, BY_RANDOM, LEVEL_NORMAL},
    {"random-squad", 6, BY_RANDOM, LEVEL_NORMAL, BY_SQUAD, LEVEL_NORMAL},
    {"squad-person", 7, BY_SQUAD, LEVEL_NORMAL, BY_PERSON, LEVEL_NORMAL},
};

Replay startOf(const Recorded& r) {
    Replay start;
    start.seed = r.seed;
    start.given = ARMY_COUNTS;
    start.counts = {1, 1, 0, 1, 1, 1, 1, 1, 0, 1};
    start.sides[1] = r.side1;
    start.sides[2] = r.side2;
    start.levels[1] = r.level1;
    start.levels[2] = r.level2;
    start.map = bytesOf(GOLDEN + "map.txt");
    return start;
}

// The battle a replay starts from, placed as start-up places it.
void placeFrom(const Replay& start) {
    resetBattleState();
    loadMap(start.map);
    seedRandom(start.seed);
    randomPlayDraws.seed(start.seed);   // as the arena, which records such battles, seeds it
    captureOutput([&] { placeArmies(start.counts); });
    for (int player : {1, 2}) {
        commander[player] = start.sides[player];
        computerLevel[player] = start.levels[player];
    }
    computerPace = 0;
}

// What a battle has come to: its console lines from the start, and the battle kept at the end.
struct Outcome {
    std::string console, kept;
    bool won = false;
};

// Plays `r` as the window would, recording it into path, to the victory (or
// 40,000 ticks, some eleven minutes of battle).
Outcome record(const Recorded& r, const std::string& path) {
    Outcome outcome;
    const Replay start = startOf(r);
    placeFrom(start);
    std::string problem;
    EXPECT_TRUE(startRecording(path.c_str(), start, problem)) << problem;
    std::mt19937 pick(r.seed);
    outcome.console = captureOutput([&] {
        for (int frame = 0; frame < 40000 && !(battleWon() && !attackAnimating); frame++) {
            runFrameTicks(1);
            // A person at the keys gives a command every third frame or so, on its own turn.
            if (commander[activeSide()] == BY_PERSON && !battleWon() && pick() % 3 == 0)
                dispatch(anythingAPersonDoes(pick));
        }
        finishRecording();
    });
    outcome.won = battleWon();
    outcome.kept = bytesOf(keptFile);
    return outcome;
}

// Plays the recording at path to its recorded end, four ticks a frame.
Outcome playBack(const std::string& path, Replay& replay) {
    Outcome outcome;
    const std::string problem = readReplayFile(path.c_str(), replay);
    EXPECT_EQ(problem, "") << path;
    if (!problem.empty()) return outcome;
    placeFrom(replay);
    keptFile = REPLAY_SAVE_FILE;
    startReplay(replay);
    outcome.console = captureOutput([&] {
        for (int frame = 0; frame < 40000 && battleTick < replay.endTick; frame++) runFrameTicks(4);
    });
    replaying = false;
    outcome.won = battleWon();
    outcome.kept = bytesOf(keptFile);
    return outcome;
}

}  // namespace

// Each recording, made again from its seed on the golden map, is the golden
// replay byte for byte, and the battle it kept the golden save (which reads
// back and is written again as it was); each golden replay plays to its
// recorded end, a victory, with the same console lines and the same battle
// kept. The version 1 file, written before the computer had levels,
// plays at the normal level to the same end as its version 2 twin.
TEST_F(GoldenFiles, EachReplayIsWrittenAgainAsItWasAndPlaysToItsRecordedEnd) {
    for (const Recorded& r : RECORDED) {
        SCOPED_TRACE(r.name);
        const std::string name = std::string(r.name) + ".kreplay";
        inMapFolder("", [&] {
            const Outcome recorded = record(r, name);
            EXPECT_TRUE(recorded.won) << recorded.console;
            matchesGolden(name, bytesOf(name));
            matchesGolden(std::string(r.name) + ".save.txt", recorded.kept);
            Replay replay;
            const Outcome played = playBack(GOLDEN + name, replay);
            EXPECT_EQ(replay.version, REPLAY_VERSION);
            EXPECT_TRUE(replay.sides[1] == r.side1 && replay.sides[2] == r.side2 && replay.levels[1] == r.level1 &&
                        replay.levels[2] == r.level2 && replay.seed == r.seed);
            EXPECT_FALSE(replay.cut);
            EXPECT_EQ(battleTick, replay.endTick);
            EXPECT_TRUE(played.won);
            EXPECT_EQ(played.console, recorded.console);
            EXPECT_EQ(played.kept, recorded.kept);
            std::istringstream kept(recorded.kept);
            SavedBattle battle;
            EXPECT_EQ(readSave(kept, battle), "");
            std::ostringstream again;
            writeSave(battle, again);
            EXPECT_EQ(again.str(), recorded.kept);
        });
    }
    inMapFolder("", [&] {
        Replay replay;
        const Outcome played = playBack(GOLDEN + "greedy-random.v1.kreplay", replay);
        EXPECT_EQ(replay.version, 1);
        EXPECT_TRUE(replay.levels[1] == LEVEL_NORMAL && replay.levels[2] == LEVEL_NORMAL);
        EXPECT_EQ(played.kept, bytesOf(GOLDEN + "greedy-random.save.txt"));
        EXPECT_TRUE(played.won);
    });
}

// The sounds the build generates begin with the headers they were first
// written with; the shortest is kept whole, and the reader takes it.
TEST(GoldenSounds, TheGeneratedSoundsKeepTheirHeadersAndTheReaderTakesThem) {
    const std::string sounds = std::string(RUN_DIR) + "/sounds/";
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(sounds))
        if (entry.path().extension() == ".wav") names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    std::string headers;
    static const char HEX[] = "0123456789abcdef";
    for (const std::string& name : names) {
        const std::string header = bytesOf(sounds + name).substr(0, 44);
        headers += name;
        for (unsigned char byte : header) headers += std::string(" ") + HEX[byte >> 4] + HEX[byte & 15];
        headers += "\n";
    }
    matchesGolden("sound-headers.txt", headers);
    matchesGolden("menu-move.wav", bytesOf(sounds + "menu-move.wav"));
    std::vector<int16_t> samples;
    int rate = 0;
    ASSERT_TRUE(readWave(GOLDEN + "menu-move.wav", samples, rate));
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(samples.size() * 2 + 44, bytesOf(GOLDEN + "menu-move.wav").size());
}
