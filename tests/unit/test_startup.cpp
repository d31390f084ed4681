// tests/unit/test_startup.cpp — army counts, the capacity check, random placement and the seed
#include <climits>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "game/battle_map.h"
#include "game/random.h"
#include "game/startup.h"
#include "tests/support/window_link_fake.h"

namespace {

// Every unit on its own square of its owner's three home rows, on the
// square's centre, facing the other army; ids in creation order, which is
// player 1 before player 2 and within a player the counts' class order.
void expectSoundPlacement(const ArmyCounts& counts) {
    std::string expectedOrder, order;
    for (int k = 0; k < ARMY_COUNTS; k++) expectedOrder += std::string(std::max(counts[k], 0), char('0' + k));
    std::set<int> squares;
    for (size_t i = 0; i < allUnits.size(); i++) {
        const Unit& u = *allUnits[i];
        const MapCell& cell = battleMap[u.row][u.col];
        const int homeRow = u.player == 1 ? 0 : mapRows - 3;
        order += char('0' + (u.player - 1) * 5 + u.unitClass - 1);
        EXPECT_TRUE(u.id == int(i) && cell.occupant == u.id && u.position.x == cell.centre.x &&
                    u.position.z == cell.centre.z && u.facing == (u.player == 1 ? 0.0f : -180.0f)) << u.id;
        EXPECT_TRUE(squares.insert(u.row * MAP_LIMIT + u.col).second) << "square shared by " << u.id;
        EXPECT_TRUE(u.row >= homeRow && u.row <= homeRow + 2 && u.col < mapCols) << u.id;
    }
    EXPECT_EQ(order, expectedOrder);
    const size_t lists[ARMY_COUNTS] = {p1Archers.size(), p1Fighters.size(), p1Fliers.size(), p1Healers.size(),
                                       p1Mages.size(),   p2Archers.size(),  p2Fighters.size(), p2Fliers.size(),
                                       p2Healers.size(), p2Mages.size()};
    for (int k = 0; k < ARMY_COUNTS; k++) EXPECT_EQ(lists[k], size_t(std::max(counts[k], 0))) << "list " << k;
}

std::string squaresOf() {
    std::string squares;
    for (const Unit* u : allUnits) squares += std::to_string(u->row) + "," + std::to_string(u->col) + " ";
    return squares;
}

const std::string SIXTEEN_BY_TWELVE = [] {
    std::string text;
    for (int r = 0; r < 12; r++) text += std::string(16, char('1' + r % 5)) + (r < 11 ? "#\n" : "#");
    return text;
}();

}  // namespace

TEST(ArmyCounts, ArgumentsReadLikeAtoiHeldToTheIntRangeAndTheConsoleKeepsTwoAfterAFailedRead) {
    const std::pair<const char*, int> arguments[] = {
        {"7", 7}, {"  \t12abc", 12}, {"-5", -5}, {"+3", 3}, {"abc", 0}, {"", 0}, {"- 4", 0},
        {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"-2147483649", INT_MIN},
        {"-99999999999999999999999999", INT_MIN}};
    for (const auto& [text, count] : arguments) EXPECT_EQ(countFromText(text), count) << '"' << text << '"';

    const std::pair<const char*, ArmyCounts> console[] = {
        {"1 1 1 1 1\n1 1 1 1 1\n", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {"4\n5 6", {4, 5, 6, 2, 2, 2, 2, 2, 2, 2}},                            // input ends early
        {"3 x 0 0 0 0 0 0 0 0", {3, 2, 2, 2, 2, 2, 2, 2, 2, 2}},               // not a number
        {"0 99999999999 0 0 0 0 0 0 0 0", {0, 2, 2, 2, 2, 2, 2, 2, 2, 2}},     // out of range
        {"0 0 0 0 0 0 0 0 0 -1 9 9", {0, 0, 0, 0, 0, 0, 0, 0, 0, -1}}};        // extra ignored
    for (const auto& [text, counts] : console) {
        std::istringstream input(text);
        EXPECT_EQ(readArmyCounts(input), counts) << text;
    }
}

using Startup = BattleTest;

TEST_F(Startup, ArmiesFitWhenWhatWillBePlacedFillsNoMoreThanTheHomeRows) {
    loadUniformMap(7, 2, 1);   // three home rows of two squares: six per army
    const std::pair<ArmyCounts, bool> cases[] = {
        {{2, 1, 1, 1, 1, 1, 1, 1, 1, 2}, true},           {{2, 2, 1, 1, 1, 0, 0, 0, 0, 0}, false},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 7}, false},          {{-5, 10, 0, 0, 0, 0, 0, 0, 0, 0}, false},
        {{-5, 6, 0, 0, 0, 0, 0, 0, -100, 6}, true},       {{INT_MIN, 6, INT_MIN, 0, 0, 0, 0, 0, 0, 0}, true},
        {{INT_MAX, INT_MAX, 0, 0, 0, 0, 0, 0, 0, 0}, false}};
    for (const auto& [counts, fit] : cases) EXPECT_EQ(armiesFit(counts), fit) << counts[0] << " " << counts[1];
}

