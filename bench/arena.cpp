// bench/arena.cpp — battles without a window between two ways of playing, to measure the computer
//
//   arena [--battles N] [--first-seed S] [--each K] [--map ROWSxCOLS|NAME|FILE | --maps] [--paced]
//         [--require P] [--decisive] [--show SEED [--as PLAYER]] [--replay-of SEED [--as PLAYER]] PAIRING...
//
// A pairing is two of easy, computer, hard, greedy, random and squad joined
// by a dash, e.g. computer-greedy (easy, computer and hard are the computer
// at its three levels). Each battle is the game's own: the map read from
// WorldDesc.txt in the working folder (with --map ROWSxCOLS, its terrain
// repeated to that size; with --map NAME or FILE, that map as the game's
// --map reads it; with --maps, that one and then every map under maps/, a
// quarter of the battles on a map wider than 20), K of each class a side
// placed by start-up, the hero choice,
// every key handed to the dispatcher and every frame run by idleUpdate at
// a fixed frame time. Every seed S, S + 1, … is played twice, the first
// strategy taking player 1 and then player 2, so N battles use N / 2 seeds;
// --show SEED plays one again with the game's console lines on the screen;
// --replay-of SEED plays it as the game's window does, tick by tick, and
// writes its replay, which `kestrava --replay` plays back.
//
// By default keys come as fast as the frames (30 a second). With --paced
// every key keeps its player's pace, frames come 60 a second and the banners
// time out as the game's frame clock moves them, a computer's turn runs
// faster as the game's window runs it (computerTurnSpeed), and the table
// gives how long the first strategy's turns take, as a person watching would wait.
//
// A battle still going after 200 turns is a draw; one that crashes, or
// whose turn never ends, fails the run, and so does a first strategy that
// wins less than P % of a pairing's battles; with --decisive, a draw too.
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "ai/computer.h"
#include "ai/planner.h"
#include "app/battle_clock.h"
#include "app/input.h"
#include "app/replay.h"
#include "bench/battle_setup.h"
#include "game/startup.h"
#include "render/frame_clock.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/movement.h"
#include "rules/window_link.h"
#include "save/battle_save.h"

// No window here: the rules' requests to it go nowhere.
void requestRedisplay() {}
void reapplyProjection() {}
void setLighting(bool) {}
void applyMaterial(const MaterialPreset&) {}

