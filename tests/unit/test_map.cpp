// tests/unit/test_map.cpp — reading WorldDesc.txt: sizes, refusals, squares and printouts
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "game/battle_map.h"
#include "tests/support/window_link_fake.h"

namespace {

std::string fixture(const std::string& name) {
    std::ifstream file(std::string(TEST_DATA_DIR) + "/maps/" + name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

MapCheck measureText(std::string text) {
    FILE* file = fmemopen(text.data(), text.size(), "r");
    MapCheck check = measureMap(file);
    fclose(file);
    return check;
}

// Both passes over text, as WorldDesc.txt in a fresh folder; returns what they printed.
std::string readBothPasses(const std::string& text) {
    char folder[] = "/tmp/kestrava-map-XXXXXX";
    EXPECT_NE(mkdtemp(folder), nullptr);
    std::ofstream(std::string(folder) + "/WorldDesc.txt", std::ios::binary) << text;
    char* previous = getcwd(nullptr, 0);
    EXPECT_EQ(chdir(folder), 0);
    std::string printed = captureOutput([] {
        readMapSize();
        readMapTerrain();
    });
    EXPECT_EQ(chdir(previous), 0);
    free(previous);
    return printed;
}

std::string terrainRow(int row, int cols) {
    std::string text;
    for (int c = 0; c < cols; c++) text += std::to_string(battleMap[row][c].terrain) + " ";
    return text;
}

}  // namespace

using MapFile = BattleTest;

TEST_F(MapFile, SevenRowsOfFourDigitsPrintTheirSizeAndEveryCorner) {
    std::string printed = readBothPasses(fixture("seven_rows.txt"));
    std::string expected =
        "\nNumber of cols is: 4\nNumber of rows is: 7\n\n"
        "\nRead file done.\n"
        "bottom left corner is at 0 0 1\n"
        "bottom left corner is at 1 0 1\n"
        "bottom left corner is at 2 0 1\n"
        "bottom left corner is at 3 0 1\n"
        "bottom left corner is at 0 0 2\n";
    EXPECT_EQ(printed.substr(0, expected.size()), expected);
    EXPECT_NE(printed.find("bottom left corner is at 3 0 5\n"), std::string::npos);   // square (4, 3)
    size_t cornerLines = 0;
    for (size_t at = printed.find("bottom left corner is at "); at != std::string::npos;
         at = printed.find("bottom left corner is at ", at + 1))
        cornerLines++;
    EXPECT_EQ(cornerLines, 28u);
    EXPECT_NE(printed.find("bottom left corner is at 3 0 7\n\n"), std::string::npos);   // the last square
    EXPECT_EQ(mapRows, 7);
    EXPECT_EQ(mapCols, 4);
    for (int r = 0; r < 7; r++) EXPECT_EQ(terrainRow(r, 4), "1 2 1 4 ") << "row " << r;
}

TEST_F(MapFile, LineBreakAfterTheLastRowAddsAColumnFilledWithZeros) {
    readBothPasses(fixture("ones_7x2.txt"));
    EXPECT_EQ(mapRows, 7);
    EXPECT_EQ(mapCols, 2);
    for (int r = 0; r < 7; r++) EXPECT_EQ(terrainRow(r, 2), "1 1 ") << "row " << r;

    resetBattleState();
    std::string printed = readBothPasses(fixture("ones_7x2_newline.txt"));
    EXPECT_NE(printed.find("Number of cols is: 3\n"), std::string::npos);
    EXPECT_EQ(mapCols, 3);
    // 21 squares from 14 digits, in order: the last seven run out of digits.
    const char* expected[] = {"1 1 1 ", "1 1 1 ", "1 1 1 ", "1 1 1 ", "1 1 0 ", "0 0 0 ", "0 0 0 "};
    for (int r = 0; r < 7; r++) EXPECT_EQ(terrainRow(r, 3), expected[r]) << "row " << r;
}

TEST_F(MapFile, SizesThatCannotBePlayedAreRefused) {
    EXPECT_EQ(measureText(fixture("empty.txt")), MAP_NO_DATA);

    EXPECT_EQ(measureText(fixture("six_rows.txt")), MAP_TOO_FEW_ROWS);
    EXPECT_EQ(mapRows, 6);

    // No '#' at all: no rows, and the columns stay the undivided count.
    EXPECT_EQ(measureText(fixture("no_hash.txt")), MAP_TOO_FEW_ROWS);
    EXPECT_EQ(mapRows, 0);
    EXPECT_EQ(mapCols, 8);

    EXPECT_EQ(measureText(fixture("one_column.txt")), MAP_TOO_FEW_COLS);
    EXPECT_EQ(mapRows, 7);
    EXPECT_EQ(mapCols, 1);
}

TEST_F(MapFile, MapsBeyondFiftySquaresAreRefusedAndFiftyIsAccepted) {
    EXPECT_EQ(measureText(fixture("wide_51.txt")), MAP_TOO_LARGE);
    EXPECT_EQ(mapCols, 51);
    EXPECT_EQ(measureText(fixture("tall_51.txt")), MAP_TOO_LARGE);
    EXPECT_EQ(mapRows, 51);
    EXPECT_EQ(mapCols, 2);

    readBothPasses(fixture("full_50x50.txt"));
    EXPECT_EQ(mapRows, 50);
    EXPECT_EQ(mapCols, 50);
    EXPECT_EQ(battleMap[49][0].terrain, 5);
    EXPECT_EQ(battleMap[49][49].terrain, 9);   // the file's last digit
    EXPECT_FLOAT_EQ(battleMap[49][49].centre.x, 49.5f);
    EXPECT_FLOAT_EQ(battleMap[49][49].centre.z, 50.5f);
}

TEST_F(MapFile, ZerosAreSkippedSoTheNextDigitFillsTheSquare) {
    readBothPasses(fixture("zeros.txt"));
    ASSERT_EQ(mapCols, 4);
    // Each line holds 1 2 3 0: the zero gives way to the next line's 1.
    EXPECT_EQ(terrainRow(0, 4), "1 2 3 1 ");
    EXPECT_EQ(terrainRow(1, 4), "2 3 1 2 ");
    EXPECT_EQ(terrainRow(2, 4), "3 1 2 3 ");
    EXPECT_EQ(terrainRow(4, 4), "2 3 1 2 ");
    // 21 digits for 28 squares: the file runs out after the first square of row 5.
    EXPECT_EQ(terrainRow(5, 4), "3 0 0 0 ");
    EXPECT_EQ(terrainRow(6, 4), "0 0 0 0 ");
}

TEST_F(MapFile, RowMarksCountRowsButDoNotRealignTheSquares) {
    readBothPasses("123#\n45#\n45#\n45#\n45#\n45#\n45#");
    ASSERT_EQ(mapCols, 3);
    EXPECT_EQ(terrainRow(0, 3), "1 2 3 ");
    EXPECT_EQ(terrainRow(1, 3), "4 5 4 ");
    EXPECT_EQ(terrainRow(2, 3), "5 4 5 ");
    EXPECT_EQ(terrainRow(5, 3), "0 0 0 ");
}

TEST_F(MapFile, TerrainBlockIsAlwaysTenByTen) {
    std::string printed = readBothPasses(fixture("map_7x5.txt"));
    std::string expected =
        "bottom left corner is at 4 0 7\n"
        "\n"
        " 1  2  3  4  5  -1  -1  -1  -1  -1 \n"
        " 2  3  4  5  1  -1  -1  -1  -1  -1 \n"
        " 3  4  5  1  2  -1  -1  -1  -1  -1 \n"
        " 4  5  1  2  3  -1  -1  -1  -1  -1 \n"
        " 5  1  2  3  4  -1  -1  -1  -1  -1 \n"
        " 1  2  3  4  5  -1  -1  -1  -1  -1 \n"
        " 2  3  4  5  1  -1  -1  -1  -1  -1 \n"
        " -1  -1  -1  -1  -1  -1  -1  -1  -1  -1 \n"
        " -1  -1  -1  -1  -1  -1  -1  -1  -1  -1 \n"
        " -1  -1  -1  -1  -1  -1  -1  -1  -1  -1 \n";
    ASSERT_GE(printed.size(), expected.size());
    EXPECT_EQ(printed.substr(printed.size() - expected.size()), expected);

    // A larger map shows only its first ten rows and columns.
    resetBattleState();
    printed = readBothPasses(fixture("full_50x50.txt"));
    EXPECT_NE(printed.find("\n\n 1  2  3  4  5  6  7  8  9  1 \n 2  3  4  5  6  7  8  9  1  2 \n"),
              std::string::npos);
    EXPECT_EQ(printed.substr(printed.size() - 31), " 1  2  3  4  5  6  7  8  9  1 \n");
}

TEST_F(MapFile, SquaresKnowTheirCornerCentreAndStartEmpty) {
    loadUniformMap(7, 5, 2);
    const MapCell& first = battleMap[0][0];
    EXPECT_FLOAT_EQ(first.centre.x, 0.5f);
    EXPECT_FLOAT_EQ(first.centre.y, 0);
    EXPECT_FLOAT_EQ(first.centre.z, 1.5f);
    const MapCell& square = battleMap[4][3];
    EXPECT_FLOAT_EQ(square.corner.x, 3);
    EXPECT_FLOAT_EQ(square.corner.z, 5);
    EXPECT_FLOAT_EQ(square.centre.x, 3.5f);
    EXPECT_FLOAT_EQ(square.centre.z, 5.5f);
    EXPECT_EQ(square.terrain, 2);
    for (int r = 0; r < 7; r++)
        for (int c = 0; c < 5; c++) EXPECT_EQ(battleMap[r][c].occupant, -1);
    EXPECT_EQ(battleMap[7][0].terrain, -1);   // outside the map: never written
    EXPECT_EQ(battleMap[0][5].terrain, -1);
}

TEST_F(MapFile, PrintoutsShowOccupantsAndTerrain) {
    loadMap("12#\n34#\n56#\n78#\n91#\n23#\n45#");
    placeUnit<Archer>(1, 0, 1);   // id 0 prints like an empty square
    placeUnit<Mage>(2, 6, 0);     // id 1
    placeUnit<Flier>(2, 5, 1);    // id 2
    EXPECT_EQ(captureOutput(printMapOccupancy),
              "\nPRINTING OUT MAP WITH OCCUPIED\n"
              " 0  0 \n 0  0 \n 0  0 \n 0  0 \n 0  0 \n 0  2 \n 1  0 \n");
    EXPECT_EQ(captureOutput(printMapTerrain),
              "\nPRINTING OUT MAP WITH ID NUMBERS\n"
              " 1  2 \n 3  4 \n 5  6 \n 7  8 \n 9  1 \n 2  3 \n 4  5 \n");
}
