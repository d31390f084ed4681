// render/scene.h — one frame between the skybox and the HUD lines
#pragma once

extern char hpLabel[24], mpLabel[24], moveLabel[24];

void drawScene();