namespace {

constexpr int   FAST_FPS = 30, PACED_FPS = 60;
constexpr int   TURN_LIMIT = 200;               // a battle still going after these is a draw
constexpr long  FRAMES_PER_TURN_LIMIT = 400000; // nearly two hours of play: a turn that never ends

struct Result {
    int    winner = 0;        // 1 or 2, 0 for a draw, -1 for a turn that never ended
    int    turns = 0;
    // The first strategy's:
    long   decisions = 0;
    double totalSeconds = 0, worstSeconds = 0;
    int    ownTurns = 0;
    double turnSeconds = 0, worstTurn = 0;        // game time from the turn's start to its hand-over
    double bannerSeconds = 0;                     // of which a banner covered the board,
    double stepSeconds = 0, blowSeconds = 0;      // a step glided, a blow or heal played,
    double keySeconds = 0;                        // and the rest: keys awaited, the cursor travelling
    double worstWatched = 0;                      // the longest turn less its banners
    int    steps = 0, undone = 0;                 // steps, and steps back onto a square left this turn
    int    moves = 0, dearer = 0;                 // units that walked in a turn, and those that paid more than the
                                                  // cheapest way
};

struct Pairing {
    std::string first, second;
    int commanders[2];
    int levels[2];
};

struct Options {
    int battles = 200, eachClass = 2, require = 0, rows = 0, cols = 0;
    unsigned firstSeed = 1;
    bool paced = false, decisive = false, everyMap = false;
    std::string mapFile;   // --map NAME or FILE
    long show = -1, replayOf = -1;
    int showAs = 1;
};
Options options;

// Each way of playing: who presses the keys, and the computer's level.
const struct Strategy {
    const char* name;
    int commander, level;
} STRATEGIES[] = {
    {"easy", BY_COMPUTER, LEVEL_EASY},   {"computer", BY_COMPUTER, LEVEL_NORMAL}, {"hard", BY_COMPUTER, LEVEL_HARD},
    {"greedy", BY_GREEDY, LEVEL_NORMAL}, {"random", BY_RANDOM, LEVEL_NORMAL},     {"squad", BY_SQUAD, LEVEL_NORMAL},
};

const Strategy* strategyNamed(const std::string& name) {
    for (const Strategy& strategy : STRATEGIES)
        if (name == strategy.name) return &strategy;
    return nullptr;
}

// One drawn frame, as the window runs it: the idle callback (the rules'
// update, then the computer's key), then what the frame's drawing does to
// the rules: the swoop counts its drawn frames, the hero pick is confirmed,
// and (paced) the frame clock moves the banners on.
void frame(long number) {
    const int fps = options.paced ? PACED_FPS : FAST_FPS;
    if (!options.paced) frameSeconds = 1.0f / fps;
    idleUpdate();
    if (int key = computerTick(1.0f / fps)) dispatch(computerKey(key));
    if (attackAnimating && selectedUnit->menuOpen && selectedUnit->unitClass == CLASS_FLIER) lungeEffect.drawCount++;
    checkHeroChoice();
    if (options.paced) tickFrameClock(static_cast<uint32_t>((number + 1) * 1000 / fps));
}

// How the first strategy's units walk: a step back onto a square left in
// the same turn, and a unit that paid more for its way than the cheapest
// way from where its first step started (the board as it stood then).
struct Walks {
    struct Walk {
        const Unit* unit;
        int paid;
        std::vector<int> cheapest;   // from where the unit started, by row × MAP_LIMIT + column
        std::set<int> left;
    };
    std::vector<Walk> walks;
    std::vector<std::pair<int, int>> squares;   // by index in allUnits: where each stood at the last look