// A one-class army filling its home rows on the smallest map draws taken squares.
TEST_F(Startup, EachPlacementRunReportsADrawnTakenSquareWithItsOwnLine) {
    const char* const duplicate = "duplicate found...re-rolling";
    const char* const lines[ARMY_COUNTS] = {"", "", duplicate, duplicate, duplicate,
                                            "", duplicate, duplicate, "mage duplicate found...re-rolling",
                                            duplicate};
    for (int run = 0; run < ARMY_COUNTS; run++) {
        resetBattleState();
        loadUniformMap(7, 2, 1);
        ArmyCounts counts{};
        counts[run] = 6;
        seedRandom(5);
        std::istringstream printed(captureOutput([&] { placeArmies(counts); }));
        expectSoundPlacement(counts);
        std::string line, reroll;
        while (reroll.empty() && std::getline(printed, line))
            if (line.rfind("id num is ", 0) && line.rfind("occupying a square", 0)) reroll = line;
        EXPECT_EQ(reroll, lines[run]) << "run " << run;
    }
}

TEST_F(Startup, TheSeedVariableReplaysTheSameBattleAndAnythingOutOfItsRangeIsSaidAndIgnored) {
    inMapFolder(SIXTEEN_BY_TWELVE, [] {
        // Mixed armies, with a negative count.
        const char* args[] = {"kestrava", "2", "3", "1", "0", "2", "1", "2", "2", "3", "-4"};
        auto start = [&] { return captureOutput([&] { startBattle(11, const_cast<char**>(args)); }); };

        setenv("KESTRAVA_SEED", "4242", 1);
        const std::string first = start(), squares = squaresOf();
        expectSoundPlacement({2, 3, 1, 0, 2, 1, 2, 2, 3, -4});
        EXPECT_TRUE(selectedUnit != targetUnit && !selectedUnit->menuOpen) << "two placeholders stand in";
        resetBattleState();
        EXPECT_EQ(start(), first);
        EXPECT_EQ(squaresOf(), squares);

        // The first and last seeds there are, and what is out of range or no whole number.
        const struct { const char* text; bool taken; unsigned seed; } seeds[] = {
            {"0", true, 0}, {"4294967295", true, 4294967295u}, {"4242x", false, 0}, {"-1", false, 0},
            {"4294967296", false, 0}, {"1e3", false, 0}, {"nan", false, 0},
        };
        for (const auto& seed : seeds) {
            SCOPED_TRACE(seed.text);
            setenv("KESTRAVA_SEED", seed.text, 1);
            resetBattleState();
            testing::internal::CaptureStderr();
            start();
            EXPECT_EQ(testing::internal::GetCapturedStderr(),
                      seed.taken ? "" : "KESTRAVA_SEED is not a whole number from 0 to 4294967295; the clock seeds the battle instead.\n");
            if (seed.taken) {
                EXPECT_EQ(battleSeed, seed.seed);
            }
        }
        unsetenv("KESTRAVA_SEED");
    });
}
