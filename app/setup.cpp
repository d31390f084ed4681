// app/setup.cpp — the setup screen's choices, what its keys and clicks change, and the command line
#include "app/setup.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ai/levels.h"
#include "app/input.h"
#include "app/replay_file.h"
#include "game/regular_file.h"
#include "render/setup_layout.h"
#include "rules/cursor.h"
#include "rules/window_link.h"
#include "save/battle_save.h"

bool setupShowing = false;
SetupChoices setupChoices;
std::vector<SetupMap> setupMaps;
std::vector<std::string> setupReplays;
bool setupResumable = false;
int setupFocus = ROW_START;
int setupReplay = 0;
void (*setupStarts)(const std::vector<std::string>& arguments) = nullptr;

namespace {

// How each bundled map plays, in a line.
const struct {
    const char* name;
    const char* character;
} MAP_CHARACTERS[] = {
    {"skirmish", "The smallest field: two rows between the armies and a knot of electric squares and mountains in "
                 "the middle. They meet in the first turn."},
    {"chaos-maze", "A maze whose walls are chaos squares: the grass ways wind through, and cutting across a wall "
                   "costs a turn a square."},
    {"river-fords", "A river two squares wide across the middle with three fords: two of grass towards the ends and "
                    "a sandbank in the middle."},
    {"mountain-pass", "Two ranges of mountains with electric peaks fill the middle; a winding pass of grass two "
                      "squares wide leads through."},
    {"islands", "Both armies start on a shore; between them open water and five islands with sandy beaches. Fliers "
                "cross at 1 a square, everyone else wades."},
    {"open-desert", "Desert everywhere, the home rows too, so every step but a Flier's is slow; a few oases of grass "
                    "round a pool, and scattered rocks."},
    {"wide-field", "The largest field: grass with hills, sand, a few electric stones and two winding brooks with dry "
                   "crossings; a long march."},
};

const int SETUP_SPEEDS[] = {1, 2, 4};
constexpr const char* REPLAY_FORMAT = "kestrava-replay version=";

// Whether the file starts as a recording does; opened without waiting, a regular file only.
bool isRecording(const char* path) {
    int file = -1;
    std::string problem;
    if (openRegularFile(path, MOST_REPLAY_BYTES, "any recording", file, problem) != FILE_READABLE) return false;
    char head[32] = {};
    const ssize_t got = read(file, head, std::strlen(REPLAY_FORMAT));
    close(file);
    return got == static_cast<ssize_t>(std::strlen(REPLAY_FORMAT)) && std::strcmp(head, REPLAY_FORMAT) == 0;
}

int cycledIndex(int value, int step, int count) { return ((value + step) % count + count) % count; }

void changeSpeed(int step) {
    int at = 0;
    while (at < 2 && SETUP_SPEEDS[at] != setupChoices.speed) at++;
    setupChoices.speed = SETUP_SPEEDS[cycledIndex(at, step, 3)];
}

void changeCount(int index, int step) {
    int& count = setupChoices.counts[index];
    count = std::clamp(count + step, 0, MOST_CLASS_COUNT);
}

// The screen goes: from here on the dispatcher hands the commands to the battle.
void startWith(std::vector<std::string> arguments) {
    if (!setupStarts) return;
    setupShowing = false;
    arguments.insert(arguments.begin(), "kestrava");
    setupStarts(arguments);
}

// Start is refused while an army does not fit; the screen says which.
void startChosenBattle() {
    if (!setupFits(setupChoices, setupMaps)) return;
    startWith(setupArguments(setupChoices, setupMaps));
}

// As a path, so that no file name is taken for an option.
void watchReplay(int replay) {
    if (replay >= 0 && replay < static_cast<int>(setupReplays.size()))
        startWith({"--replay", "./" + setupReplays[replay]});
}

// What Left (-1) or Right (+1) does on the row.
void changeRow(int row, int step) {
    if (row == ROW_MAP && !setupMaps.empty())
        setupChoices.map = cycledIndex(setupChoices.map, step, std::min<int>(setupMaps.size(), MOST_SETUP_MAPS));
    else if (row >= ROW_COUNTS && row < ROW_COUNTS + ARMY_COUNTS)
        changeCount(row - ROW_COUNTS, step);
    else if (row == ROW_COMMANDER || row == ROW_COMMANDER + 1)
        setupChoices.computer[row - ROW_COMMANDER + 1] = !setupChoices.computer[row - ROW_COMMANDER + 1];
    else if (row == ROW_LEVEL)
        setupChoices.level = cycledIndex(setupChoices.level, step, LEVELS);
    else if (row == ROW_SPEED)
        changeSpeed(step);
    else if (row == ROW_REPLAYS && !setupReplays.empty())
        setupReplay = cycledIndex(setupReplay, step, std::min<int>(setupReplays.size(), MOST_SETUP_REPLAYS));
}

bool rowShown(int row) {
    return (row != ROW_RESUME || setupResumable) && (row != ROW_REPLAYS || !setupReplays.empty());
}

void moveFocus(int step) {
    int row = setupFocus;
    do row = cycledIndex(row, step, SETUP_ROWS);
    while (!rowShown(row));
    setupFocus = row;
}

void enterOnFocus() {
    if (setupFocus == ROW_RESUME)
        startWith({"--resume"});
    else if (setupFocus == ROW_REPLAYS)
        watchReplay(setupReplay);
    else
        startChosenBattle();
}

void chooseControl(SetupControl control, int index) {
    switch (control) {
        case SETUP_MAP:
            if (index < static_cast<int>(setupMaps.size())) setupChoices.map = index;
            setupFocus = ROW_MAP;
            break;
        case SETUP_FEWER:
        case SETUP_MORE:
            changeCount(index, control == SETUP_MORE ? 1 : -1);
            setupFocus = ROW_COUNTS + index;
            break;
        case SETUP_COMMANDER:
            setupFocus = ROW_COMMANDER + index - 1;
            changeRow(setupFocus, 1);
            break;
        case SETUP_LEVEL:
        case SETUP_SPEED:
            setupFocus = control == SETUP_LEVEL ? ROW_LEVEL : ROW_SPEED;
            changeRow(setupFocus, 1);
            break;
        case SETUP_START: startChosenBattle(); break;
        case SETUP_RESUME: startWith({"--resume"}); break;
        case SETUP_REPLAY: watchReplay(index); break;
        case SETUP_NONE: break;
    }
}

}  // namespace

