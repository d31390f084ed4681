// app/net_play.cpp — a server without a window, a host that forks one and joins it, a joiner's window
#include "app/net_play.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "ai/computer.h"
#include "app/battle_clock.h"
#include "app/camera.h"
#include "app/input.h"
#include "app/net_client.h"
#include "app/net_server.h"
#include "app/options.h"
#include "app/window.h"
#include "game/battle_map.h"
#include "game/startup.h"
#include "render/frame_clock.h"
#include "rules/feedback.h"
#include "rules/game_state.h"
#include "rules/window_link.h"
#include "save/battle_save.h"

namespace {

volatile std::sig_atomic_t stopAsked = 0;
bool joined = false;
int joinedTicks = 0;       // ticks this window has run, for its own frame clock
int toldWaiting = 0;       // the players the console last said were waited for
pid_t serverChild = 0;
// KESTRAVA_NET_LATENCY: the window says on standard error when it sends a
// key and in which frame the cursor, the menu or the turn it shows changed, with the
// monotonic clock's milliseconds, which every process on the machine shares.
bool latencyLog = false;
int framesTaken = 0;

long long monotonicMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch()).count();
}

void sendAndLog(const Command& command) {
    sendCommand(command);
    if (latencyLog) std::fprintf(stderr, "net: key sent at %lld ms, after frame %d\n", monotonicMs(), framesTaken);
}

int portOf(const StartOptions& options) { return options.port ? std::atoi(options.port) : NET_DEFAULT_PORT; }

// How long a joiner may be silent: KESTRAVA_NET_SILENCE seconds, or the default.
float silenceSetting() {
    const char* setting = std::getenv("KESTRAVA_NET_SILENCE");
    const float seconds = setting ? std::strtof(setting, nullptr) : 0;
    return seconds > 0 ? seconds : ServerSettings().silenceSeconds;
}

ServerSettings settingsFor(const StartOptions& options) {
    ServerSettings settings;
    settings.port = portOf(options);
    settings.silenceSeconds = silenceSetting();
    for (int side = 1; side <= 2; side++) settings.seatOpen[side] = commander[side] == BY_PERSON;
    return settings;
}

// The battle's ticks at their fixed rate, the network serviced in between:
// a joiner's command is taken the moment it comes, and what it changed is
// sent at once. Until told to stop, or the host's own window has left.
int runServer(const char* endLine) {
    using Clock = std::chrono::steady_clock;
    auto signalled = [](int) { stopAsked = 1; };
    std::signal(SIGINT, signalled);
    std::signal(SIGTERM, signalled);
    std::signal(SIGPIPE, SIG_IGN);
    auto nanoseconds = [] { return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count(); };
    auto next = Clock::now();
    while (!stopAsked && !hostWindowLeft()) {
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
        serviceServer(wait > 0 ? static_cast<int>(wait) : 0);
        sendViews();
        if (Clock::now() < next) continue;
        next += std::chrono::nanoseconds(1000000000 / TICKS_PER_SECOND);
        for (int ticks = ticksForFrame(nanoseconds()); ticks > 0; ticks--) runBattleTick(false);
        sendViews();
        if (next < Clock::now()) next = Clock::now();
    }
    stopServer(hostWindowLeft() ? "The host has quit the game." : endLine);
    std::printf("%s\n", hostWindowLeft() ? "The host has quit the game." : endLine);
    return 0;
}

void claimOrSay() {
    std::string claim;
    if (!claimSaveFolder(SAVE_FILE, claim)) std::printf("%s\n", claim.c_str());
}

