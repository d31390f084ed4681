// game/regular_file.h — opening a file the game reads without ever waiting on one that is no file
//
// The map, the pictures, a replay and the kept battle are all read this way:
// opened without blocking (a pipe with no writer, a terminal or a device
// would otherwise hold the game at start for ever), kept only if it is a
// regular file, and refused when it is larger than anything of its kind.
#pragma once
#include <string>

// "a directory", "a device", "a pipe", "a socket" or "something else": what
// a path that is no regular file is, by its st_mode.
const char* kindOfFile(unsigned mode);

// How opening or reading went: the file could not be opened at all (the map
// and the pictures have their own lines for that), or it was and is refused.
enum FileCheck { FILE_READABLE, FILE_CANNOT_OPEN, FILE_REFUSED };

// Opens path for reading into file, or says why not in words a refusal can
// show after the file's name: "cannot open it (No such file or directory)",
// "it is a pipe, not a file", or "it is larger than any map (65536 bytes)"
// when largerThan is "any map".
FileCheck openRegularFile(const char* path, long long mostBytes, const char* largerThan, int& file,
                          std::string& problem);

// The whole of such a file into content, reading no more than mostBytes
// even of a file that grows meanwhile.
FileCheck readRegularFile(const char* path, long long mostBytes, const char* largerThan, std::string& content,
                          std::string& problem);
