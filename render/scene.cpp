// render/scene.cpp — one frame up to the HUD lines
//
// Board, the sky round it, blinking cursor, both armies, the acting unit's effect and reach,
// then an orthographic pass for the overlays. The order of the steps and
// the balance of every push and pop matter: the display callback pops the
// camera matrix right after this returns.
#include "render/scene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>
#include <GL/glu.h>
#include <GL/glut.h>

#include "app/camera.h"
#include "game/battle_map.h"
#include "game/unit.h"
#include "render/board.h"
#include "render/captions.h"
#include "render/effects.h"
#include "render/frame_clock.h"
#include "render/guides.h"
#include "render/hud.h"
#include "render/layout.h"
#include "render/looks.h"
#include "render/skybox.h"
#include "rules/behaviour.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/game_state.h"
#include "rules/window_link.h"

char hpLabel[24] = "";
char mpLabel[24] = "";
char moveLabel[24] = "";

namespace {

// The material an army is drawn in. An index outside the table applies
// nothing, so the army wears the material set last: the skybox's white for
// player 1, and player 1's army's material for player 2.
const MaterialPreset& applyArmyMaterial(int index, const MaterialPreset& inForce) {
    if (index < 1 || index > MATERIAL_COUNT)
        return inForce;
    applyMaterial(materialPresets[index]);
    return materialPresets[index];
}

// The darker material of an army's units that have acted this turn.
MaterialPreset dimmed(const MaterialPreset& preset) {
    constexpr float DIM = 0.35f;
    MaterialPreset dark = preset;
    for (int i = 0; i < 3; i++) {
        dark.ambient[i] *= DIM;
        dark.diffuse[i] *= DIM;
        dark.specular[i] *= DIM;
    }
    return dark;
}

bool hasActed(const Unit& unit) {
    return !choosingHeroes && !battleWon() && unit.player == currentPlayer && !unit.canAct;
}

bool isLungingFighter(const Unit& unit) {
    return attackAnimating && selectedUnit->unitClass == CLASS_FIGHTER && unit.id == selectedUnit->id;
}

template <class T> void drawUnits(const std::vector<T*>& units, const MaterialPreset& material) {
    for (T* unit : units) {
        if (!standsOnBoard(*unit) || outsideView(*unit))
            continue;
        if (unit->unitClass == CLASS_FIGHTER && isLungingFighter(*unit))
            continue;   // drawn at the lunge point by drawLungingFighter
        const bool dim = hasActed(*unit);
        if (dim)
            applyMaterial(dimmed(material));
        glPushMatrix();
        glTranslatef(unit->position.x, unit->position.y, unit->position.z);
        glRotatef(unit->facing, 0, 1, 0);
        glScalef(0.5f, 0.5f, 0.5f);
        unit->draw();
        glPopMatrix();
        if (dim)
            applyMaterial(material);
    }
}

// The acting Fighter while it lunges: at the lunge point, neither scaled nor
// turned, so it looms at twice its usual size. It is drawn with its own army,
// whose material is the one in force.
void drawLungingFighter(int player) {
    if (!selectedUnit->menuOpen || !attackAnimating || selectedUnit->unitClass != CLASS_FIGHTER ||
        selectedUnit->player != player)
        return;
    glPushMatrix();
    glTranslatef(lungeEffect.current.x, lungeEffect.current.y, lungeEffect.current.z);
    static_cast<Fighter*>(selectedUnit)->draw();
    glEnable(GL_LIGHTING);
    glPopMatrix();
}

void drawModel(Unit& unit) {
    switch (unit.unitClass) {
    case CLASS_ARCHER: static_cast<Archer&>(unit).draw(); break;
    case CLASS_FIGHTER: static_cast<Fighter&>(unit).draw(); break;
    case CLASS_FLIER: static_cast<Flier&>(unit).draw(); break;
    case CLASS_HEALER: static_cast<Healer&>(unit).draw(); break;
    default: static_cast<Mage&>(unit).draw(); break;
    }
}

// A unit just brought down topples over in its first half second and sinks
// and fades in the rest, see-through in its army's material.
void drawFallingUnits(int player, const MaterialPreset& material) {
    for (const FallingUnit& fall : fallingUnits) {
        Unit* unit = nullptr;
        for (Unit* candidate : allUnits)
            if (candidate->id == fall.unitId) unit = candidate;
        if (!unit || unit->player != player || outsideView(*unit)) continue;
        const float done = fall.age / FALL_SECONDS;
        MaterialPreset faded = material;
        faded.diffuse[3] = faded.ambient[3] = faded.specular[3] = 1 - done;
        applyMaterial(faded);
        glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDepthMask(GL_FALSE);
        glPushMatrix();
        const Vector& at = unit->position;
        glTranslatef(at.x, at.y - 0.4f * std::max(0.0f, 2 * done - 1), at.z);
        glRotatef(unit->facing, 0, 1, 0);
        glTranslatef(0, -0.5f, 0);
        glRotatef(-90 * std::min(1.0f, 2 * done), 1, 0, 0);   // over its foot, away from where it faced
        glTranslatef(0, 0.5f, 0);
        glScalef(0.5f, 0.5f, 0.5f);
        drawModel(*unit);
        glPopMatrix();
        glPopAttrib();
        applyMaterial(material);
    }
}

constexpr float TAU = 6.2831853f;

void flatRing(float inner, float outer, int segments) {
    glBegin(GL_QUAD_STRIP);
    for (int i = 0; i <= segments; i++) {
        const float a = TAU * i / segments;
        glVertex3f(inner * std::cos(a), 0, inner * std::sin(a));
        glVertex3f(outer * std::cos(a), 0, outer * std::sin(a));
    }
    glEnd();
}

// A hero's crown lies round its own ring, on its own square: a gold band on
// the ground and eight points standing up from it, outlined in dark gold.
// Seen from any side it marks that unit and no other.
void compileHeroCrown() {
    constexpr int POINTS = 8;
    constexpr float RADIUS = 0.48f, BAND = 0.05f, TIP = 0.22f, HALF = TAU / POINTS / 2;
    glColor3f(1, 0.84f, 0.3f);
    flatRing(0.44f, 0.5f, 32);
    auto at = [](float angle, float height) { glVertex3f(RADIUS * std::cos(angle), height, RADIUS * std::sin(angle)); };
    for (bool outline : {false, true}) {
        if (outline) glColor3f(0.45f, 0.3f, 0.05f);
        for (int i = 0; i < POINTS; i++) {
            const float a = TAU * i / POINTS;
            glBegin(outline ? GL_LINE_LOOP : GL_POLYGON);
            at(a - HALF, 0);
            at(a + HALF, 0);
            at(a + HALF, BAND);
            at(a, TIP);
            at(a - HALF, BAND);
            glEnd();
        }
    }
}

// Under every unit on the board, a ring in its army's colour: the armies'
// materials change from battle to battle, the rings never.
void drawUnitRings() {
    static GLuint ringList = 0, crownList = 0;
    if (!ringList) {
        ringList = glGenLists(1);
        glNewList(ringList, GL_COMPILE);
        flatRing(0.36f, 0.46f, 24);
        glEndList();
        crownList = glGenLists(1);
        glNewList(crownList, GL_COMPILE);
        compileHeroCrown();
        glEndList();
    }
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glLineWidth(2);
    for (const Unit* unit : allUnits) {
        if (!standsOnBoard(*unit) || outsideView(*unit)) continue;
        glColor3fv(PLAYER_COLOURS[unit->player]);
        glPushMatrix();
        glTranslatef(unit->position.x, battleMap[unit->row][unit->col].centre.y - 0.485f, unit->position.z);
        glCallList(ringList);
        if (unit->hero) glCallList(crownList);
        glPopMatrix();
    }
    glPopAttrib();
}

void drawArmy(int player, const MaterialPreset& material) {
    drawFallingUnits(player, material);
    drawLungingFighter(player);
    if (player == 1) {
        drawUnits(p1Archers, material);
        drawUnits(p1Fighters, material);
        drawUnits(p1Fliers, material);
        drawUnits(p1Healers, material);
        drawUnits(p1Mages, material);
    } else {
        drawUnits(p2Archers, material);
        drawUnits(p2Fighters, material);
        drawUnits(p2Fliers, material);
        drawUnits(p2Healers, material);
        drawUnits(p2Mages, material);
    }
}

// Bright for two quarter-seconds of every second, dim in between.
bool cursorBright() {
    const float t = nowSeconds - lastSecondMark;   // seconds into the current second
    return t < 0.25f || (t > 0.5f && t < 0.75f);
}

// The attack effect of the unit whose menu is open, while its attack plays.
void drawAttackEffect() {
    Unit& acting = *selectedUnit;
    switch (acting.unitClass) {
    case CLASS_ARCHER:
        glDisable(GL_LIGHTING);
        glColor3f(1, 0, 0);   // tints the sparks red
        drawArrowVolley();
        glEnable(GL_LIGHTING);
        break;
    case CLASS_FLIER:
        glPushMatrix();
        glTranslatef(acting.position.x, acting.position.y, acting.position.z);
        glRotatef(acting.facing, 0, 1, 0);
        drawLungeEffect();
        glEnable(GL_LIGHTING);
        glPopMatrix();
        break;
    default:
        break;
    }
    if (acting.unitClass == CLASS_FLIER)
        return;
    // Every class but the Flier shows a particle burst. The Healer's and the
    // Mage's ride their bolt, which for the Mage ends in the explosion at the
    // target; the Archer and the Fighter have no bolt, so theirs goes off
    // where the blow lands.
    glPushMatrix();
    if (acting.unitClass == CLASS_MAGE && !boltActive)
        drawExplosion();
    else if (acting.unitClass == CLASS_HEALER || acting.unitClass == CLASS_MAGE)
        drawSpellParticles();
    else
        drawBurstAt(aimPoint);
    glPopMatrix();
    if (acting.unitClass == CLASS_HEALER && actionCounter >= 300) {
        // From 300 on a second burst plays at the target; the Healer's bolt
        // itself never leaves the Healer.
        glPushMatrix();
        drawBurstAt(aimPoint);
        glPopMatrix();
    }
}

// Four clip planes at the board's edges, in world space: the reach diamond
// tints only squares of the board, never the sky beyond it.
void clipToBoard(bool on) {
    const Vector low = battleMap[0][0].centre - Vector(0.5f, 0, 0.5f);
    const Vector high = battleMap[mapRows - 1][mapCols - 1].centre + Vector(0.5f, 0, 0.5f);
    const double edges[4][4] = {
        {1, 0, 0, -low.x}, {-1, 0, 0, high.x}, {0, 0, 1, -low.z}, {0, 0, -1, high.z},
    };
    for (int i = 0; i < 4; i++) {
        if (on) {
            glClipPlane(GL_CLIP_PLANE0 + i, edges[i]);
            glEnable(GL_CLIP_PLANE0 + i);
        } else {
            glDisable(GL_CLIP_PLANE0 + i);
        }
    }
}

// The diamond lies 0.005 above the board, under the cursor's 0.01, so the
// cursor stays whole over it.
void drawReachDiamond() {
    if (!choosingTarget || attackAnimating)
        return;
    const Vector& centre = battleMap[selectedUnit->row][selectedUnit->col].centre;
    clipToBoard(true);
    glPushMatrix();
    glTranslatef(centre.x, centre.y - 0.495f, centre.z);
    const int reach = selectedUnit->attackRange;
    glCallList(reachLists[reach >= 1 && reach <= 4 ? reach - 1 : 4]);
    glPopMatrix();
    clipToBoard(false);
}

// While a step is chosen the lit square is the step Insert takes: a square
// it would refuse is crossed out instead, and on the unit's own square the
// cursor stays dim.
void drawCursor() {
    if (!cursorShown)
        return;
    const Vector& c = battleMap[cursorRow][cursorCol].centre;
    const StepVerdict verdict = stepVerdict();
    if (verdict == STEP_NOT_NEIGHBOUR || verdict == STEP_OCCUPIED) {
        const float h = 0.38f, y = c.y - 0.485f;
        glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glLineWidth(4);
        glColor3f(0.95f, 0.3f, 0.2f);
        glBegin(GL_LINES);
        glVertex3f(c.x - h, y, c.z - h);
        glVertex3f(c.x + h, y, c.z + h);
        glVertex3f(c.x - h, y, c.z + h);
        glVertex3f(c.x + h, y, c.z - h);
        glEnd();
        glPopAttrib();
        return;
    }
    glPushMatrix();
    glTranslatef(c.x, c.y - 0.49f, c.z);
    glCallList(cursorBright() && verdict != STEP_OWN_SQUARE ? cursorList : cursorDimList);
    glPopMatrix();
}

void drawActingUnit() {
    glPushMatrix();
    if (attackAnimating)
        drawAttackEffect();
    glPopMatrix();
    drawReachDiamond();
    drawMoveReach();
}

void flipProjection() {
    perspectiveView = !perspectiveView;
    reapplyProjection();
}

// A unit's numbers, each twice: a black shadow, then red on top. The panel's
// picture multiplies what is behind it, so it stands on a white backing,
// a little further back, and shows as painted over any ground. A fallen
// unit's hit points read 0.
void drawStatusPanel(const Unit& unit) {
    glPushMatrix();
    glTranslatef(-1.2f, -1, -1.01f);
    glScalef(0.5f, 0.5f, 0.5f);
    drawStatusBacking();
    glPopMatrix();
    glPushMatrix();
    glTranslatef(-1.2f, -1, -1);
    glScalef(0.5f, 0.5f, 0.5f);
    glCallList(statusPanelList);
    glPopMatrix();
    glDisable(GL_LIGHTING);

    std::snprintf(hpLabel, sizeof hpLabel, "%i/%i", shownHp(unit), unit.maxHp);
    std::snprintf(mpLabel, sizeof mpLabel, "%i/%i", unit.mp, unit.maxMp);
    std::snprintf(moveLabel, sizeof moveLabel, "%i", unit.movePoints);

    // The shadows lie just behind the turn banner's plane (z = −0.1), so an
    // opaque banner hides them like everything else behind it.
    void* const font = statusNumbersFont();
    glColor3f(0, 0, 0);
    drawBitmapText(-0.815f, -0.605f, -0.105f, font, hpLabel);
    drawBitmapText(-0.815f, -0.705f, -0.105f, font, mpLabel);
    drawBitmapText(-0.815f, -0.815f, -0.105f, font, moveLabel);
    glColor3f(1, 0, 0);
    drawBitmapText(-0.82f, -0.6f, -0.11f, font, hpLabel);
    drawBitmapText(-0.82f, -0.7f, -0.11f, font, mpLabel);
    drawBitmapText(-0.82f, -0.81f, -0.11f, font, moveLabel);
}

void drawOverlays() {
    glLoadIdentity();
    glPushMatrix();
    flipProjection();
    glDisable(GL_LIGHTING);

    // A unit in sight the pointer points at, or else the selected one.
    const Unit* pointed = unitInSight(hoverRow, hoverCol);
    const Unit* shown = pointed ? pointed : statusShown() ? selectedUnit : nullptr;
    if (shown)
        drawStatusPanel(*shown);
    drawStatusName(shown, pointed);
    drawOddsPanel();

    checkHeroChoice();   // may end the hero choice, so the banner test below comes after it

    if (choosingHeroes) {
        glPushMatrix();
        glTranslatef(-0.25f, -0.5f, -1);
        glScalef(0.5f, 0.5f, 0.5f);
        drawBanner();
        glPopMatrix();
    }

    if (bannerShown()) {
        glPushMatrix();
        glTranslatef(-1.25f, -1, -0.1f);
        glScalef(2.1f, 1.675f, 2);
        drawBanner();
        glPopMatrix();
    } else if (selectedUnit->menuOpen) {
        glPushMatrix();
        glTranslatef(MENU_LEFT, MENU_BOTTOM, -0.1f);
        glScalef(MENU_SIZE, MENU_SIZE, MENU_SIZE);
        drawActionMenu(selectedUnit->unitClass, menuItem);
        glPopMatrix();
    }

    if (missShown) {
        glPushMatrix();
        glTranslatef(0, 0, -0.1f);
        glCallList(missedList);
        glPopMatrix();
    }

    flipProjection();
    glEnable(GL_LIGHTING);
    glPopMatrix();
}

}  // namespace

