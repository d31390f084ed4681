// game/folders.cpp — where the game's files lie
#include "game/folders.h"

#include <sys/stat.h>

std::string dataFolder;

std::string dataPath(const std::string& name) { return dataFolder + name; }

namespace {

bool isFolder(const std::string& path) {
    struct stat found;
    return stat(path.c_str(), &found) == 0 && S_ISDIR(found.st_mode);
}

bool isAbsolute(const char* path) { return path && path[0] == '/'; }

}  // namespace

std::string installedDataFolder(const std::string& executable) {
    const size_t name = executable.rfind('/');
    if (name == std::string::npos || name == 0) return "";
    const size_t folder = executable.rfind('/', name - 1);
    if (folder == std::string::npos) return "";
    const std::string within = executable.substr(folder + 1, name - folder - 1);
    if (within != "games" && within != "bin") return "";
    const std::string data = executable.substr(0, folder) + "/share/kestrava/";
    return isFolder(data + "images") ? data : "";
}

std::string keptFolderFor(const char* xdgDataHome, const char* home) {
    if (isAbsolute(xdgDataHome)) return std::string(xdgDataHome) + "/kestrava";
    if (isAbsolute(home)) return std::string(home) + "/.local/share/kestrava";
    return "";
}
