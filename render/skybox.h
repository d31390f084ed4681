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
