// render/lighting.h — the light that moves with the eye
#pragma once

extern float light0Offset[2];

void placeLights();
