// render/board.h — display lists of the board, the cursor and the reach diamonds
#pragma once

extern unsigned boardList;
extern unsigned cursorList;
extern unsigned reachLists[5];   // reach 1 … 5

void buildBoardLists();
void buildReachLists();
void drawBoardSquares();
void drawCursorSquare();
