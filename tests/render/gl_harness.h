// tests/render/gl_harness.h — the game's real window for the render tests, and ways to look at what it drew
// ensureGlWindow() opens the window once per process as the game does, in the run folder,
// with the fixture every_terrain_8x10.txt (8 × 10, every terrain code;
// row 7 ends in five squares of code 0) loaded first.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

void ensureGlWindow();

// Puts the fixture map back into battleMap (other tests load their own maps;
// boardBlocks always show the fixture).
void reloadFixtureMap();

struct PixelColour {
    int r, g, b;   // 0–255
};
bool closeTo(PixelColour a, PixelColour b, int tolerance = 2);
std::string describe(PixelColour c);

// Clears the whole window to the game's black, the viewport over all of it.
void clearWindow();

// A perspective view of the given height in degrees (near 0.1, far 100) into
// the viewport, counted from the bottom left; the model-view matrix identity.
void lookThrough(int left, int bottom, int width, int height, double degrees);

// The back buffer; after onDisplay it still holds the swapped frame (Mesa swaps by copying;
// GL_FRONT reads black under Xvfb).
struct WindowPicture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;   // bottom row first
    PixelColour at(int x, int y) const;
    int count(PixelColour colour, int tolerance = 2) const;
};
WindowPicture readBackBuffer();

// Replaces textures by 4 × 4 images of one colour while it lives, and puts
// the original images back when it goes: exact colours for pixel checks.
class SolidTextures {
public:
    SolidTextures(std::initializer_list<std::pair<int, PixelColour>> textures);
    ~SolidTextures();
    SolidTextures(const SolidTextures&) = delete;
    SolidTextures& operator=(const SolidTextures&) = delete;

private:
    struct Saved {
        int number, width, height;
        std::vector<unsigned char> rgb;
    };
    std::vector<Saved> saved;
};

struct PixelBox {
    int left, bottom, right, top;   // inclusive
};

// Fails unless a frame leaves GL as the game expects: matrix stacks at the bottom, model-view
// current, lighting on, perspective, no GL error.
void expectGlStateRestored();

// The frame clock reads this many milliseconds until the next call.
void fixTicks(uint32_t milliseconds);

// A whole frame as the window draws it, from the identity model-view the
// window has (the HUD lines take the matrix they find), at a fixed clock:
// ticks at 101500, nowSeconds as given, its second begun at 100. The battle
// is not kept on disk. The back buffer then holds the frame.
void drawWindowFrame(double now);
