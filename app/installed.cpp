// app/installed.cpp — the game installed on the system: its data beside it, its battles in the player's home
#include "app/installed.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/options.h"
#include "game/battle_map.h"
#include "game/folders.h"

namespace {

// The folder the game was started from, and the files named relative to it,
// kept here once made absolute: the options point into this table.
std::string startFolder;
std::string absoluteNames[3];

std::string programPath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

// Each missing folder on the way, readable by the player alone as the
// freedesktop base directories ask.
bool makeFolders(const std::string& folder, std::string& problem) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            problem = "cannot make the folder " + part + " (" + std::strerror(errno) + ")";
            return false;
        }
        if (slash == std::string::npos) return true;
    }
}

void keepRelativeTo(const char*& name, std::string& absolute) {
    if (!name || !*name || name[0] == '/') return;
    absolute = startFolder + "/" + name;
    name = absolute.c_str();
}

}  // namespace

bool settleInstalledGame(StartOptions& options, std::string& problem) {
    const std::string data = installedDataFolder(programPath());
    if (data.empty()) return true;
    dataFolder = data;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* account = getpwuid(getuid());
        home = account ? account->pw_dir : nullptr;
    }
    const std::string kept = keptFolderFor(std::getenv("XDG_DATA_HOME"), home);
    if (kept.empty()) {
        problem = "no folder to keep the battle in: neither XDG_DATA_HOME nor HOME is set";
        return false;
    }
    char here[4096];
    startFolder = getcwd(here, sizeof here) ? here : "/";
    // A bundled map's name stays a name; a path with '/' or '.' is a file the player has.
    if (options.map && mapFileFor(options.map) == options.map) keepRelativeTo(options.map, absoluteNames[0]);
    keepRelativeTo(options.recordFile, absoluteNames[1]);
    keepRelativeTo(options.replayFile, absoluteNames[2]);
    if (!makeFolders(kept, problem)) return false;
    if (chdir(kept.c_str()) != 0) {
        problem = "cannot enter the folder " + kept + " (" + std::strerror(errno) + ")";
        return false;
    }
    struct stat own;
    if (stat(mapFile.c_str(), &own) != 0) mapFile = dataPath(mapFile);
    return true;
}
