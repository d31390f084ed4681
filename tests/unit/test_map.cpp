// tests/unit/test_map.cpp — reading WorldDesc.txt: the size limit, squares and printouts (the
// console transcripts of the start-up tests show every size, refusal and terrain block line for line)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "game/battle_map.h"
#include "tests/support/window_link_fake.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string fixture(const std::string& name) { return readFile(std::string(TEST_DATA_DIR) + "/maps/" + name); }

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

// Expects the rows of the map, top to bottom, to hold these terrains.
void expectTerrain(const std::vector<std::string>& rows) {
    for (size_t r = 0; r < rows.size(); r++) {
        std::string text;
        for (int c = 0; c < mapCols; c++) text += std::to_string(battleMap[r][c].terrain) + " ";
        EXPECT_EQ(text, rows[r]) << "row " << r;
    }
}

}  // namespace

using MapFile = BattleTest;

TEST_F(MapFile, MapsBeyondFiftySquaresAreRefusedAndFiftyIsAccepted) {
    EXPECT_EQ(measureText(fixture("wide_51.txt")), MAP_TOO_LARGE);
    EXPECT_EQ(mapCols, 51);
    EXPECT_EQ(measureText(fixture("tall_51.txt")), MAP_TOO_LARGE);
    EXPECT_EQ(mapRows, 51);
    EXPECT_EQ(mapCols, 2);

    std::string printed = readBothPasses(fixture("full_50x50.txt"));
    EXPECT_EQ(mapRows, 50);
    EXPECT_EQ(mapCols, 50);
    EXPECT_EQ(battleMap[49][0].terrain, 5);
    EXPECT_EQ(battleMap[49][49].terrain, 9);   // the file's last digit
    EXPECT_FLOAT_EQ(battleMap[49][49].centre.x, 49.5f);
    EXPECT_FLOAT_EQ(battleMap[49][49].centre.z, 50.5f);
    // The terrain block shows only the first ten rows and columns.
    EXPECT_NE(printed.find("\n\n 1  2  3  4  5  6  7  8  9  1 \n 2  3  4  5  6  7  8  9  1  2 \n"),
              std::string::npos);
    EXPECT_EQ(printed.substr(printed.size() - 31), " 1  2  3  4  5  6  7  8  9  1 \n");
}

TEST_F(MapFile, RowMarksCountRowsButDoNotRealignTheSquares) {
    readBothPasses("123#\n45#\n45#\n45#\n45#\n45#\n45#");
    ASSERT_EQ(mapCols, 3);
    expectTerrain({"1 2 3 ", "4 5 4 ", "5 4 5 ", "4 5 4 ", "5 4 5 ", "0 0 0 "});
}

TEST_F(MapFile, SquaresKnowTheirCornerCentreAndStartEmpty) {
    loadUniformMap(7, 5, 2);
    EXPECT_FLOAT_EQ(battleMap[0][0].centre.y, 0);
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

TEST_F(MapFile, WindowsLineBreaksReadAsPlainOnes) {
    // The game's own map, and seven rows with and without a break after the last.
    for (std::string lf : {fixture("ones_7x2.txt"), fixture("ones_7x2_newline.txt"),
                           readFile(std::string(RUN_DIR) + "/WorldDesc.txt")}) {
        ASSERT_NE(lf.find('\n'), std::string::npos);
        std::string crlf;
        for (char c : lf) crlf += c == '\n' ? "\r\n" : std::string(1, c);
        std::string expected = readBothPasses(lf);
        EXPECT_EQ(readBothPasses(crlf), expected);
    }
}
