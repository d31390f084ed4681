// render/glyphs.h — the game's own lettering: 5 × 7 capitals, digits and a few signs
//
// The artwork (tools/artgen) letters its banners and buttons with it, and the
// frame its own lines, so that both read alike. No GL here.
#pragma once

constexpr int GLYPH_WIDTH = 5, GLYPH_HEIGHT = 7;
constexpr int GLYPH_ADVANCE = 6;   // from one letter's left edge to the next one's

// The letter's seven rows, top first, '#' where a pixel is lit; nullptr for a
// blank, or a character the font lacks (drawn as a blank). Lower case has none.
const char* const* glyphRows(char letter);
