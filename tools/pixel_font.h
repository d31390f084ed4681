// tools/pixel_font.h — the artwork's own 5 × 7 capital letters, scaled and outlined
#pragma once
#include <string>
#include "tools/canvas.h"

struct TextStyle {
    int scaleX = 1, scaleY = 1;   // picture pixels per font pixel
    Colour fill;
    Colour outline;
    int outlineWidth = 0;         // picture pixels around every stroke; 0 for none
    int shadow = 0;               // picture pixels of drop shadow, down and right, in the outline colour
};

int textWidth(const std::string& text, const TextStyle& style);
int textHeight(const TextStyle& style);
// Draws capitals, digits and . , : ! ' - / ? with the top-left corner at (x, y).
void drawText(Canvas& canvas, int x, int y, const std::string& text, const TextStyle& style);
void drawTextCentred(Canvas& canvas, int centreX, int y, const std::string& text, const TextStyle& style);
void drawTextRight(Canvas& canvas, int rightX, int y, const std::string& text, const TextStyle& style);
