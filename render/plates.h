// render/plates.h — the flat things the frame draws over the scene in window pixels: plates,
// rectangles, shadowed text and the game's own lettering (the guides and the setup screen share them)
#pragma once
#include <string>

struct ScreenBox;

// Window pixels from the bottom left, no depth test, no lighting: the flat
// marks go over the scene, and anything drawn later at overlay depth (the
// banners) over them. Everything is put back when it goes.
class PixelSpace {
public:
    PixelSpace();
    ~PixelSpace();
    PixelSpace(const PixelSpace&) = delete;
    PixelSpace& operator=(const PixelSpace&) = delete;
};

void rectangle(float left, float bottom, float right, float top);
int textWidth(void* font, const std::string& text);   // pixels, in a GLUT bitmap font
// Text with a black shadow one pixel down and right, in pixel space.
void shadowedText(float x, float y, void* font, const std::string& text, const float colour[3], float alpha = 1);
// Capitals in the game's own lettering, as the banners have them, from x
// with their foot at y: `size` pixels to a letter pixel and a black rim of a
// third of that around every stroke.
void letteredText(float x, float y, float size, const std::string& text, const float colour[3]);
float letteredWidth(const std::string& text, float size);   // pixels, from the first letter's left edge to the last one's right
// An opaque dark plate over the box, with a light rim.
void panelPlate(const ScreenBox& box);
