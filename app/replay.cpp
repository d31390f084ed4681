// app/replay.cpp — recording every command that reaches the battle, and playing a recording back
#include "app/replay.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/battle_clock.h"
#include "app/input.h"
#include "game/startup.h"
#include "render/looks.h"
#include "rules/game_state.h"

bool replaying = false;
bool replayPaused = false;
int  replaySpeed = 1;

namespace {

constexpr unsigned char KEY_ESCAPE = 27;
constexpr int FASTEST_REPLAY = 8;

// ---- Recording ----

FILE* recording = nullptr;
unsigned recordedHash = FNV_START;
int recordedBattles = 0;   // battlesStarted as the file has it

void writeLine(const std::string& line) {
    const std::string text = line + "\n";
    recordedHash = fnv1a(text, recordedHash);
    std::fwrite(text.data(), 1, text.size(), recording);
    std::fflush(recording);
}

// Enter after a victory starts a new battle with a new seed: it follows the
// command that started it, before anything else.
void noteNewBattle() {
    if (battlesStarted == recordedBattles) return;
    recordedBattles = battlesStarted;
    ReplayEntry seed;
    seed.tick = battleTick;
    seed.isSeed = true;
    seed.seed = battleSeed;
    writeLine(replayLine(seed));
}

bool quitKey(const Command& command) {
    const int key = command.code;
    return command.kind == CMD_KEY && (key == KEY_ESCAPE || key == 'q' || key == 'Q');
}

void recordCommand(const Command& command) {
    noteNewBattle();
    if (quitKey(command)) return;
    ReplayEntry entry;
    entry.tick = battleTick;
    entry.command = command;
    writeLine(replayLine(entry));
}

void finishRecording() {
    noteNewBattle();
    char end[64];
    std::snprintf(end, sizeof end, "end %d %08x\n", battleTick, recordedHash);
    std::fputs(end, recording);
    std::fclose(recording);
    recording = nullptr;
}

// ---- Playing back ----

Replay played;
size_t nextEntry = 0;
bool toldOver = false;

// The command at nextEntry, with the seed of the battle it starts, if any,
// made the one a new battle takes.
void playNext() {
    const size_t after = nextEntry + 1;
    if (after < played.entries.size() && played.entries[after].isSeed)
        setenv("KESTRAVA_SEED", std::to_string(played.entries[after].seed).c_str(), 1);
    dispatch(played.entries[nextEntry++].command);
}

void skipSeeds() {
    while (nextEntry < played.entries.size() && played.entries[nextEntry].isSeed) nextEntry++;
}

// What the screen says of the replay: its speed, that it is paused, or over.
void showReplayState() {
    if (toldOver)
        std::snprintf(replayState, sizeof replayState, "REPLAY OVER: Q QUITS");
    else if (replayPaused)
        std::snprintf(replayState, sizeof replayState, "REPLAY %dX, PAUSED", replaySpeed);
    else
        std::snprintf(replayState, sizeof replayState, "REPLAY %dX", replaySpeed);
}

void tellOver() {
    if (toldOver || battleTick < played.endTick || nextEntry < played.entries.size()) return;
    toldOver = true;
    std::fprintf(stderr, "The replay is over at tick %d; q quits.\n", battleTick);
    showReplayState();
}

}  // namespace

bool startRecording(const char* path, const Replay& start, std::string& problem) {
    recording = std::fopen(path, "w");
    if (!recording) {
        problem = std::strerror(errno);
        return false;
    }
    const std::string header = replayHeader(start);
    recordedHash = fnv1a(header, FNV_START);
    std::fputs(header.c_str(), recording);
    std::fflush(recording);
    recordedBattles = battlesStarted;
    commandWatcher = recordCommand;
    std::atexit(finishRecording);
    return true;
}

void noteTick() {
    if (recording) noteNewBattle();
}

void startReplay(Replay replay) {
    played = std::move(replay);
    nextEntry = 0;
    replaying = watchingReplay = true;
    replayPaused = toldOver = false;
    replaySpeed = 1;
    showReplayState();
}

void playComputerCommands() {
    skipSeeds();
    while (nextEntry < played.entries.size() && played.entries[nextEntry].tick == battleTick &&
           played.entries[nextEntry].command.source == FROM_COMPUTER) {
        playNext();
        skipSeeds();
    }
}

void playPersonCommands() {
    skipSeeds();
    while (nextEntry < played.entries.size() && played.entries[nextEntry].tick <= battleTick) {
        playNext();
        skipSeeds();
    }
    tellOver();
}

int replayTicks(int due) {
    if (battleTick == 0) playPersonCommands();   // what came before the first tick
    if (replayPaused) return 0;
    return static_cast<int>(std::min<long>(static_cast<long>(due) * replaySpeed, played.endTick - battleTick));
}

void replayViewerKey(unsigned char key) {
    if (key == ' ') replayPaused = !replayPaused;
    if (key == 'g') replaySpeed = replaySpeed >= FASTEST_REPLAY ? 1 : replaySpeed * 2;
    if (!toldOver) showReplayState();
    if (key == 'q' || key == 'Q' || key == KEY_ESCAPE) std::exit(0);
}
