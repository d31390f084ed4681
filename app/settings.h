// app/settings.h — what a player chose that outlasts the game: the battle speed, kept in
// kestrava-settings.txt beside the kept battle
//
//   kestrava-settings version=1
//   speed 2          1, 2 or 4 (g)
//   end
#pragma once
#include <iosfwd>
#include <string>

extern const char* const SETTINGS_FILE;   // kestrava-settings.txt, in the run folder
constexpr long MOST_SETTINGS_BYTES = 4096;

// The settings as the file holds them: the battle speed (render/looks.h).
std::string settingsText();
// "" for a whole settings file, with the speed it holds; else the first
// problem, with its line number. Reads no further than that problem.
std::string readSettings(std::istream& in, int& speed);
// At start: the settings kept in path taken up. Without such a file the
// defaults stay, quietly; one that does not read (not a regular file,
// larger than MOST_SETTINGS_BYTES, another format) is said in one line on
// standard error, and the defaults stay.
void loadSettings(const char* path);
// The settings written over path whole; a failure is said in one line on standard error.
void keepSettings(const char* path);
