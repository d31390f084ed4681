// render/skybox.h — the box of sky around the board
#pragma once

void drawSkybox(float x, float y, float z, float width, float height, float length);
void drawSkyboxAroundMap();   // the box the frame draws: sized from mapRows and mapCols
