// render/models.h — the helpers of the unit models (each class draws itself: Unit::draw)
#pragma once

void drawArcherLimb();
void drawCubeFrame();
