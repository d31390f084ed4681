// bench/frame_bench.cpp — frames per second of the game's own frame, and how much of it is the rules
//
// Opens the game's window with setUpWindow and draws a fixed number of frames
// exactly as the game's event loop would: the idle callback's wait for the
// frame to be due and idleUpdate, then one pass of GLUT's event processing,
// which calls onDisplay. Run it from the run folder (it needs
// images/ and, for the default and the largest battle, WorldDesc.txt) on a
// display.
//
//   frame_bench [default|largest|20x20|50x50] [--frames N] [--runs R] [--warm-up N] [--max-fps F]
//   frame_bench [default|largest|20x20|50x50] --dump FILE.ppm
//
// Frames come as fast as they can unless --max-fps caps them as the game
// does (KESTRAVA_MAX_FPS). Each camera is measured R times over N frames;
// the median run is reported. The default camera stands still, the turning
// one swings to and fro a little every frame, as under a dragging mouse.
// --dump instead draws a few frames of the whole-board camera on a fixed
// clock and writes the last one out, so that a change meant to make frames
// cheaper can be shown to leave every pixel as it was (cmp the two files).
// Timing the GL side apart from our own drawing code needs a profiler; with
// KESTRAVA_PERF_CTL and KESTRAVA_PERF_ACK naming perf's control fifos
// (perf record --control=fifo:CTL,ACK -D -1), sampling covers only the
// measured frames, not the set-up.
#include <GL/gl.h>
#include <GL/freeglut.h>
#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "app/camera.h"
#include "app/pacing.h"
#include "app/window.h"
#include "bench/battle_setup.h"
#include "game/battle_map.h"
#include "game/unit.h"
#include "render/frame_clock.h"
#include "rules/game_state.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned BATTLE_SEED = 7;

struct Battle {
    const char* name;
    int rows, cols;         // 0: the run folder's own WorldDesc.txt
    int eachClassPerSide;   // or all the home rows will hold
};

const Battle battles[] = {
    //  name       rows cols  each class
    {"default",    0,   0,    2},                        // 10 units a side
    {"largest",    0,   0,    bench::FULL_HOME_ROWS},    // three rows of units a side
    {"20x20",     20,  20,    6},                        // 30 units a side
    {"50x50",     50,  50,   30},                        // 150 units a side: every home square taken
};

struct Options {
    const Battle* battle = &battles[0];
    int frames = 300;
    int runs = 5;
    int warmUp = 30;   // llvmpipe compiles its shaders during the first frames
    int maxFps = 0;
    std::string dumpPath;
};

// Wall time says how fast the frames came; CPU time says how much work they
// were, and stays meaningful when other processes share the cores.
struct RunResult {
    double msPerFrame;      // wall clock
    double cpuMs;           // CPU of the whole process: our thread and the rasteriser's threads
    double mainThreadMs;    // CPU of the thread that runs the game's code and issues GL calls
    double idleUs;          // CPU of idleUpdate, microseconds
};

