// render/board.cpp — display lists of the board, the cursor and the reach diamonds
#include "render/board.h"

#include <algorithm>
#include <cstdlib>
#include <GL/gl.h>

#include "app/camera.h"
#include "app/textures.h"
#include "game/battle_map.h"
#include "render/looks.h"
#include "rules/window_link.h"

std::vector<BoardBlock> boardBlocks;
unsigned cursorList = 0;
unsigned cursorDimList = 0;
unsigned reachLists[5] = {};

int terrainTexture(int terrain) {
    switch (terrain) {
        case 4: return TEX_WATER;
        case 1: return TEX_GRASS;
        case 2: return TEX_MOUNTAIN;
        case 3: return TEX_DESERT;
        case 5: return TEX_ELECTRIC;
        default: return TEX_CHAOS;
    }
}

namespace {

// 8 × 8 squares: the 50 × 50 board in 49 blocks, few enough that testing
// them costs nothing, small enough that a view of a corner draws only it.
constexpr int BOARD_BLOCK = 8;

// The cursor never goes out: between its bright spells it shows this strong.
constexpr float CURSOR_DIM = 0.35f;


// One row of a reach diamond: the squares of that row within reach, side by side.
void reachRow(int row, float halfWidth) {
    glVertex3f(-halfWidth, 0, row - 0.5f);
    glVertex3f(-halfWidth, 0, row + 0.5f);
    glVertex3f(halfWidth, 0, row + 0.5f);
    glVertex3f(halfWidth, 0, row - 0.5f);
}
}

// The +1 in z puts each square's centre in the middle of its drawn quad.
void buildBoardLists() {
    boardBlocks.clear();
    for (int r = 0; r < mapRows; r += BOARD_BLOCK)
        for (int c = 0; c < mapCols; c += BOARD_BLOCK) {
            const unsigned list = glGenLists(1);
            glNewList(list, GL_COMPILE);
            glPushMatrix();
            glTranslatef(0, 0, 1);
            drawBoardSquares(r, c, BOARD_BLOCK, BOARD_BLOCK);
            glPopMatrix();
            glEndList();
            const int highRow = std::min(r + BOARD_BLOCK, mapRows), highCol = std::min(c + BOARD_BLOCK, mapCols);
            boardBlocks.push_back({float(c), float(r + 1), float(highCol), float(highRow + 1), list});
        }

    cursorList = glGenLists(2);
    glNewList(cursorList, GL_COMPILE);
    drawCursorSquare();
    glEndList();
    cursorDimList = cursorList + 1;
    glNewList(cursorDimList, GL_COMPILE);
    drawCursorSquare(CURSOR_DIM);
    glEndList();
}

// Only the squares in play are drawn, whatever the size of the grid behind
// them. They go texture by texture: a bind between two squares makes GL start
// a new batch, and a 50 × 50 board in map order binds at nearly every square.
// The squares do not overlap, so the order changes no pixel.
void drawBoardSquares(int firstRow, int firstCol, int rows, int cols) {
    const int endRow = rows < 0 ? mapRows : std::min(firstRow + rows, mapRows);
    const int endCol = cols < 0 ? mapCols : std::min(firstCol + cols, mapCols);
    applyMaterial(whiteMaterial);
    glEnable(GL_TEXTURE_2D);
    for (int texture : {TEX_WATER, TEX_GRASS, TEX_MOUNTAIN, TEX_DESERT, TEX_ELECTRIC, TEX_CHAOS}) {
        glBindTexture(GL_TEXTURE_2D, texture);
        for (int r = firstRow; r < endRow; r++)
            for (int c = firstCol; c < endCol; c++) {
                const MapCell& square = battleMap[r][c];
                if (terrainTexture(square.terrain) != texture) continue;
                const Vector& corner = square.corner;
                glBegin(GL_POLYGON);
                glTexCoord2f(0, 0); glVertex3f(corner.x, 0, corner.z);
                glTexCoord2f(1, 0); glVertex3f(corner.x + 1, 0, corner.z);
                glTexCoord2f(1, 1); glVertex3f(corner.x + 1, 0, corner.z - 1);
                glTexCoord2f(0, 1); glVertex3f(corner.x, 0, corner.z - 1);
                glEnd();
            }
    }
    glDisable(GL_TEXTURE_2D);
}

void drawBoardInView() {
    constexpr float BOARD_Y = -0.5f;
    for (const BoardBlock& block : boardBlocks)
        if (!boxOutsideView(Vector(block.lowX, BOARD_Y, block.lowZ), Vector(block.highX, BOARD_Y, block.highZ)))
            glCallList(block.list);
}

// A translucent blue fill added onto the board, with a green outline; both
// fainter at a lower strength. The line width of 2 stays set after the list has run.
void drawCursorSquare(float strength) {
    const float h = 0.5f;
    glDisable(GL_LIGHTING);
    glLineWidth(2);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(0.2f, 0.2f, 1, 0.5f * strength);
    glBegin(GL_POLYGON);
    glVertex3f(-h, 0, -h);
    glVertex3f(-h, 0, h);
    glVertex3f(h, 0, h);
    glVertex3f(h, 0, -h);
    glEnd();
    glDisable(GL_BLEND);
    glColor4f(0, strength, 0, 1);
    glBegin(GL_LINES);
    glVertex3f(-h, 0, -h); glVertex3f(-h, 0, h);
    glVertex3f(-h, 0, h);  glVertex3f(h, 0, h);
    glVertex3f(h, 0, h);   glVertex3f(h, 0, -h);
    glVertex3f(h, 0, -h);  glVertex3f(-h, 0, -h);
    glEnd();
    glEnable(GL_LIGHTING);
}

// Each diamond is one strip per row, covering the squares within row + column
// distance R exactly once. The blend makes every covered pixel 2 × colour ×
// what is behind (red doubled, green × 1.4, blue removed), so squares covered
// twice would show a second tint, and in perspective stripes where the two
// coplanar layers fight over the depth.
void buildReachLists() {
    for (int reach = 1; reach <= 5; reach++) {
        unsigned list = glGenLists(1);
        reachLists[reach - 1] = list;
        glNewList(list, GL_COMPILE);
        glDisable(GL_LIGHTING);
        glEnable(GL_BLEND);
        glBlendFunc(GL_DST_COLOR, GL_SRC_COLOR);
        glColor4f(1, 0.7f, 0, 1);
        glBegin(GL_QUADS);
        for (int row = -reach; row <= reach; row++)
            reachRow(row, reach - std::abs(row) + 0.5f);
        glEnd();
        glDisable(GL_BLEND);
        glEnable(GL_LIGHTING);
        glEndList();
    }
}