void leaveAtExit() {
    leaveGame();
    if (serverChild > 0) {
        // The host's server hears the window go and tells the joiner; a moment to do so.
        for (int tries = 0; tries < 40 && waitpid(serverChild, nullptr, WNOHANG) == 0; tries++)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

int openJoinedWindow(int argc, char** argv) {
    takeUpJoinedMap();
    showView(joinedView, joinedWelcome.side);   // nothing yet: no unit, nothing selected
    homeCamera(joinedWelcome.side);
    joined = true;
    battleCommandsTo = sendAndLog;
    latencyLog = std::getenv("KESTRAVA_NET_LATENCY") != nullptr;
    std::atexit(leaveAtExit);
    std::printf("Joined the battle as player %d.\n", joinedWelcome.side);
    openWindow(argc, argv);
    return 0;
}

}  // namespace

int serveBattle(const StartOptions& options, const std::function<bool()>& record) {
    ServerSettings settings = settingsFor(options);
    std::string problem;
    if (!startServer(settings, problem)) {
        std::printf("Cannot serve the battle: %s.\n", problem.c_str());
        return 1;
    }
    claimOrSay();
    if (!record()) return 1;
    std::printf("Serving the battle on UDP port %d.\n", serverPort());
    return runServer("The server has stopped the game.");
}

int hostBattle(const StartOptions& options, const std::function<bool()>& record, int argc, char** argv) {
    ServerSettings settings = settingsFor(options);
    std::random_device entropy;
    const uint32_t key = (static_cast<uint32_t>(entropy()) | 1);
    settings.seatKey[1] = key;
    std::string problem;
    if (!startServer(settings, problem)) {
        std::printf("Cannot host the battle: %s.\n", problem.c_str());
        return 1;
    }
    const int port = serverPort();
    std::fflush(stdout);
    const pid_t window = getpid();
    serverChild = fork();
    if (serverChild < 0) {
        std::printf("Cannot host the battle: no process for its server.\n");
        return 1;
    }
    if (serverChild == 0) {
        // The server ends with the window, however the window ends.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != window) std::_Exit(0);
        claimOrSay();
        if (!record()) std::_Exit(1);
        std::printf("Hosting the battle on UDP port %d: player 2 joins with --join.\n", port);
        std::exit(runServer("The host has quit the game."));
    }
    forgetServer();
    Hello hello;
    hello.seatKey = key;
    std::string line;
    if (!joinGame("127.0.0.1", port, hello, 5, line)) {
        std::printf("%s\n", line.c_str());
        kill(serverChild, SIGTERM);
        return 1;
    }
    return openJoinedWindow(argc, argv);
}

int joinBattle(const StartOptions& options, int argc, char** argv) {
    std::string hostName;
    int port = 0;
    if (!splitAddress(options.join, hostName, port)) {
        std::printf("--join takes HOST or HOST:PORT, with a port from 1 to 65535.\n");
        return 1;
    }
    Hello hello;
    if (options.side) {
        const std::string side = options.side;
        if (side != "1" && side != "2") {
            std::printf("--side takes the player to command: 1 or 2.\n");
            return 1;
        }
        hello.side = side[0] - '0';
    }
    if (options.map) {
        mapFile = mapFileFor(options.map);
        readMapSize();
        readMapTerrain();
        hello.mapDigest = mapDigest(mapRows, mapCols, terrainInPlay());
    }
    const int given = argc - options.firstArgument;
    if (given >= NET_ARMY_COUNTS) {
        hello.armiesGiven = true;
        for (int k = 0; k < NET_ARMY_COUNTS; k++) hello.counts[k] = countFromText(argv[options.firstArgument + k]);
    }
    std::string line;
    if (!joinGame(hostName, port, hello, 10, line)) {
        std::printf("%s\n", line.c_str());
        return 1;
    }
    return openJoinedWindow(1, argv);
}

bool inJoinedGame() { return joined; }

void playJoinedTicks(int ticks) {
    // Ready once the first frame is drawn, the slowest.
    if (framesTaken == 1) sendReady();
    std::string line;
    if (serviceJoin(line) == JOIN_OVER) {
        std::printf("%s\n", line.c_str());
        std::exit(line.rfind("The host", 0) == 0 || line.rfind("The server", 0) == 0 ? 0 : 1);
    }
    for (int tick = 0; tick < ticks; tick++) {
        for (Unit* unit : allUnits) {
            switch (unit->unitClass) {
                case CLASS_ARCHER: static_cast<Archer*>(unit)->animate(); break;
                case CLASS_FIGHTER: static_cast<Fighter*>(unit)->animate(); break;
                case CLASS_FLIER: static_cast<Flier*>(unit)->animate(); break;
                case CLASS_HEALER: static_cast<Healer*>(unit)->animate(); break;
                default: static_cast<Mage*>(unit)->animate(); break;
            }
        }
        joinedTicks++;
        tickFrameClock(static_cast<uint32_t>(int64_t{joinedTicks} * 1000 / TICKS_PER_SECOND), tick == 0);
    }
    // Taken up every frame: the frame clock moves banners on here, the host's view says where they are.
    static int shownCursor = -1;
    const BattleView& v = joinedView;
    const int cursor = ((v.cursorRow * MAP_LIMIT + v.cursorCol) * 8 + v.menuItem) * 4 + v.currentPlayer +
                       64 * MAP_LIMIT * MAP_LIMIT * (v.bannerP1BeginTurn + 2 * v.bannerP2BeginTurn + 4 * v.choosingHeroes);
    if (latencyLog && cursor != shownCursor)
        std::fprintf(stderr, "net: the cursor, menu or turn changed on screen at %lld ms, in frame %d\n", monotonicMs(),
                     framesTaken + 1);
    shownCursor = cursor;
    framesTaken++;
    showView(joinedView, joinedWelcome.side);
    pendingCues.insert(pendingCues.end(), joinedCues.begin(), joinedCues.end());
    joinedCues.clear();
    if (joinedView.waitingFor != toldWaiting) {
        toldWaiting = joinedView.waitingFor;
        if (toldWaiting) std::printf("%s\n", notice);
    }
    requestRedisplay();
}
