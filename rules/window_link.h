// rules/window_link.h — what the rules may ask of the window
//
// The window shell implements these with GLUT and GL; the unit tests link a
// recording fake instead, so every rule runs without a display.
#pragma once
struct MaterialPreset;

void requestRedisplay();
void reapplyProjection();          // after perspectiveView changed: the reshape handler at the current size
void setLighting(bool on);
void applyMaterial(const MaterialPreset& preset);
