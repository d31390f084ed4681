// render/plates.cpp — the flat things the frame draws over the scene in window pixels
#include "render/plates.h"

#include <algorithm>
#include <cmath>

#include <GL/gl.h>
#include <GL/glut.h>

#include "app/camera.h"
#include "render/glyphs.h"
#include "render/hud.h"
#include "render/layout.h"

PixelSpace::PixelSpace() {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, windowWidth, 0, windowHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

PixelSpace::~PixelSpace() {
    // Mesa holds bitmap text back to draw it together with the next, and
    // then draws it in whatever state has come meanwhile (black, after
    // the state below is put back): it goes out now.
    glFlush();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

void rectangle(float left, float bottom, float right, float top) {
    glBegin(GL_QUADS);
    glVertex2f(left, bottom);
    glVertex2f(right, bottom);
    glVertex2f(right, top);
    glVertex2f(left, top);
    glEnd();
}

int textWidth(void* font, const std::string& text) {
    return glutBitmapLength(font, reinterpret_cast<const unsigned char*>(text.c_str()));
}

void shadowedText(float x, float y, void* font, const std::string& text, const float colour[3], float alpha) {
    glColor4f(0, 0, 0, alpha);
    drawBitmapText(x + 1, y - 1, 0, font, text.c_str());
    glColor4f(colour[0], colour[1], colour[2], alpha);
    drawBitmapText(x, y, 0, font, text.c_str());
}

void letteredText(float x, float y, float size, const std::string& text, const float colour[3]) {
    float rim = std::max(1.0f, std::round(size / 3));
    for (bool fill : {false, true}) {
        float grow = fill ? 0 : rim;
        if (fill)
            glColor3fv(colour);
        else
            glColor3f(0, 0, 0);
        glBegin(GL_QUADS);
        for (size_t i = 0; i < text.size(); i++) {
            const char* const* rows = glyphRows(text[i]);
            if (!rows) continue;
            for (int row = 0; row < GLYPH_HEIGHT; row++)
                for (int col = 0; col < GLYPH_WIDTH; col++) {
                    if (rows[row][col] != '#') continue;
                    float left = x + (i * GLYPH_ADVANCE + col) * size, bottom = y + (GLYPH_HEIGHT - 1 - row) * size;
                    glVertex2f(left - grow, bottom - grow);
                    glVertex2f(left + size + grow, bottom - grow);
                    glVertex2f(left + size + grow, bottom + size + grow);
                    glVertex2f(left - grow, bottom + size + grow);
                }
        }
        glEnd();
    }
}

void panelPlate(const ScreenBox& box) {
    glColor4f(0.45f, 0.48f, 0.58f, 1);
    rectangle(box.left, box.bottom, box.right + 1, box.top + 1);
    glColor4f(0.05f, 0.06f, 0.12f, 1);
    rectangle(box.left + 1, box.bottom + 1, box.right, box.top);
}

float letteredWidth(const std::string& text, float size) {
    return (static_cast<float>(text.size()) * GLYPH_ADVANCE - 1) * size;
}
