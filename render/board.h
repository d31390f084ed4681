// render/board.h — display lists of the board, the cursor and the reach diamonds
#pragma once

#include <vector>

// The board in blocks of squares, a display list each, so that a frame
// skips the blocks that cannot show; the list after the block's corners.
struct BoardBlock {
    float lowX, lowZ, highX, highZ;   // world coordinates, as the scene places the board
    unsigned list;
};
extern std::vector<BoardBlock> boardBlocks;
extern unsigned cursorList;
extern unsigned cursorDimList;   // the cursor at the low point of its blink
extern unsigned reachLists[5];   // reach 1 … 5

int terrainTexture(int terrain);   // the texture (app/textures.h) a terrain code is drawn with
void buildBoardLists();
void buildReachLists();
void drawBoardInView();    // the blocks not wholly out of view; the scene has moved the board down half a unit
void drawBoardSquares(int firstRow = 0, int firstCol = 0, int rows = -1, int cols = -1);   // -1: to the edge
void drawCursorSquare(float strength = 1);   // 1 at full brightness
