// app/settings.cpp — the settings file: written whole, read strictly
#include "app/settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <istream>
#include <sstream>

#include "game/regular_file.h"
#include "render/looks.h"
#include "save/battle_save.h"

const char* const SETTINGS_FILE = "kestrava-settings.txt";

namespace {
const char* const SETTINGS_FORMAT_LINE = "kestrava-settings version=1";
}

std::string settingsText() {
    return std::string(SETTINGS_FORMAT_LINE) + "\nspeed " + std::to_string(battleSpeed) + "\nend\n";
}

// Each line whole, with its line break; each checked before the next is read.
std::string readSettings(std::istream& in, int& speed) {
    std::string line;
    for (int at = 1; at <= 3; at++) {
        const std::string where = "line " + std::to_string(at) + ": ";
        if (!std::getline(in, line)) return where + (at == 1 ? "the file is empty" : "the file is cut short");
        if (in.eof()) return where + "the file is cut short: the line has no end";
        if (at == 1 && line != SETTINGS_FORMAT_LINE)
            return where + "it is not a Kestrava settings file (or not one this version reads)";
        if (at == 2 && line.rfind("speed ", 0) != 0) return where + "the speed line is missing";
        if (at == 2 && line != "speed 1" && line != "speed 2" && line != "speed 4")
            return where + "the speed is not 1, 2 or 4";
        if (at == 2) speed = line[6] - '0';
        if (at == 3 && line != "end") return where + "the end line is missing";
    }
    if (in.peek() != std::char_traits<char>::eof()) return "line 4: something follows the end line";
    return "";
}

void loadSettings(const char* path) {
    std::string content, problem;
    const FileCheck check = readRegularFile(path, MOST_SETTINGS_BYTES, "any settings file", content, problem);
    if (check == FILE_CANNOT_OPEN && problem == "cannot open it (" + std::string(std::strerror(ENOENT)) + ")") return;
    int speed = 1;
    if (check == FILE_READABLE) {
        std::istringstream text(content);
        problem = readSettings(text, speed);
    }
    if (!problem.empty()) {
        std::fprintf(stderr, "Cannot read the settings in %s: %s; the defaults are kept.\n", path, problem.c_str());
        return;
    }
    battleSpeed = speed;
}

void keepSettings(const char* path) {
    if (!replaceWhole(path, settingsText()))
        std::fprintf(stderr, "Could not keep the settings in %s: %s\n", path, std::strerror(errno));
}
