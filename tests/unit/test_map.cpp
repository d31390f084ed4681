// tests/unit/test_map.cpp — reading WorldDesc.txt: which sizes are refused, which digit lands on which
// square, the printouts (the start-up transcripts show every console line of both passes)
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "game/battle_map.h"
#include "tests/support/window_link_fake.h"

namespace {

using MapFile = BattleTest;

TEST_F(MapFile, OnlySevenToFiftyRowsOfTwoToFiftyColumnsArePlayable) {
    const struct { const char* file; MapCheck check; int rows, cols; } maps[] = {
        {"empty.txt", MAP_NO_DATA, 0, -1},       {"no_hash.txt", MAP_TOO_FEW_ROWS, 0, 8},
        {"six_rows.txt", MAP_TOO_FEW_ROWS, 6, 4}, {"seven_rows.txt", MAP_OK, 7, 4},
        {"one_column.txt", MAP_TOO_FEW_COLS, 7, 1}, {"full_50x50.txt", MAP_OK, 50, 50},
        {"wide_51.txt", MAP_TOO_LARGE, 7, 51},    {"tall_51.txt", MAP_TOO_LARGE, 51, 2},
    };
    for (const auto& map : maps) {
        resetBattleState();
        FILE* file = fopen((std::string(TEST_DATA_DIR) + "/maps/" + map.file).c_str(), "r");
        ASSERT_NE(file, nullptr) << map.file;
        EXPECT_EQ(measureMap(file), map.check) << map.file;
        fclose(file);
        EXPECT_EQ(mapRows, map.rows) << map.file;
        EXPECT_EQ(mapCols, map.cols) << map.file;
    }
}

// Zeros are skipped and the row marks only count rows, so the short first
// line pulls every later digit forward and the last rows run out of digits.
// Windows line breaks read as plain ones.
TEST_F(MapFile, SquaresTakeTheDigitsInOrderAndKnowWhereTheyLie) {
    for (const char* text :
         {"1029#\n45#\n45#\n45#\n45#\n45#\n45#", "1029#\r\n45#\r\n45#\r\n45#\r\n45#\r\n45#\r\n45#\r\n"}) {
        loadMap(text);
        EXPECT_EQ(captureOutput(printMapTerrain), "\nPRINTING OUT MAP WITH ID NUMBERS\n"
                                                  " 1  2  9 \n 4  5  4 \n 5  4  5 \n 4  5  4 \n 5  4  5 \n"
                                                  " 0  0  0 \n 0  0  0 \n");
    }
    const MapCell& square = battleMap[4][2];
    EXPECT_TRUE(square.corner.x == 2 && square.corner.y == 0 && square.corner.z == 5);
    EXPECT_TRUE(square.centre.x == 2.5f && square.centre.y == 0 && square.centre.z == 5.5f);
    EXPECT_EQ(battleMap[7][0].terrain, -1) << "outside the map: never written";

    placeUnit<Archer>(1, 0, 1);   // id 0 prints like an empty square
    placeUnit<Flier>(2, 5, 2);
    EXPECT_EQ(captureOutput(printMapOccupancy), "\nPRINTING OUT MAP WITH OCCUPIED\n"
                                                " 0  0  0 \n 0  0  0 \n 0  0  0 \n 0  0  0 \n 0  0  0 \n"
                                                " 0  0  1 \n 0  0  0 \n");
}

// A bare name is a bundled map; anything with a '/' or a '.' is a path as given.
TEST_F(MapFile, MapsAreChosenByNameOrPathAndListedWithTheirSizes) {
    const struct { const char* given; const char* file; } choices[] = {
        {"river-fords", "maps/river-fords.txt"}, {"maps/river-fords.txt", "maps/river-fords.txt"},
        {"own.txt", "own.txt"}, {"/tmp/a", "/tmp/a"}, {"../b", "../b"},
    };
    for (const auto& choice : choices) EXPECT_EQ(mapFileFor(choice.given), choice.file) << choice.given;

    inMapFolder("1111#\n1111#\n1111#\n1111#\n1111#\n1111#\n1111#", [] {
        std::ostringstream none;
        EXPECT_FALSE(listBundledMaps(none));
        EXPECT_EQ(none.str(), "No maps: there is no folder maps here.\n");
        std::filesystem::create_directory("maps");
        std::ofstream("maps/tall.txt") << "12#\n12#\n12#\n12#\n12#\n12#\n12#\n12#";
        std::ofstream("maps/short.txt") << "12#\n12#";
        std::ofstream("maps/empty.txt");
        std::ofstream("maps/notes.md") << "not a map";
        captureOutput(readMapSize);   // the map in play keeps its size through the listing
        std::ostringstream listed;
        EXPECT_TRUE(listBundledMaps(listed));
        EXPECT_EQ(listed.str(), "Maps in maps/ (kestrava --map NAME):\n"
                                "  empty                does not read as a map\n"
                                "  short                does not read as a map\n"
                                "  tall                  2 columns x  8 rows\n");
        EXPECT_TRUE(mapRows == 7 && mapCols == 4) << mapRows << " x " << mapCols;
    });
}

// Only a regular file no larger than any map is read (a 50 × 50 map with
// Windows line breaks is well within it): anything else is refused at once,
// never waited on or read through. Each pass opens the file: should it have
// gone, or become a pipe, by the second, start-up ends there.
TEST_F(MapFile, OnlyARegularFileOfAMapsSizeIsReadAndEachPassEndsStartUpWithoutOne) {
    std::string fifty;
    for (int r = 0; r < 50; r++) fifty += std::string(50, '1') + (r < 49 ? "#\r\n" : "#");
    const struct { FileKind kind; std::string text; uintmax_t size; std::string problem; } files[] = {
        {TEXT, fifty, 0, ""},
        {HUGE, "", MOST_MAP_BYTES, ""},
        {HUGE, "", MOST_MAP_BYTES + 1, "it is larger than any map (65536 bytes)"},
        {NO_FILE, "", 0, "cannot open it (No such file or directory)"},
        {PIPE, "", 0, "it is a pipe, not a file"},
        {FOLDER, "", 0, "it is a directory, not a file"},
        {DEVICE, "", 0, "it is a device, not a file"},
    };
    inMapFolder("", [&] {
        for (const auto& file : files) {
            SCOPED_TRACE(file.problem);
            std::filesystem::remove_all("WorldDesc.txt");
            makeFileAt("WorldDesc.txt", file.kind, file.text, file.size);
            std::string bytes;
            EXPECT_EQ(readMapFile("WorldDesc.txt", bytes), file.problem);
            if (file.problem.empty()) {
                EXPECT_EQ(bytes.size(), file.kind == HUGE ? file.size : file.text.size());
            }
        }
        EXPECT_EXIT(readMapSize(), testing::ExitedWithCode(1), "");   // the last, a device
        std::filesystem::remove_all("WorldDesc.txt");
        EXPECT_EXIT(readMapTerrain(), testing::ExitedWithCode(1), "");
    });
}

}  // namespace
