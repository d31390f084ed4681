// render/skybox.h — the box of sky around the board
#pragma once

void drawSkybox(float x, float y, float z, float width, float height, float length);
void drawSkyboxAroundMap();   // the box the frame draws: sized from mapRows and mapCols

// The frame draws the sky after the board, which hides most of it, so that
// only the sky that shows is filled; yet the sky looks as if it came first:
// lit, or unlit in the colour then current in the one frame the l key leaves
// dark. holdSky, at the frame's start, keeps that look, and drawHeldSky draws
// the box with it, once for each holdSky.
void holdSky();
void drawHeldSky();

// The frame's colours start here, before the board (the frame clears only
// its depths). The sky fills more of a frame than anything else and is the
// slowest part of it for a software renderer, yet while the view is still
// (the camera, the window, the backdrop and the light as in the frame
// before) it stays the same: so it is drawn alone once, here, and kept, and
// in later frames drawHeldSky copies the kept picture in round the board,
// texel for pixel, in a fraction of the time. Otherwise the frame starts
// black and drawHeldSky draws the sky.
void drawBackdrop();
// The kept sky is out of date: the sky's pictures have changed.
void forgetKeptSky();
