// render/board.h — display lists of the board, the cursor and the reach diamonds
#pragma once

extern unsigned boardList;
extern unsigned cursorList;
extern unsigned cursorDimList;   // the cursor at the low point of its blink
extern unsigned reachLists[5];   // reach 1 … 5

void buildBoardLists();
void buildReachLists();
void drawBoardSquares();
void drawCursorSquare(float strength = 1);   // 1 at full brightness
