// tools/pictures.h — every picture the game reads, one painter each
#pragma once
#include "tools/canvas.h"

constexpr float TAU = 6.2831853f;   // a whole turn, in radians

// Board squares, 128 × 128, tiling seamlessly in both directions.
Canvas paintGrass();
Canvas paintMountain();
Canvas paintDesert();
Canvas paintWater();
Canvas paintElectric();
Canvas paintChaos();

// Loaded but never drawn.
Canvas paintMask1();
Canvas paintImage1();

// Flat overlays: the status panel, the miss marker, the hero-choice and turn banners.
Canvas paintStatusPanel();
Canvas paintMissed();
Canvas paintChooseBanner(int player);
enum BannerKind { BANNER_BEGIN_TURN, BANNER_END_TURN, BANNER_WINS };
Canvas paintTurnBanner(int player, BannerKind kind);

// Action menu buttons, 4:1. The first style is the one the game draws; the
// "b" style is its twin, loaded but unused.
enum MenuEntry { MENU_ATTACK, MENU_DEFEND, MENU_MOVE, MENU_SKILLS, MENU_MAGIC, MENU_HEALING };
Canvas paintMenuButton(MenuEntry entry, bool selectedFile, bool secondStyle);

// Additive sprites on black, and the lightning frames with their masks.
Canvas paintParticle();
Canvas paintSpark();
Canvas paintBolt(int frame, bool mask);

// The sky. Space Endeavors has a picture for each face of the box, one
// continuous picture over all of it.
enum SkyFace { FACE_FRONT, FACE_BACK, FACE_LEFT, FACE_RIGHT, FACE_UP, FACE_DOWN };
Canvas paintSpaceFace(SkyFace face);
// The five backdrops: one picture each, which the box lays on every face and
// which meets itself without a seam at every edge of the box.
Canvas paintCelestialCalm();
Canvas paintMagmaLake();
Canvas paintFishtank();
Canvas paintVoodooLounge();
Canvas paintBlueBlot();