int framesDrawn = 0;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double cpuSeconds(clockid_t clock) {
    timespec now;
    clock_gettime(clock, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

// Stands in the display slot so that every frame is counted; the frame
// itself is the game's.
void countedDisplay() {
    onDisplay();
    framesDrawn++;
}

RunResult drawFrames(int frames, void (*eachFrame)() = nullptr) {
    framesDrawn = 0;
    double idleSeconds = 0;
    glFinish();
    const Clock::time_point start = Clock::now();
    const double processStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double threadStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    while (framesDrawn < frames) {
        if (eachFrame) eachFrame();
        waitForNextFrame();
        const double idleStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        idleUpdate();
        idleSeconds += cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - idleStart;
        glutMainLoopEvent();   // idleUpdate asked for a redisplay: this draws one frame
    }
    glFinish();
    const double wall = secondsSince(start);
    const double process = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;
    const double thread = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - threadStart;
    return {wall * 1000 / frames, process * 1000 / frames, thread * 1000 / frames, idleSeconds * 1e6 / frames};
}

// Each figure's own median: under load the slowest run is not slow everywhere.
RunResult medianRun(const std::vector<RunResult>& runs) {
    auto median = [&runs](double RunResult::*field) {
        std::vector<double> values;
        for (const RunResult& run : runs) values.push_back(run.*field);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    return {median(&RunResult::msPerFrame), median(&RunResult::cpuMs), median(&RunResult::mainThreadMs),
            median(&RunResult::idleUs)};
}

void defaultCamera() {
    interactionMode = MODE_FREE;
    resetCamera();
    cameraEye = Vector(6, 10, 13);
}

// 30 degrees either side of the default heading, there and back in 120 frames.
void turnCamera() {
    static int frame = 0;
    cameraYaw = -90 + 30 * std::sin(frame++ * 2 * 3.14159265f / 120);
}

// The perspective view from the free camera's current eye and angles, as the
// reshape handler sets it up.
struct ViewCheck {
    Vector eye, forward, right, up;
    float tanHalfHeight = 0.57735f;   // tan 30°: half of the 60° field of view
    float tanHalfWidth;

    ViewCheck() {
        Vector centre;
        aimFreeCamera(eye, centre);
        forward = normalize(centre - eye);
        right = normalize(cross(forward, Vector(0, 1, 0)));
        up = cross(right, forward);
        tanHalfWidth = tanHalfHeight * windowWidth / windowHeight;
    }

    bool sees(const Vector& point) const {
        const Vector to = point - eye;
        const float depth = dot(to, forward);
        if (depth < 0.2f || depth > 95) return false;   // well inside the near and far planes
        return std::fabs(dot(to, right)) <= depth * tanHalfWidth && std::fabs(dot(to, up)) <= depth * tanHalfHeight;
    }

    // Every corner of the board, and the same corners at the height of the models.
    bool seesBoard() const {
        const float margin = 0.5f;
        for (float x : {-margin, mapCols + margin})
            for (float z : {1 - margin, mapRows + 1 + margin})
                for (float y : {-0.5f, 1.0f})
                    if (!sees(Vector(x, y, z))) return false;
        return true;
    }

    int unitsSeen() const {
        int seen = 0;
        for (const Unit* unit : allUnits) seen += sees(unit->position + Vector(0, 0.5f, 0));
        return seen;
    }
};

bool wholeBoardShown = false;   // false: no camera shows all of it, and the one showing most units is used

// The free camera, facing the same way as the default one, placed as close
// to the middle of the board as it can be while the whole board stays in
// view. The eye has to stay a unit inside the sky box (its lid is at y = 25,
// its back wall where drawSkyboxAroundMap puts it), or the box would hide
// everything; with the 60° view and the far plane at 100 that leaves no room
// for a 50 × 50 board, and then the camera that sees the most units is taken.
// A player gets the same view with the mouse and the held camera keys.
void wholeBoardCamera() {
    defaultCamera();
    const Vector middle(mapCols / 2.0f, -0.5f, mapRows / 2.0f + 1);
    const float skyBackWall = (mapRows + 1 + mapCols) / 4.0f + (mapRows + 51) / 2.0f;
    struct Choice {
        bool board;
        int units;
        float distance;
        float pitch;
        Vector eye;
        bool betterThan(const Choice& other) const {
            if (board != other.board) return board;
            if (units != other.units) return units > other.units;
            return distance < other.distance;
        }
    };
    Choice best{false, -1, 0, 0, Vector()};
    for (int height = 2; height <= 24; height++)
        for (int pitch = -85; pitch <= -15; pitch++)
            for (float back = 0; middle.z + back < skyBackWall - 1; back += 0.5f) {
                cameraPitch = static_cast<float>(pitch);
                cameraEye = Vector(middle.x, static_cast<float>(height), middle.z + back);
                const ViewCheck view;
                Choice choice{view.seesBoard(), 0, length(cameraEye - middle), cameraPitch, cameraEye};
                if (best.board && !choice.board) continue;
                choice.units = choice.board ? static_cast<int>(allUnits.size()) : view.unitsSeen();
                if (choice.betterThan(best)) best = choice;
            }
    wholeBoardShown = best.board;
    cameraPitch = best.pitch;
    cameraEye = best.eye;
}

int unitsDrawn() {
    int drawn = 0;
    for (const Unit* unit : allUnits)
        if (!unit->dead && unit->visible && !outsideView(*unit)) drawn++;
    return drawn;
}

// perf's control fifos, when the benchmark runs under perf record --control.
void tellProfiler(const char* command) {
    const char* control = std::getenv("KESTRAVA_PERF_CTL");
    const char* ack = std::getenv("KESTRAVA_PERF_ACK");
    if (!control || !ack) return;
    FILE* out = std::fopen(control, "w");
    FILE* in = std::fopen(ack, "r");
    if (!out || !in) {
        std::fprintf(stderr, "cannot open the perf control fifos\n");
        std::exit(2);
    }
    std::fprintf(out, "%s\n", command);
    std::fclose(out);
    char reply[16] = "";
    if (!std::fgets(reply, sizeof reply, in) || std::strncmp(reply, "ack", 3) != 0) {
        std::fprintf(stderr, "perf did not acknowledge %s\n", command);
        std::exit(2);
    }
    std::fclose(in);
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--frames" && hasValue)
            options.frames = std::atoi(argv[++i]);
        else if (arg == "--runs" && hasValue)
            options.runs = std::atoi(argv[++i]);
        else if (arg == "--warm-up" && hasValue)
            options.warmUp = std::atoi(argv[++i]);
        else if (arg == "--max-fps" && hasValue)
            options.maxFps = std::atoi(argv[++i]);
        else if (arg == "--dump" && hasValue)
            options.dumpPath = argv[++i];
        else {
            const Battle* found = nullptr;
            for (const Battle& battle : battles)
                if (arg == battle.name) found = &battle;
            if (!found) {
                std::fprintf(stderr, "usage: frame_bench [default|largest|20x20|50x50] [--frames N] [--runs R] "
                                     "[--warm-up N] [--max-fps F] [--dump FILE.ppm]\n");
                std::exit(2);
            }
            options.battle = found;
        }
    }
    if (options.frames < 1 || options.runs < 1 || options.warmUp < 0 || options.maxFps < 0) {
        std::fprintf(stderr, "frames and runs must be at least 1, the warm-up and the cap at least 0\n");
        std::exit(2);
    }
    return options;
}

// GL unloads its driver at exit, before the leak checker of a sanitizer build
// looks; the driver's allocations would then come from an unnamed module that
// the suppressions cannot match. Pinned, the driver keeps its name.
int pinDriver(dl_phdr_info* module, size_t, void*) {
    if (std::strstr(module->dlpi_name, "_dri.so") || std::strstr(module->dlpi_name, "libLLVM"))
        dlopen(module->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

// Pumps GLUT's events until the full-screen reshape has arrived; a minute is
// far more than any display needs.
bool waitForFullScreen(int width, int height) {
    const Clock::time_point start = Clock::now();
    while (windowWidth != width || windowHeight != height) {
        if (secondsSince(start) > 60) return false;
        glutMainLoopEvent();
    }
    return true;
}

// 20 ms a frame from a fixed start: the blinking cursor, the HUD's counts and
// the idle animations then come out the same on every run.
uint32_t fixedMilliseconds = 0;

uint32_t fixedTicks() {
    return fixedMilliseconds += 20;
}

constexpr int DUMP_FRAMES = 40;

bool dumpFrame(const std::string& path) {
    tickSource = fixedTicks;
    fixedMilliseconds = 100000;
    resetFrameClock();
    wholeBoardCamera();
    drawFrames(DUMP_FRAMES);
    std::vector<unsigned char> pixels(static_cast<size_t>(windowWidth) * windowHeight * 3);
    // Mesa's software path keeps the back buffer after the swap; its front buffer reads back black.
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", windowWidth, windowHeight);
    const size_t rowBytes = static_cast<size_t>(windowWidth) * 3;
    for (int row = windowHeight - 1; row >= 0; row--)   // GL's rows run bottom-up, the file's top-down
        std::fwrite(pixels.data() + row * rowBytes, 1, rowBytes, file);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    const Battle& battle = *options.battle;
    bench::SilencedOutput silenced;
    FILE* report = silenced.reportFile();

    const std::string defaultMap = bench::readTextFile("WorldDesc.txt");
    const std::string mapText =
        battle.rows == 0 ? defaultMap : bench::tiledMapText(bench::terrainRows(defaultMap), battle.rows, battle.cols);
    bench::setUpBattle(mapText, battle.eachClassPerSide, BATTLE_SEED);
    bench::seeWholeBoard();

    char programName[] = "frame_bench";
    char* glutArgv[] = {programName, nullptr};
    setUpWindow(1, glutArgv);
    dl_iterate_phdr(pinDriver, nullptr);
    // The loop below calls the idle callback itself, to time it apart from the frame.
    glutIdleFunc(nullptr);
    maxFramesPerSecond = options.maxFps;
    glutDisplayFunc(countedDisplay);

    const int screenWidth = glutGet(GLUT_SCREEN_WIDTH), screenHeight = glutGet(GLUT_SCREEN_HEIGHT);
    if (!waitForFullScreen(screenWidth, screenHeight)) {
        std::fprintf(stderr, "the window never reached the full screen %d x %d\n", screenWidth, screenHeight);
        return 1;
    }

    if (!options.dumpPath.empty()) {
        if (dumpFrame(options.dumpPath)) return 0;
        std::fprintf(stderr, "cannot write %s\n", options.dumpPath.c_str());
        return 1;
    }

    std::fprintf(report, "%s: %d x %d map, %zu units a side, window %d x %d, %s\n", battle.name, mapRows, mapCols,
                 allUnits.size() / 2, windowWidth, windowHeight,
                 reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::fprintf(report, "median of %d runs of %d frames; ms and us per frame\n", options.runs, options.frames);
    std::fprintf(report, "%-12s %7s %9s %9s %12s %13s %6s %11s\n", "camera", "fps", "wall ms", "CPU ms",
                 "main thr. ms", "idleUpdate us", "load", "units drawn");

    struct Camera {
        const char* name;
        void (*place)();
        void (*eachFrame)();
        bool showsEveryUnit;
    };
    const Camera cameras[] = {{"default", defaultCamera, nullptr, false},
                              {"turning", defaultCamera, turnCamera, false},
                              {"whole board", wholeBoardCamera, nullptr, true}};

    bool ok = true;
    for (const Camera& camera : cameras) {
        camera.place();
        drawFrames(options.warmUp + 1, camera.eachFrame);
        tellProfiler("enable");
        std::vector<RunResult> runs;
        for (int run = 0; run < options.runs; run++) runs.push_back(drawFrames(options.frames, camera.eachFrame));
        tellProfiler("disable");
        const RunResult median = medianRun(runs);
        const int drawn = unitsDrawn();
        const int total = static_cast<int>(allUnits.size());
        double load = 0;
        getloadavg(&load, 1);
        std::fprintf(report, "%-12s %7.1f %9.2f %9.2f %12.2f %13.1f %6.2f %7d/%d\n", camera.name,
                     1000 / median.msPerFrame, median.msPerFrame, median.cpuMs, median.mainThreadMs, median.idleUs,
                     load, drawn, total);
        std::fflush(report);

        for (const Unit* unit : allUnits)
            if (!unit->visible) {
                std::fprintf(stderr, "unit %d is hidden: the fog of war should hide nobody here\n", unit->id);
                ok = false;
                break;
            }
        if (camera.showsEveryUnit && !wholeBoardShown)
            std::fprintf(report, "  (no camera inside the sky box shows this whole board; "
                                 "this is the one that shows the most units)\n");
        if (camera.showsEveryUnit && wholeBoardShown && drawn != total) {
            std::fprintf(stderr, "the whole-board camera leaves %d units out of view\n", total - drawn);
            ok = false;
        }
        if (choosingHeroes || bench::bannerUp()) {
            std::fprintf(stderr, "a banner came up during the frames\n");
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
