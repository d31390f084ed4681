// render/scene.h — one frame between the skybox and the HUD lines
#pragma once

extern char hpLabel[24], mpLabel[24], moveLabel[24];

void drawScene();

// The projection of the window's last size: perspective, or the overlays'
// orthographic box (−w/h … w/h by −1 … 1); leaves the model-view matrix current.
void loadProjection(bool perspective);
constexpr float NEAR_PLANE = 0.1f, FAR_PLANE = 100;
