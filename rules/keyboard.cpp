// rules/keyboard.cpp — the character keys that act on the battle: t, e and m
#include "rules/keyboard.h"

#include "game/looks.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/takeback.h"
#include "rules/window_link.h"

namespace {

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
        case 'm': nextMaterial(); break;
        case 't': pressTurnKey(); break;
        case 'e': endTurn(); break;
        case 'u': takeBackSteps(); break;
        default: break;
    }
}
