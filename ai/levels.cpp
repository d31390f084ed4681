// ai/levels.cpp — the levels' table and their names
#include "ai/levels.h"

#include <cstring>

const LevelSetup LEVEL_SETUPS[LEVELS] = {
    // name      focus fire  hero lapse  spread  foresight
    {"easy",     false,      2,          100,    0},
    {"normal",   true,       0,          0,      0},
    {"hard",     true,       0,          0,      8},
};

int levelNamed(const char* name) {
    for (int level = 0; level < LEVELS; level++)
        if (std::strcmp(LEVEL_SETUPS[level].name, name) == 0) return level;
    return -1;
}
