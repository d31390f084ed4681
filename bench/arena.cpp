// bench/arena.cpp — battles without a window between two ways of playing, to measure the computer
//
//   arena [--battles N] [--first-seed S] [--each K] [--require P] [--show SEED] PAIRING...
//
// A pairing is two of computer, greedy and random joined by a dash, e.g.
// computer-greedy; the first takes player 1 in even battles and player 2 in
// odd ones. Each battle is the game's own: the map read from WorldDesc.txt in
// the working folder, K of each class a side placed by start-up, the hero
// choice, every key handed to the dispatcher and every frame run by
// idleUpdate at a fixed frame time. Battle n of a pairing is seeded with
// S + n, so each can be played again alone: --show SEED plays that one with
// the game's console lines on the screen. A battle still going after 200
// turns is a draw; one that crashes, or whose turn never ends, fails the run,
// and so does a first strategy that wins less than P % of a pairing's battles.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ai/computer.h"
#include "ai/planner.h"
#include "app/input.h"
#include "bench/battle_setup.h"
#include "game/startup.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/window_link.h"

// No window here: the rules' requests to it go nowhere.
void requestRedisplay() {}
void reapplyProjection() {}
void setLighting(bool) {}
void applyMaterial(const MaterialPreset&) {}

namespace {

constexpr float FRAME_SECONDS = 1 / 30.0f;
constexpr int   TURN_LIMIT = 200;              // a battle still going after these is a draw
constexpr long  FRAMES_PER_TURN_LIMIT = 200000; // about 1 h 50 min of play: a turn that never ends

struct Result {
    int    winner = 0;        // 1 or 2, 0 for a draw, -1 for a turn that never ended
    int    turns = 0;
    long   decisions = 0;     // the first strategy's
    double totalSeconds = 0, worstSeconds = 0;
};

struct Pairing {
    std::string first, second;
    int commanders[2];
};

int commanderNamed(const std::string& name) {
    if (name == "computer") return BY_COMPUTER;
    if (name == "greedy") return BY_GREEDY;
    if (name == "random") return BY_RANDOM;
    return BY_PERSON;
}

// One drawn frame, as the window runs it: the idle callback (the rules'
// update, then the computer's key), then what the frame's drawing does to
// the rules: the swoop counts its drawn frames, and the hero pick is confirmed.
void frame() {
    frameSeconds = FRAME_SECONDS;
    idleUpdate();
    if (int key = computerTick(FRAME_SECONDS)) dispatch(computerKey(key));
    if (attackAnimating && selectedUnit->menuOpen && selectedUnit->unitClass == CLASS_FLIER) lungeEffect.drawCount++;
    checkHeroChoice();
}

Result playBattle(int eachClass, unsigned seed, int playerOne, int playerTwo, int firstPlayer) {
    seedRandom(seed);
    randomPlayDraws.seed(seed);
    bench::makeStartupPlaceholders();
    ArmyCounts counts;
    counts.fill(eachClass);
    placeArmies(counts);
    commander[1] = playerOne;
    commander[2] = playerTwo;
    computerPace = 0;

    Result result;
    int turnOf = 0;
    long framesThisTurn = 0;
    while (!bannerP1Wins && !bannerP2Wins) {
        frame();
        if (!choosingHeroes && currentPlayer != turnOf) {
            turnOf = currentPlayer;
            framesThisTurn = 0;
            if (++result.turns > TURN_LIMIT) {
                result.turns = TURN_LIMIT;
                break;
            }
        }
        if (++framesThisTurn > FRAMES_PER_TURN_LIMIT) {
            result.winner = -1;
            break;
        }
    }
    if (bannerP1Wins) result.winner = 1;
    if (bannerP2Wins) result.winner = 2;
    const DecisionClock& clock = decisionClock[firstPlayer];
    result.decisions = clock.decisions;
    result.totalSeconds = clock.totalSeconds;
    result.worstSeconds = clock.worstSeconds;
    return result;
}

// In a child process, so that every battle starts from the state start-up
// leaves and a crash is one battle's, reported with its seed.
bool playApart(const Pairing& pairing, int eachClass, unsigned seed, bool firstIsPlayerOne, Result& result) {
    std::fflush(stdout);   // the child must not print the parent's lines again
    int channel[2];
    if (pipe(channel) != 0) {
        std::perror("pipe");
        std::exit(2);
    }
    pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        bench::SilencedOutput silenced;
        int one = firstIsPlayerOne ? pairing.commanders[0] : pairing.commanders[1];
        int two = firstIsPlayerOne ? pairing.commanders[1] : pairing.commanders[0];
        Result played = playBattle(eachClass, seed, one, two, firstIsPlayerOne ? 1 : 2);
        bool sent = write(channel[1], &played, sizeof played) == static_cast<ssize_t>(sizeof played);
        _exit(sent ? 0 : 1);
    }
    close(channel[1]);
    bool received = read(channel[0], &result, sizeof result) == static_cast<ssize_t>(sizeof result);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return received && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void usage() {
    std::fprintf(stderr,
                 "usage: arena [--battles N] [--first-seed S] [--each K] [--require P] [--show SEED] PAIRING...\n"
                 "  PAIRING: two of computer, greedy, random joined by '-', e.g. computer-greedy\n");
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    int battles = 200, eachClass = 2, require = 0;
    unsigned firstSeed = 1;
    long show = -1;
    std::vector<Pairing> pairings;
    for (int k = 1; k < argc; k++) {
        std::string arg = argv[k];
        bool valued = k + 1 < argc;
        if (arg == "--battles" && valued) battles = std::atoi(argv[++k]);
        else if (arg == "--first-seed" && valued) firstSeed = std::strtoul(argv[++k], nullptr, 10);
        else if (arg == "--each" && valued) eachClass = std::atoi(argv[++k]);
        else if (arg == "--require" && valued) require = std::atoi(argv[++k]);
        else if (arg == "--show" && valued) show = std::strtol(argv[++k], nullptr, 10);
        else {
            size_t dash = arg.find('-');
            if (dash == std::string::npos) usage();
            Pairing p{arg.substr(0, dash), arg.substr(dash + 1), {}};
            p.commanders[0] = commanderNamed(p.first);
            p.commanders[1] = commanderNamed(p.second);
            if (p.commanders[0] == BY_PERSON || p.commanders[1] == BY_PERSON) usage();
            pairings.push_back(p);
        }
    }
    if (pairings.empty() || battles < 1) usage();

    {
        bench::SilencedOutput silenced;
        bench::loadMapText(bench::readTextFile("WorldDesc.txt"));
    }
    ArmyCounts counts;
    counts.fill(eachClass);
    if (!armiesFit(counts)) {
        std::fprintf(stderr, "%d of each class a side does not fit on the map\n", eachClass);
        return 2;
    }

    if (show >= 0) {
        // The first pairing, its first strategy on the side the seed's battle gives it.
        const Pairing& p = pairings[0];
        bool firstIsPlayerOne = (show - firstSeed) % 2 == 0;
        Result r = playBattle(eachClass, static_cast<unsigned>(show), p.commanders[firstIsPlayerOne ? 0 : 1],
                              p.commanders[firstIsPlayerOne ? 1 : 0], firstIsPlayerOne ? 1 : 2);
        std::printf("winner %d after %d turns\n", r.winner, r.turns);
        return 0;
    }

    bool sound = true;
    std::printf("%-18s %7s %6s %6s %6s %10s %12s %12s  %s\n", "pairing", "battles", "wins", "losses", "draws",
                "mean turns", "ms/decision", "worst ms", "draws at seed");
    for (const Pairing& p : pairings) {
        const std::string name = p.first + "-" + p.second;
        int wins = 0, losses = 0, draws = 0;
        long turns = 0, decisions = 0;
        double total = 0, worst = 0;
        std::string drawSeeds;
        for (int n = 0; n < battles; n++) {
            unsigned seed = firstSeed + n;
            bool firstIsPlayerOne = n % 2 == 0;
            Result r;
            if (!playApart(p, eachClass, seed, firstIsPlayerOne, r)) {
                std::printf("%s: battle of seed %u crashed\n", name.c_str(), seed);
                sound = false;
                continue;
            }
            if (r.winner < 0) {
                std::printf("%s: battle of seed %u stalled: a turn never ended\n", name.c_str(), seed);
                sound = false;
                continue;
            }
            int firstPlayer = firstIsPlayerOne ? 1 : 2;
            if (r.winner == 0) {
                draws++;
                drawSeeds += " " + std::to_string(seed);
            } else if (r.winner == firstPlayer) {
                wins++;
            } else {
                losses++;
            }
            turns += r.turns;
            decisions += r.decisions;
            total += r.totalSeconds;
            if (r.worstSeconds > worst) worst = r.worstSeconds;
        }
        std::printf("%-18s %7d %6d %6d %6d %10.1f %12.3f %12.3f %s\n", name.c_str(), battles,
                    wins, losses, draws, static_cast<double>(turns) / battles,
                    decisions ? 1000 * total / decisions : 0.0, 1000 * worst, drawSeeds.c_str());
        std::fflush(stdout);
        if (wins * 100 < require * battles) {
            std::printf("%s: the first won %d of %d, below %d %%\n", name.c_str(), wins, battles, require);
            sound = false;
        }
    }
    return sound ? 0 : 1;
}
