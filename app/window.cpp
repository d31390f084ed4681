// app/window.cpp — the window, its callback table, the fixed GL state and the frame
#include "app/window.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/freeglut.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <malloc.h>

#include "ai/computer.h"
#include "app/battle_clock.h"
#include "app/camera.h"
#include "app/camera_follow.h"
#include "app/held_keys.h"
#include "app/input.h"
#include "app/net_play.h"
#include "app/pacing.h"
#include "app/pointer.h"
#include "app/replay.h"
#include "app/sound.h"
#include "app/textures.h"
#include "render/board.h"
#include "render/effects.h"
#include "render/guides.h"
#include "render/hud.h"
#include "render/lighting.h"
#include "render/looks.h"
#include "render/scene.h"
#include "render/skybox.h"
#include "rules/game_state.h"
#include "rules/window_link.h"

namespace {

// SIGINT, SIGTERM and SIGHUP (Ctrl-C, a kill, a terminal closed) quit as q
// does, at the next idle callback, which runs every frame whatever is on
// screen: the handler only notes the signal. So a recording gets its end
// line, and a kept battle is never left half-written.
volatile std::sig_atomic_t quitSignalled = 0;
void noteQuitSignal(int) { quitSignalled = 1; }

// A signal someone chose to ignore (nohup, a job started in the background) stays ignored.
void quitOnSignals() {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action {};
        if (sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) continue;
        action = {};
        action.sa_handler = noteQuitSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(signal, &action, nullptr);
    }
}

// The idle callback: as many ticks of the battle as the time since the last
// frame holds, more while the computer plays its turn and at a battle speed
// above 1 (each its rules' update, what a click set going, a computer
// player's next key or a replay's commands), then the held camera keys and
// where the camera goes by itself, by the frame's own time (its glides at
// the battle speed), then the sounds of all of them. The update asks for the frame, so waiting before
// it keeps the frames apart. The wait sleeps: the event loop has nothing
// else to do meanwhile, and key presses are taken after it, before the
// frame is drawn, as they would be after a long frame.
void onIdle() {
    if (quitSignalled) std::exit(0);
    waitForNextFrame();
    static auto last = std::chrono::steady_clock::now();
    auto now = std::chrono::steady_clock::now();
    float seconds = std::chrono::duration<float>(now - last).count();
    last = now;
    const int due =
        ticksForFrame(std::chrono::duration_cast<std::chrono::nanoseconds>(now.time_since_epoch()).count());
    if (inJoinedGame())
        playJoinedTicks(due * computerTurnSpeed());
    else
        runFrameTicks(due);
    moveHeldCamera(seconds);
    followBattle(replaying ? seconds : seconds * battleSpeed);
    updateSound();
}

// GLUT's callbacks for the keys and the camera-mode menu: each a command.
// While a replay plays, the keys are the viewer's: the commands are the file's.
void onKey(unsigned char key, int, int) {
    if (replaying) replayViewerKey(key);
    else dispatch({CMD_KEY, key});
}
void onKeyUp(unsigned char key, int, int) { dispatch({CMD_KEY_UP, key}); }
void onSpecial(int key, int, int) { dispatch({CMD_SPECIAL, key}); }
void onSpecialUp(int key, int, int) { dispatch({CMD_SPECIAL_UP, key}); }
void onMenu(int mode) { dispatch({CMD_CAMERA_MODE, mode}); }

// The HUD lines are drawn with the other projection. Each switch also asks
// for a redisplay, as the v key does, so frames follow one another as fast
// as the swaps allow.
void switchProjection() {
    perspectiveView = !perspectiveView;
    reapplyProjection();
    requestRedisplay();
}

}  // namespace

void setUpWindow(int argc, char** argv) {
    // The GL driver takes and frees tens of megabytes for every frame of a
    // large battle. With glibc's defaults those blocks are fresh mappings,
    // or the heap is given back to the system after the frame, so every
    // frame faults its pages in again and the kernel clears each one: about
    // a tenth of the 50 × 50 battle's frame. Kept in the heap (up to a
    // generous bound) they are simply used again.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);   // glibc's largest
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    // The render tests start GLUT themselves before any test decides to open a window.
    if (!glutGet(GLUT_INIT_STATE)) glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH | GLUT_RGBA);
    glutInitWindowSize(500, 500);
    glutInitWindowPosition(100, 100);
    glutCreateWindow("Mesh display");
    glClearColor(0, 0, 0, 1);
    glutFullScreen();
    // With no window manager (a bare X server) freeglut sizes the window to the
    // screen itself but leaves it shifted by the start position; pinning the
    // corner keeps the whole screen covered. A window manager places it anyway.
    glutPositionWindow(0, 0);

    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glutKeyboardFunc(onKey);
    glutIdleFunc(onIdle);
    repeatHeldKeysAsPresses();
    if (!replaying) {
        glutKeyboardUpFunc(onKeyUp);
        glutMouseFunc(onMouseButton);
        glutMotionFunc(onMouseDrag);
        glutPassiveMotionFunc(onMouseMove);
        glutEntryFunc(onMouseEntry);
        glutSpecialFunc(onSpecial);
        glutSpecialUpFunc(onSpecialUp);
        // The right button backs out as Home, so the camera modes moved to the middle one.
        glutCreateMenu(onMenu);
        glutAddMenuEntry("Translate", MODE_TRANSLATE);
        glutAddMenuEntry("Scale", MODE_SCALE);
        glutAddMenuEntry("Rotate", MODE_ROTATE);
        glutAttachMenu(GLUT_MIDDLE_BUTTON);
    }

    // Replaced by the reshape GLUT sends before the first frame.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, NEAR_PLANE, FAR_PLANE);
    glMatrixMode(GL_MODELVIEW);
    glViewport(0, 0, 500, 500);

    glEnable(GL_DEPTH_TEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_LIGHTING);
    placeLights();
    applyMaterial(startupMaterial);

    loadAllTextures();
    buildBoardLists();
    buildReachLists();
    buildOverlayLists();
    buildParticleList();
}

void openWindow(int argc, char** argv) {
    maxFramesPerSecond = maxFramesPerSecondSetting(std::getenv("KESTRAVA_MAX_FPS"));
    soundVolume = volumeSetting(std::getenv("KESTRAVA_VOLUME"));
    startSound("sounds");
    quitOnSignals();
    setUpWindow(argc, argv);
    glutMainLoop();
}

void waitForNextFrame() {
    using Clock = std::chrono::steady_clock;
    const int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
    std::this_thread::sleep_until(Clock::time_point(std::chrono::nanoseconds(nextFrameStart(now))));
}

void onDisplay() {
    glClear(GL_DEPTH_BUFFER_BIT);
    holdSky();   // the scene starts the colours (drawBackdrop) and puts the sky in after the board
    placeLights();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    Vector eye, centre;
    aimCamera(eye, centre);
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0, 1, 0);
    updateViewFrustum();
    drawScene();
    glPopMatrix();
    glPushMatrix();
    switchProjection();
    drawHud();
    drawGuides();
    glPopMatrix();
    switchProjection();
    glutSwapBuffers();
    pointAgain();
}

void onReshape(int width, int height) {
    if (height == 0) height = 1;   // a minimised window must not divide by zero
    windowWidth = width;
    windowHeight = height;
    loadProjection(perspectiveView);
    glViewport(0, 0, width, height);
    cameraWindowResized();
}

void updateViewFrustum() {
    float projection[16], modelView[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    setViewPlanes(projection, modelView);
}