    void beginTurn() {
        walks.clear();
        squares.clear();
        for (const Unit* unit : allUnits) squares.emplace_back(unit->row, unit->col);
    }
    void noteFrame(int player, Result& result) {
        for (size_t i = 0; i < allUnits.size() && i < squares.size(); i++) {
            const Unit& unit = *allUnits[i];
            auto [row, col] = squares[i];
            if (unit.player != player || (unit.row == row && unit.col == col)) continue;
            auto walk = std::find_if(walks.begin(), walks.end(), [&unit](const Walk& w) { return w.unit == &unit; });
            if (walk == walks.end()) walk = walks.insert(walks.end(), Walk{&unit, 0, cheapestFrom(unit, row, col), {}});
            result.steps++;
            if (walk->left.count(unit.row * MAP_LIMIT + unit.col)) result.undone++;
            walk->left.insert(row * MAP_LIMIT + col);
            walk->paid += stepCost(unit, unit.row, unit.col);
            squares[i] = {unit.row, unit.col};
        }
    }
    void endTurn(Result& result) {
        for (const Walk& walk : walks) {
            result.moves++;
            result.dearer += walk.paid > walk.cheapest[walk.unit->row * MAP_LIMIT + walk.unit->col];
        }
        walks.clear();
    }
    // Every square's cheapest cost from (row, col), which the unit has just
    // stepped off: the board as it was before that step.
    static std::vector<int> cheapestFrom(const Unit& unit, int row, int col) {
        static int cost[MAP_LIMIT][MAP_LIMIT];
        Unit before = unit;
        before.row = row;
        before.col = col;
        int& now = battleMap[unit.row][unit.col].occupant;
        int& then = battleMap[row][col].occupant;
        std::swap(now, then);
        movementCosts(before, cost);
        std::swap(now, then);
        return std::vector<int>(&cost[0][0], &cost[0][0] + MAP_LIMIT * MAP_LIMIT);
    }
};

// --show: the board as a turn begins, a letter a unit (player 1's in
// capitals, a star after the hero, x a fallen unit), then each living unit's
// hit points and square, so that a lost battle can be read turn by turn.
void printBoard(int turn) {
    std::printf("turn %d, player %d to play\n", turn, currentPlayer);
    for (int r = 0; r < mapRows; r++) {
        std::string line;
        for (int c = 0; c < mapCols; c++) {
            int id = battleMap[r][c].occupant;
            const Unit* unit = nullptr;
            for (const Unit* u : allUnits)
                if (u->id == id) unit = u;
            char mark = '.';
            if (unit) mark = unit->dead ? 'x' : "?afwhm"[unit->unitClass];
            if (unit && !unit->dead && unit->player == 1) mark = static_cast<char>(mark - 'a' + 'A');
            line += mark;
            line += unit && unit->hero ? '*' : ' ';
        }
        std::printf("  %s\n", line.c_str());
    }
    for (const Unit* u : allUnits)
        if (!u->dead) std::printf("%s%c%d:%d@%d,%d", u->hero ? " *" : " ", "?afwhm"[u->unitClass], u->player, u->hp, u->row, u->col);
    std::printf("\n");
}

// The pairing's two ways of playing, the first taking player 1 or player 2.
void takeSides(const Pairing& p, bool firstIsPlayerOne) {
    for (int k = 0; k < 2; k++) {
        const int player = (k == 0) == firstIsPlayerOne ? 1 : 2;
        commander[player] = p.commanders[k];
        computerLevel[player] = p.levels[k];
    }
}

Result playBattle(unsigned seed, const Pairing& pairing, int firstPlayer) {
    seedRandom(seed);
    randomPlayDraws.seed(seed);
    bench::makeStartupPlaceholders();
    ArmyCounts counts;
    counts.fill(options.eachClass);
    placeArmies(counts);
    takeSides(pairing, firstPlayer == 1);
    computerPace = options.paced ? DEFAULT_COMPUTER_PACE : 0;

    Result result;
    int turnOf = 0;
    long framesThisTurn = 0, turnFrames = 0, bannerFrames = 0, stepFrames = 0, blowFrames = 0;
    const double frameTime = 1.0 / (options.paced ? PACED_FPS : FAST_FPS);
    Walks walks;
    auto closeTurn = [&]() {
        if (turnOf != firstPlayer) return;
        walks.endTurn(result);
        result.ownTurns++;
        double seconds = turnFrames * frameTime, banners = bannerFrames * frameTime;
        result.turnSeconds += seconds;
        result.bannerSeconds += banners;
        result.stepSeconds += stepFrames * frameTime;
        result.blowSeconds += blowFrames * frameTime;
        result.keySeconds += (turnFrames - bannerFrames - stepFrames - blowFrames) * frameTime;
        result.worstTurn = std::max(result.worstTurn, seconds);
        result.worstWatched = std::max(result.worstWatched, seconds - banners);
    };
    long ticks = 0;
    while (!bannerP1Wins && !bannerP2Wins) {
        // Paced, a frame runs as many ticks as the game's window runs while the computer plays.
        const int speed = options.paced ? computerTurnSpeed() : 1;
        for (int tick = 0; tick < speed && !battleWon(); tick++) frame(ticks++);
        if (!choosingHeroes && currentPlayer != turnOf) {
            closeTurn();
            turnOf = currentPlayer;
            framesThisTurn = turnFrames = bannerFrames = stepFrames = blowFrames = 0;
            if (turnOf == firstPlayer) walks.beginTurn();
            if (options.show >= 0) printBoard(result.turns + 1);
            if (++result.turns > TURN_LIMIT) {
                result.turns = TURN_LIMIT;
                break;
            }
        }
        turnFrames++;
        bool banner = bannerUp();
        bannerFrames += banner;
        stepFrames += !banner && moveAnimating;
        blowFrames += !banner && !moveAnimating && attackAnimating;
        if (turnOf == firstPlayer) walks.noteFrame(firstPlayer, result);
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

// The battle of a seed as the game's window plays it, tick by tick (the
// computers at the arena's pace), recorded as the game records one; the end
// line is written at exit. The replay starts the game as start-up would: ten
// army counts given, the map's text as its file.
int writeReplayOf(unsigned seed, const Pairing& pairing, int firstPlayer, const std::string& mapText,
                  const ArmyCounts& counts) {
    const std::string path = "arena-" + std::to_string(seed) + ".kreplay";
    Replay start;
    start.seed = battleSeed = seed;
    start.given = ARMY_COUNTS;
    std::copy(counts.begin(), counts.end(), start.counts.begin());
    takeSides(pairing, firstPlayer == 1);
    for (int player = 1; player <= 2; player++) {
        start.sides[player] = commander[player];
        start.levels[player] = computerLevel[player];
    }
    start.map = mapText;
    computerPace = options.paced ? DEFAULT_COMPUTER_PACE : 0;
    keepingBattle = false;
    std::string problem;
    if (!startRecording(path.c_str(), start, problem)) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), problem.c_str());
        return 2;
    }
    {
        bench::SilencedOutput silenced;
        seedRandom(seed);
        randomPlayDraws.seed(seed);
        bench::makeStartupPlaceholders();
        placeArmies(counts);
        while (!battleWon() && battleTick < FRAMES_PER_TURN_LIMIT * TURN_LIMIT) runBattleTick(true);
    }
    std::printf("%s: the battle of seed %u, won by player %d at tick %lld\n", path.c_str(), seed,
                bannerP1Wins ? 1 : bannerP2Wins ? 2 : 0, static_cast<long long>(battleTick));
    return 0;
}

