// rules/keyboard.cpp — the character keys: quit, projection, camera keys, printouts, toggles, turn, help,
// and the keys after a victory
#include "rules/keyboard.h"

#include <cstdio>
#include <cstdlib>

#include "app/camera.h"
#include "game/battle_map.h"
#include "render/looks.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/window_link.h"

bool lightingOn = false;

namespace {

constexpr unsigned char KEY_ENTER = 13, KEY_ESCAPE = 27;
constexpr int SKY_COUNT = 6;

// The backdrop line for each skyChoice; 6 wraps round to 0.
const char* const SKY_LINES[SKY_COUNT] = {
    "Switching to \"Celestial Calm.\"",
    "Switching to \"Magma Lake.\"",
    "Switching to \"Depths O' The Fishtank.\"",
    "Switching to \"Voodoo Lounge.\"",
    "Switching to \"Blue Blot.\"",
    "Switching to \"Space Endeavors.\"",
};

void nextSky() {
    skyChoice += 1;
    if (skyChoice >= SKY_COUNT) skyChoice = 0;
    std::printf("%s\n", SKY_LINES[skyChoice]);
}

// Browsing starts at 16, so the first press wraps to 0 and shows no preset.
void nextMaterial() {
    if (!choosingHeroes) return;
    materialBrowse += 1;
    if (materialBrowse >= 1 && materialBrowse <= MATERIAL_COUNT) applyMaterial(materialPresets[materialBrowse]);
    requestRedisplay();
    if (materialBrowse > MATERIAL_COUNT) materialBrowse = 0;
}

}  // namespace

void onKeyboard(unsigned char key, int, int) {
    switch (key) {
        case KEY_ESCAPE:
        case 'q':
        case 'Q': std::exit(0);
        case 'v':
            perspectiveView = !perspectiveView;
            reapplyProjection();
            requestRedisplay();
            break;
        case '+': heldPlus = true; break;
        case '-': heldMinus = true; break;
        case '2': held2 = true; break;
        case '4': held4 = true; break;
        case '6': held6 = true; break;
        case '8': held8 = true; break;
        case 'p': printMapOccupancy(); break;
        case 'P': printMapTerrain(); break;
        case 'r':
        case 'R':
            resetCamera();
            requestRedisplay();
            break;
        case 'b': showUnitSphere = !showUnitSphere; break;
        case 'f': showSightSphere = !showSightSphere; break;
        case 'l':
            // The scene turns lighting back on each frame, so off lasts one frame.
            lightingOn = !lightingOn;
            setLighting(lightingOn);
            requestRedisplay();
            break;
        case 'm': nextMaterial(); break;
        case 's': nextSky(); break;
        case 't': pressTurnKey(); break;
        case 'e': endTurn(); break;
        case 'c':
            homeCamera(currentPlayer);
            requestRedisplay();
            break;
        case 'h':
            helpShown = !helpShown;
            requestRedisplay();
            break;
        case 'n':
        case 'N':
        case 'x':
        case 'd': requestRedisplay(); break;
        default: break;
    }
}

void onWindowKey(unsigned char key, int x, int y) {
    bool quits = key == KEY_ESCAPE || key == 'q' || key == 'Q';
    if (!quits && putVictoryAway()) return;
    if (key == KEY_ENTER && afterVictory) {
        startNewBattle();
        return;
    }
    onKeyboard(key, x, y);
}
