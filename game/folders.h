// game/folders.h — where the game's files lie: its data beside it, or, installed, under share/kestrava
//
// Run from a run folder (build/run/), the map, the bundled maps, the pictures
// and the sounds lie in the folder the game runs in, as do the battle it
// keeps, its settings and replays. Installed on the system (the program at
// PREFIX/games/kestrava or PREFIX/bin/kestrava), its data lies under
// PREFIX/share/kestrava and what it keeps in the player's own data folder.
#pragma once
#include <string>

// The folder of the maps, pictures and sounds, ending in '/'; empty while the
// game reads them from the folder it runs in.
extern std::string dataFolder;

// name (such as "images/water.bmp") inside dataFolder.
std::string dataPath(const std::string& name);

// The data folder of a program at executable when that is an installed game:
// PREFIX/share/kestrava/ (with its images/ folder) for a program in
// PREFIX/games/ or PREFIX/bin/. Empty for any other place, a run folder among them.
std::string installedDataFolder(const std::string& executable);

// Where an installed game keeps its battle, settings and replays:
// $XDG_DATA_HOME/kestrava, or HOME/.local/share/kestrava when XDG_DATA_HOME is
// unset, empty or not an absolute path (such a value is to be ignored). Empty
// when neither gives an absolute path.
std::string keptFolderFor(const char* xdgDataHome, const char* home);
