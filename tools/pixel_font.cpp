// tools/pixel_font.cpp — the artwork's outlined text, in the game's lettering (render/glyphs.h)
#include "tools/pixel_font.h"
#include "render/glyphs.h"
#include <algorithm>
#include <vector>

int textWidth(const std::string& text, const TextStyle& style) {
    if (text.empty())
        return 0;
    return (static_cast<int>(text.size()) * GLYPH_ADVANCE - 1) * style.scaleX;
}

int textHeight(const TextStyle& style) { return GLYPH_HEIGHT * style.scaleY; }

void drawText(Canvas& canvas, int x, int y, const std::string& text, const TextStyle& style) {
    // The strokes go into a mask first so the outline can be grown around
    // whole words and painted underneath them.
    int pad = style.outlineWidth + style.shadow;
    int w = textWidth(text, style) + 2 * pad, h = textHeight(style) + 2 * pad;
    std::vector<char> mask(static_cast<size_t>(w) * h, 0);
    for (size_t i = 0; i < text.size(); i++) {
        const char* const* rows = glyphRows(text[i]);
        if (!rows)
            continue;
        for (int row = 0; row < GLYPH_HEIGHT; row++)
            for (int col = 0; col < GLYPH_WIDTH; col++)
                if (rows[row][col] == '#')
                    for (int sy = 0; sy < style.scaleY; sy++)
                        for (int sx = 0; sx < style.scaleX; sx++)
                            mask[static_cast<size_t>(pad + row * style.scaleY + sy) * w + pad +
                                 (static_cast<int>(i) * GLYPH_ADVANCE + col) * style.scaleX + sx] = 1;
    }
    // The outline is the strokes grown by a disc; the shadow is that outline
    // shifted down and right.
    int ow = style.outlineWidth, s = style.shadow;
    std::vector<char> grown(mask);
    for (int my = 0; my < h; my++)
        for (int mx = 0; mx < w; mx++)
            if (mask[static_cast<size_t>(my) * w + mx])
                for (int dy = -ow; dy <= ow; dy++)
                    for (int dx = -ow; dx <= ow; dx++)
                        if (dx * dx + dy * dy <= ow * ow + ow && mx + dx >= 0 && my + dy >= 0 && mx + dx < w && my + dy < h)
                            grown[static_cast<size_t>(my + dy) * w + mx + dx] = 1;
    auto at = [&](const std::vector<char>& m, int mx, int my) {
        return mx >= 0 && my >= 0 && mx < w && my < h && m[static_cast<size_t>(my) * w + mx];
    };
    for (int my = 0; my < h; my++) {
        for (int mx = 0; mx < w; mx++) {
            int px = x - pad + mx, py = y - pad + my;
            if (at(mask, mx, my))
                canvas.blend(px, py, style.fill, 1);
            else if ((ow > 0 && at(grown, mx, my)) || (s > 0 && at(grown, mx - s, my - s)))
                canvas.blend(px, py, style.outline, 1);
        }
    }
}

void drawTextCentred(Canvas& canvas, int centreX, int y, const std::string& text, const TextStyle& style) {
    drawText(canvas, centreX - textWidth(text, style) / 2, y, text, style);
}

void drawTextRight(Canvas& canvas, int rightX, int y, const std::string& text, const TextStyle& style) {
    drawText(canvas, rightX - textWidth(text, style), y, text, style);
}
