// game/looks.cpp — the backdrop choice and the material presets
#include "game/looks.h"

#include <cstdio>

int skyChoice = 0;

namespace {
// The backdrop line for each skyChoice.
const char* const SKY_LINES[SKY_COUNT] = {
    "Switching to \"Celestial Calm.\"",
    "Switching to \"Magma Lake.\"",
    "Switching to \"Depths O' The Fishtank.\"",
    "Switching to \"Voodoo Lounge.\"",
    "Switching to \"Blue Blot.\"",
    "Switching to \"Space Endeavors.\"",
};
}  // namespace

void nextSky() {
    skyChoice += 1;
    if (skyChoice >= SKY_COUNT) skyChoice = 0;
    std::printf("%s\n", SKY_LINES[skyChoice]);
}

// Rows 1–16 are what the players browse for their armies; row 0 is never applied.
const MaterialPreset materialPresets[MATERIAL_COUNT + 1] = {
    //  ambient                                  diffuse                                    specular                                    shininess
    {{0, 0, 0, 0},                             {0, 0, 0, 0},                              {0, 0, 0, 0},                               0},
    {{0.135f, 0.2225f, 0.1575f, 0},            {0.54f, 0.89f, 0.63f, 0},                  {0.316228f, 0.316228f, 0.316228f, 0},       12.8f},    //  1 jade
    {{0.25f, 0.20725f, 0.20725f, 0},           {1, 0.829f, 0.829f, 0},                    {0.296648f, 0.296648f, 0.296648f, 0},       11.264f},  //  2 pearl
    {{0.19125f, 0.0735f, 0.0225f, 0},          {0.7038f, 0.27048f, 0.0828f, 0},           {0.256777f, 0.137622f, 0.086014f, 0},       12.8f},    //  3 copper
    {{0.1745f, 0.01175f, 0.01175f, 0},         {0.61424f, 0.04136f, 0.04136f, 0},         {0.727811f, 0.626959f, 0.626959f, 0},       76.8f},    //  4 ruby
    {{0.19225f, 0.19225f, 0.19225f, 1},        {0.50754f, 0.50754f, 0.50754f, 1},         {0.508273f, 0.508273f, 0.508273f, 1},       51.2f},    //  5 silver
    {{0.1f, 0.18725f, 0.1745f, 0},             {0.396f, 0.74151f, 0.69102f, 0},           {0.297254f, 0.30829f, 0.306678f, 0},        12.8f},    //  6 turquoise
    {{0.329412f, 0.223529f, 0.027451f, 0},     {0.780392f, 0.568627f, 0.113725f, 0},      {0.992157f, 0.941176f, 103.404f, 0},        27.8974f}, //  7 brass: the blue highlight saturates on purpose
    {{0.25f, 0.25f, 0.25f, 0},                 {0.4f, 0.4f, 0.4f, 0},                     {0.774597f, 0.774597f, 0.774597f, 0},       76.8f},    //  8 chrome
    {{0.05375f, 0.05f, 0.06625f, 0},           {0.18275f, 0.17f, 0.22525f, 0},            {0.332741f, 0.328634f, 0.346435f, 0},       38.4f},    //  9 obsidian
    {{0.329412f, 0.223529f, 0.027451f, 1},     {0.780392f, 0.568627f, 0.113725f, 1},      {0.992157f, 0.941176f, 0.807843f, 1},       27.8974f}, // 10 brass, opaque
    {{0.24725f, 0.1995f, 0.0745f, 0},          {0.75164f, 0.60648f, 0.22648f, 0},         {0.628281f, 0.555802f, 0.366065f, 0},       51.2f},    // 11 gold
    {{0.0215f, 0.1745f, 0.0215f, 0},           {0.07568f, 0.61424f, 0.07568f, 0},         {0.633f, 0.727811f, 0.633f, 0},             76.8f},    // 12 emerald
    {{0.05f, 0.05f, 0, 0},                     {0.5f, 0.5f, 0.4f, 0},                     {0.7f, 0.7f, 0.04f, 0},                     10},       // 13 yellow rubber
    {{0, 0, 0, 0},                             {0.1f, 0.35f, 0.1f, 0},                    {0.45f, 0.55f, 0.45f, 0},                   32},       // 14 green plastic
    {{0.10588f, 0.058824f, 0.113725f, 0},      {0.427451f, 0.470588f, 0.541176f, 0},      {0.3333f, 0.3333f, 0.521569f, 0},           9.84615f}, // 15 pewter
    {{0, 0.05f, 0.05f, 0},                     {0.4f, 0.5f, 0.5f, 0},                     {0.04f, 0.7f, 0.7f, 0},                     10},       // 16 cyan rubber
};