// In a child process, so that every battle starts from the state start-up
// leaves and a crash is one battle's, reported with its seed.
bool playApart(const Pairing& pairing, unsigned seed, bool firstIsPlayerOne, Result& result) {
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
        Result played = playBattle(seed, pairing, firstIsPlayerOne ? 1 : 2);
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
                 "usage: arena [--battles N] [--first-seed S] [--each K] [--map ROWSxCOLS|NAME|FILE | --maps]\n"
                 "             [--paced] [--require P] [--decisive] [--show SEED [--as PLAYER]]\n"
                 "             [--replay-of SEED [--as PLAYER]] PAIRING...\n"
                 "  PAIRING: two of easy, computer, hard, greedy, random, squad joined by '-', e.g. hard-squad\n");
    std::exit(2);
}

// What one pairing's battles add up to.
struct Tally {
    int battles = 0, winsAs[3] = {}, losses = 0, draws = 0, longest = 0;
    long turns = 0, decisions = 0;
    double total = 0, worst = 0;
    int ownTurns = 0;
    double turnSeconds = 0, worstTurn = 0, bannerSeconds = 0, worstWatched = 0;
    double stepSeconds = 0, blowSeconds = 0, keySeconds = 0;
    int steps = 0, undone = 0, moves = 0, dearer = 0;
    std::string drawSeeds;

    void add(const Result& r, int firstPlayer, unsigned seed) {
        battles++;
        if (r.winner == 0) {
            draws++;
            drawSeeds += " " + std::to_string(seed) + "/" + std::to_string(firstPlayer);
        } else if (r.winner == firstPlayer) {
            winsAs[firstPlayer]++;
        } else {
            losses++;
        }
        turns += r.turns;
        longest = std::max(longest, r.turns);
        decisions += r.decisions;
        total += r.totalSeconds;
        worst = std::max(worst, r.worstSeconds);
        ownTurns += r.ownTurns;
        turnSeconds += r.turnSeconds;
        bannerSeconds += r.bannerSeconds;
        stepSeconds += r.stepSeconds;
        blowSeconds += r.blowSeconds;
        keySeconds += r.keySeconds;
        worstTurn = std::max(worstTurn, r.worstTurn);
        worstWatched = std::max(worstWatched, r.worstWatched);
        steps += r.steps;
        undone += r.undone;
        moves += r.moves;
        dearer += r.dearer;
    }
};