void drawScene() {
    glPushMatrix();
    glEnable(GL_LIGHTING);

    drawBackdrop();
    glPushMatrix();
    glTranslatef(0, -0.5f, 0);
    drawBoardInView();
    glPopMatrix();
    // Behind the board, so only the sky that shows round it is filled; before
    // the cursor, whose translucent edge over the void blends onto the sky.
    drawHeldSky();
    glFlush();   // the rasteriser's threads fill the board while this one works out the units

    drawDangerTint();
    drawCursor();
    drawHoverMark();
    drawUnitRings();

    const int p1Preset = choosingHeroes ? materialBrowse : p1Material;
    const MaterialPreset& p1Look = applyArmyMaterial(p1Preset, whiteMaterial);
    drawArmy(1, p1Look);

    keepLooksApart();   // two armies never share a look
    const int p2Preset = choosingHeroes ? materialBrowse : p2Material;
    drawArmy(2, applyArmyMaterial(p2Preset, p1Look));

    if (selectedUnit->menuOpen)
        drawActingUnit();
    placeUnitMarks();

    drawOverlays();
    glPopMatrix();
}

void loadProjection(bool perspective) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    float aspect = static_cast<float>(windowWidth) / windowHeight;
    if (perspective)
        gluPerspective(60, aspect, NEAR_PLANE, FAR_PLANE);
    else
        glOrtho(-aspect, aspect, -1, 1, NEAR_PLANE, FAR_PLANE);
    glMatrixMode(GL_MODELVIEW);
}