void findSetupFiles() {
    setupMaps.clear();
    for (const std::string& name : bundledMapNames()) {
        SetupMap map;
        map.name = name;
        if (!sketchMap(mapFileFor(name), map.rows, map.cols, map.terrain)) continue;
        for (const auto& known : MAP_CHARACTERS)
            if (name == known.name) map.character = known.character;
        setupMaps.push_back(std::move(map));
    }
    setupReplays.clear();
    if (DIR* folder = opendir(".")) {
        while (const dirent* entry = readdir(folder))
            if (isRecording(entry->d_name)) setupReplays.push_back(entry->d_name);
        closedir(folder);
    }
    std::sort(setupReplays.begin(), setupReplays.end());
    struct stat kept {};
    setupResumable = stat(SAVE_FILE, &kept) == 0 && S_ISREG(kept.st_mode);
}

std::vector<std::string> setupArguments(const SetupChoices& choices, const std::vector<SetupMap>& maps) {
    std::vector<std::string> arguments;
    if (choices.map >= 0 && choices.map < static_cast<int>(maps.size()))
        arguments = {"--map", maps[choices.map].name};
    if (choices.computer[1] || choices.computer[2]) {
        const char* side = choices.computer[1] && choices.computer[2] ? "both" : choices.computer[1] ? "1" : "2";
        arguments.insert(arguments.end(), {"--computer", side, "--level", LEVEL_SETUPS[choices.level].name});
    }
    for (int count : choices.counts) arguments.push_back(std::to_string(count));
    return arguments;
}

bool setupFits(const SetupChoices& choices, const std::vector<SetupMap>& maps) {
    return choices.map >= 0 && choices.map < static_cast<int>(maps.size()) &&
           armiesFitOn(choices.counts, maps[choices.map].cols);
}

void setupCommand(const Command& command) {
    switch (command.kind) {
        case CMD_KEY:
            if (command.code == 13 || command.code == ' ') enterOnFocus();
            if (command.code == 27 || command.code == 'q') std::exit(0);
            break;
        case CMD_SPECIAL:
            if (command.code == KEY_UP || command.code == KEY_DOWN) moveFocus(command.code == KEY_UP ? -1 : 1);
            if (command.code == KEY_LEFT || command.code == KEY_RIGHT)
                changeRow(setupFocus, command.code == KEY_RIGHT ? 1 : -1);
            break;
        case CMD_CHOOSE: chooseControl(static_cast<SetupControl>(command.code), command.row); break;
        default: return;
    }
    requestRedisplay();
}
