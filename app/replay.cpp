// app/replay.cpp — recording every command that reaches the battle, and playing a recording back
#include "app/replay.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "app/battle_clock.h"
#include "app/input.h"
#include "game/regular_file.h"
#include "game/startup.h"
#include "render/looks.h"
#include "rules/game_state.h"
#include "save/battle_save.h"

bool replaying = false;
bool replayPaused = false;
int  replaySpeed = 1;

namespace {

constexpr unsigned char KEY_ESCAPE = 27;
constexpr int FASTEST_REPLAY = 8;

// ---- Recording ----

// Written with write(2), each line whole in one call, nothing held back in a
// buffer: whatever way the game ends, the file holds every command up to then.
int recording = -1;
std::string recordingPath;
unsigned recordedHash = FNV_START;
int recordedBattles = 0;   // battlesStarted as the file has it
bool finishAtExit = false;   // finishRecording is run at exit

// A write that fails (a full disk, a file size limit) is told once, as a
// failure to keep the battle is, and the recording stops there: the file
// then reads as one whose game was stopped, up to its last whole line.
void writeText(const std::string& text) {
    if (recording < 0) return;
    int failure = 0;
    for (size_t done = 0; !failure && done < text.size();) {
        const ssize_t count = write(recording, text.data() + done, text.size() - done);
        if (count > 0)
            done += static_cast<size_t>(count);
        else if (count == 0 || errno != EINTR)
            failure = count == 0 ? EIO : errno;
    }
    if (!failure) return;
    close(recording);
    recording = -1;
    const std::string why = std::strerror(failure);
    std::fprintf(stderr, "Could not write the recording to %s: %s\n", recordingPath.c_str(), why.c_str());
    keepTrouble = "The recording could not be written to " + recordingPath + ": " + why;
    keepTroubleSeconds = KEEP_TROUBLE_SECONDS;
}

void writeLine(const std::string& line) {
    const std::string text = line + "\n";
    recordedHash = fnv1a(text, recordedHash);
    writeText(text);
}

// Enter after a victory starts a new battle with a new seed: it follows the
// command that started it, before anything else.
void noteNewBattle() {
    if (battlesStarted == recordedBattles) return;
    recordedBattles = battlesStarted;
    writeLine(replayLine(ReplayEntry::seedOf(battleTick, battleSeed)));
}

bool quitKey(const Command& command) {
    const int key = command.code;
    return command.kind == CMD_KEY && (key == KEY_ESCAPE || key == 'q' || key == 'Q');
}

void recordCommand(const Command& command) {
    noteNewBattle();
    if (quitKey(command)) return;
    writeLine(replayLine(ReplayEntry::of(battleTick, command)));
}

// The file's identity: the same file by any name, a link or another path.
bool identify(const std::string& path, dev_t& device, ino_t& inode) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return false;
    device = status.st_dev;
    inode = status.st_ino;
    return true;
}

// Whether two paths name one file; for one that does not exist yet, whether
// it would be made under the other's name in the other's folder.
bool sameFile(const std::string& a, const std::string& b) {
    dev_t deviceA, deviceB;
    ino_t inodeA, inodeB;
    const bool hasA = identify(a, deviceA, inodeA), hasB = identify(b, deviceB, inodeB);
    if (hasA && hasB) return deviceA == deviceB && inodeA == inodeB;
    if (hasA != hasB) return false;
    const auto split = [](const std::string& path, std::string& folder, std::string& name) {
        const size_t slash = path.rfind('/');
        folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
        name = slash == std::string::npos ? path : path.substr(slash + 1);
    };
    std::string folderA, nameA, folderB, nameB;
    split(a, folderA, nameA);
    split(b, folderB, nameB);
    return nameA == nameB && identify(folderA, deviceA, inodeA) && identify(folderB, deviceB, inodeB) &&
           deviceA == deviceB && inodeA == inodeB;
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
        setenv("KESTRAVA_SEED", std::to_string(played.entries[after].seed()).c_str(), 1);
    dispatch(played.entries[nextEntry++].command());
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
    std::fprintf(stderr, "The replay is over at tick %lld; q quits.\n", static_cast<long long>(battleTick));
    showReplayState();
}

}  // namespace

std::string recordingTargetProblem(const char* path, const std::string& map) {
    const std::string into = std::string("--record cannot write into ") + path + ": ";
    struct stat status;
    if (stat(path, &status) == 0) {
        if (!S_ISREG(status.st_mode)) return into + "it is " + kindOfFile(status.st_mode) + ", not a file.";
    } else if (lstat(path, &status) == 0) {
        return into + "it is a link to nothing.";
    }
    const struct { const std::string& file; const char* what; } kept[] = {
        {map, "the map"}, {SAVE_FILE, "the kept battle"}, {REPLAY_SAVE_FILE, "the replay's kept battle"}};
    for (const auto& other : kept)
        if (sameFile(path, other.file))
            return std::string("--record would write over ") + other.what + ", " + other.file + ".";
    return "";
}

bool startRecording(const char* path, const Replay& start, std::string& problem) {
    // Not blocking, and only into a regular file: the path was checked, but
    // may have become a pipe since.
    recording = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0644);
    if (recording < 0) {
        problem = std::strerror(errno);
        return false;
    }
    struct stat status;
    if (fstat(recording, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(recording);
        recording = -1;
        problem = "it is not a file";
        return false;
    }
    // A file size limit then fails the write like a full disk, instead of ending the game.
    std::signal(SIGXFSZ, SIG_IGN);
    recordingPath = path;
    const std::string header = replayHeader(start);
    recordedHash = fnv1a(header, FNV_START);
    recordedBattles = battlesStarted;
    commandWatcher = recordCommand;
    writeText(header);
    if (!finishAtExit) std::atexit(finishRecording);
    finishAtExit = true;
    return true;
}

void finishRecording() {
    if (commandWatcher == recordCommand) commandWatcher = nullptr;
    if (recording < 0) return;
    noteNewBattle();
    char end[64];
    std::snprintf(end, sizeof end, "end %lld %08x\n", static_cast<long long>(battleTick), recordedHash);
    writeText(end);
    if (recording >= 0) close(recording);
    recording = -1;
}

void noteTick() {
    if (recording >= 0) noteNewBattle();
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
           played.entries[nextEntry].fromComputer) {
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
    return static_cast<int>(std::min<int64_t>(int64_t{due} * replaySpeed, played.endTick - battleTick));
}

void replayViewerKey(unsigned char key) {
    if (key == ' ') replayPaused = !replayPaused;
    if (key == 'g') replaySpeed = replaySpeed >= FASTEST_REPLAY ? 1 : replaySpeed * 2;
    if (!toldOver) showReplayState();
    if (key == 'q' || key == 'Q' || key == KEY_ESCAPE) std::exit(0);
}