// The maps to play on, each with the name its rows are printed under: the
// one --map names (WorldDesc.txt without it), then with --maps every map
// under maps/, by name.
std::vector<std::pair<std::string, std::string>> mapsToPlay() {
    std::vector<std::pair<std::string, std::string>> maps{
        {options.mapFile.empty() ? "default" : options.mapFile,
         options.mapFile.empty() ? "WorldDesc.txt" : options.mapFile}};
    if (!options.everyMap) return maps;
    std::vector<std::string> names;
    if (DIR* folder = opendir(MAPS_FOLDER)) {
        while (const dirent* entry = readdir(folder)) {
            const std::string file = entry->d_name;
            if (file.size() > 4 && file.compare(file.size() - 4, 4, ".txt") == 0)
                names.push_back(file.substr(0, file.size() - 4));
        }
        closedir(folder);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) maps.emplace_back(name, mapFileFor(name));
    return maps;
}

// Every pairing's battles on the map in play: its table rows; false when a
// battle crashed or stalled, or a pairing fell short of --require or --decisive.
bool playPairings(const std::vector<Pairing>& pairings, const std::string& mapName, int battles) {
    bool sound = true;
    for (const Pairing& p : pairings) {
        const std::string name = p.first + "-" + p.second;
        Tally t;
        for (int n = 0; n < battles; n++) {
            unsigned seed = options.firstSeed + n / 2;
            bool firstIsPlayerOne = n % 2 == 0;
            Result r;
            if (!playApart(p, seed, firstIsPlayerOne, r)) {
                std::printf("%s: battle of seed %u crashed\n", name.c_str(), seed);
                sound = false;
                continue;
            }
            if (r.winner < 0) {
                std::printf("%s: battle of seed %u stalled: a turn never ended\n", name.c_str(), seed);
                sound = false;
                continue;
            }
            t.add(r, firstIsPlayerOne ? 1 : 2, seed);
        }
        int wins = t.winsAs[1] + t.winsAs[2];
        if (options.everyMap) std::printf("%-14s ", mapName.c_str());
        std::printf("%-17s %7d %5d %5d %6d %5d %6.1f %7d %9.3f %8.3f", name.c_str(), t.battles, t.winsAs[1],
                    t.winsAs[2], t.losses, t.draws, t.battles ? static_cast<double>(t.turns) / t.battles : 0.0,
                    t.longest, t.decisions ? 1000 * t.total / t.decisions : 0.0, 1000 * t.worst);
        if (options.paced) {
            double turns = std::max(t.ownTurns, 1);
            std::printf(" %7.1f %7.1f %7.1f %6.1f %6.1f %6.1f %7.1f", t.turnSeconds / turns, t.worstTurn,
                        t.worstWatched, t.keySeconds / turns, t.stepSeconds / turns, t.blowSeconds / turns,
                        t.bannerSeconds / turns);
        }
        std::printf(" %4d/%-4d %4d/%-4d %s\n", t.undone, t.steps, t.dearer, t.moves, t.drawSeeds.c_str());
        std::fflush(stdout);
        if (options.decisive && t.draws > 0) {
            std::printf("%s: %d of %d battles ended without a victory\n", name.c_str(), t.draws, battles);
            sound = false;
        }
        if (wins * 100 < options.require * battles) {
            std::printf("%s: the first won %d of %d, below %d %%\n", name.c_str(), wins, battles, options.require);
            sound = false;
        }
    }
    return sound;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Pairing> pairings;
    for (int k = 1; k < argc; k++) {
        std::string arg = argv[k];
        bool valued = k + 1 < argc;
        if (arg == "--battles" && valued) options.battles = std::atoi(argv[++k]);
        else if (arg == "--first-seed" && valued) options.firstSeed = std::strtoul(argv[++k], nullptr, 10);
        else if (arg == "--each" && valued) options.eachClass = std::atoi(argv[++k]);
        else if (arg == "--require" && valued) options.require = std::atoi(argv[++k]);
        else if (arg == "--show" && valued) options.show = std::strtol(argv[++k], nullptr, 10);
        else if (arg == "--replay-of" && valued) options.replayOf = std::strtol(argv[++k], nullptr, 10);
        else if (arg == "--as" && valued) options.showAs = std::atoi(argv[++k]);
        else if (arg == "--paced") options.paced = true;
        else if (arg == "--decisive") options.decisive = true;
        else if (arg == "--maps") options.everyMap = true;
        else if (arg == "--map" && valued) {
            char rest = 0;
            if (std::sscanf(argv[++k], "%dx%d%c", &options.rows, &options.cols, &rest) != 2) {
                options.rows = options.cols = 0;
                options.mapFile = mapFileFor(argv[k]);
            }
        } else {
            size_t dash = arg.find('-');
            if (dash == std::string::npos) usage();
            Pairing p{arg.substr(0, dash), arg.substr(dash + 1), {}, {}};
            const Strategy* first = strategyNamed(p.first);
            const Strategy* second = strategyNamed(p.second);
            if (!first || !second) usage();
            p.commanders[0] = first->commander;
            p.commanders[1] = second->commander;
            p.levels[0] = first->level;
            p.levels[1] = second->level;
            pairings.push_back(p);
        }
    }
    if (pairings.empty() || options.battles < 1 || (options.showAs != 1 && options.showAs != 2)) usage();
    if (options.everyMap && (options.rows > 0 || options.show >= 0 || options.replayOf >= 0)) usage();

    bool sound = true;
    bool first = true;
    for (const auto& [mapName, mapFile] : mapsToPlay()) {
        std::string mapText;
        {
            bench::SilencedOutput silenced;
            mapText = bench::readTextFile(mapFile);
            if (options.rows > 0) mapText = bench::tiledMapText(bench::terrainRows(mapText), options.rows, options.cols);
            if (!bench::readsAsMap(mapText)) {
                std::fprintf(stderr, "%s does not read as a map\n", mapFile.c_str());
                return 2;
            }
            bench::loadMapText(mapText);
        }
        ArmyCounts counts;
        counts.fill(options.eachClass);
        if (!armiesFit(counts)) {
            std::fprintf(stderr, "%d of each class a side does not fit on %s\n", options.eachClass, mapName.c_str());
            return 2;
        }

        if (options.replayOf >= 0)
            return writeReplayOf(static_cast<unsigned>(options.replayOf), pairings[0], options.showAs, mapText, counts);
        if (options.show >= 0) {
            Result r = playBattle(static_cast<unsigned>(options.show), pairings[0], options.showAs);
            std::printf("winner %d after %d turns\n", r.winner, r.turns);
            return 0;
        }

        if (first) {
            if (options.everyMap) std::printf("%-14s ", "map");
            std::printf("%-17s %7s %5s %5s %6s %5s %6s %7s %9s %8s", "pairing", "battles", "as 1", "as 2", "losses",
                        "draws", "turns", "longest", "ms/decide", "worst ms");
            if (options.paced)
                std::printf(" %7s %7s %7s %6s %6s %6s %7s", "turn s", "worst s", "watched", "keys", "steps", "blows",
                            "banners");
            std::printf(" %9s %9s  %s\n", "undone", "dearer", "draws at seed/side");
            first = false;
        }
        // A wide map's battles last longer: a quarter as many there.
        const int battles = options.everyMap && mapCols > 20 ? std::max(2, options.battles / 4) : options.battles;
        sound = playPairings(pairings, mapName, battles) && sound;
    }
    return sound ? 0 : 1;
}
