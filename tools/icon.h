// tools/icon.h — the game's icon for the desktop's menus (the game itself never reads it)
#pragma once
#include <string>

// Both armies' colours on a disc ringed in gold under the hero's crown, on a
// slate tile with rounded corners, transparent around it: size × size pixels,
// written as a PNG. False when the file cannot be written.
bool writeIcon(int size, const std::string& path);
