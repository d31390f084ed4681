// tools/artgen.cpp — draws every picture of the game into the given images folder
//
// Run by the build as `artgen <run>/images`. The output is the same bytes on
// every run: all randomness comes from fixed seeds.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include "tools/pictures.h"

namespace {

struct Picture {
    const char* path;   // under the images folder
    std::function<Canvas()> paint;
};

const Picture pictures[] = {
    {"water.bmp", paintWater},
    {"desert.bmp", paintDesert},
    {"mask1.bmp", paintMask1},
    {"image1.bmp", paintImage1},
    {"grass.bmp", paintGrass},
    {"mountain.bmp", paintMountain},
    {"electric.bmp", paintElectric},
    {"chaos.bmp", paintChaos},
    {"status.bmp", paintStatusPanel},
    {"menu/attack.bmp", [] { return paintMenuButton(MENU_ATTACK, false, false); }},
    {"menu/attack-selected.bmp", [] { return paintMenuButton(MENU_ATTACK, true, false); }},
    {"menu/defend.bmp", [] { return paintMenuButton(MENU_DEFEND, false, false); }},
    {"menu/defend-selected.bmp", [] { return paintMenuButton(MENU_DEFEND, true, false); }},
    {"menu/move.bmp", [] { return paintMenuButton(MENU_MOVE, false, false); }},
    {"menu/move-selected.bmp", [] { return paintMenuButton(MENU_MOVE, true, false); }},
    {"menu/skills.bmp", [] { return paintMenuButton(MENU_SKILLS, false, false); }},
    {"menu/skills-selected.bmp", [] { return paintMenuButton(MENU_SKILLS, true, false); }},
    {"menu/magic.bmp", [] { return paintMenuButton(MENU_MAGIC, false, false); }},
    {"menu/magic-selected.bmp", [] { return paintMenuButton(MENU_MAGIC, true, false); }},
    {"menu/healing.bmp", [] { return paintMenuButton(MENU_HEALING, false, false); }},
    {"menu/healing-selected.bmp", [] { return paintMenuButton(MENU_HEALING, true, false); }},
    {"Particle.bmp", paintParticle},
    {"Spark.bmp", paintSpark},
    {"attack/elect1.bmp", [] { return paintBolt(0, false); }},
    {"attack/elect2.bmp", [] { return paintBolt(1, false); }},
    {"attack/elect3.bmp", [] { return paintBolt(2, false); }},
    {"attack/elect1i.bmp", [] { return paintBolt(0, true); }},
    {"attack/elect2i.bmp", [] { return paintBolt(1, true); }},
    {"attack/elect3i.bmp", [] { return paintBolt(2, true); }},
    {"skybox/skybox_front.bmp", [] { return paintSpaceFace(FACE_FRONT); }},
    {"skybox/skybox_back.bmp", [] { return paintSpaceFace(FACE_BACK); }},
    {"skybox/skybox_left.bmp", [] { return paintSpaceFace(FACE_LEFT); }},
    {"skybox/skybox_right.bmp", [] { return paintSpaceFace(FACE_RIGHT); }},
    {"skybox/skybox_up.bmp", [] { return paintSpaceFace(FACE_UP); }},
    {"skybox/skybox_down.bmp", [] { return paintSpaceFace(FACE_DOWN); }},
    {"skybox/sad_sea_front.bmp", [] { return paintCelestialCalm(FACE_FRONT); }},
    {"skybox/sad_sea_back.bmp", [] { return paintCelestialCalm(FACE_BACK); }},
    {"skybox/sad_sea_left.bmp", [] { return paintCelestialCalm(FACE_LEFT); }},
    {"skybox/sad_sea_right.bmp", [] { return paintCelestialCalm(FACE_RIGHT); }},
    {"skybox/sad_sea_up.bmp", [] { return paintCelestialCalm(FACE_UP); }},
    {"skybox/sad_sea_down.bmp", [] { return paintCelestialCalm(FACE_DOWN); }},
    {"skybox/marzz_front.bmp", [] { return paintMagmaLake(FACE_FRONT); }},
    {"skybox/marzz_back.bmp", [] { return paintMagmaLake(FACE_BACK); }},
    {"skybox/marzz_left.bmp", [] { return paintMagmaLake(FACE_LEFT); }},
    {"skybox/marzz_right.bmp", [] { return paintMagmaLake(FACE_RIGHT); }},
    {"skybox/marzz_up.bmp", [] { return paintMagmaLake(FACE_UP); }},
    {"skybox/marzz_down.bmp", [] { return paintMagmaLake(FACE_DOWN); }},
    {"skybox/fairyland_front.bmp", [] { return paintFishtank(FACE_FRONT); }},
    {"skybox/fairyland_back.bmp", [] { return paintFishtank(FACE_BACK); }},
    {"skybox/fairyland_left.bmp", [] { return paintFishtank(FACE_LEFT); }},
    {"skybox/fairyland_right.bmp", [] { return paintFishtank(FACE_RIGHT); }},
    {"skybox/fairyland_up.bmp", [] { return paintFishtank(FACE_UP); }},
    {"skybox/fairyland_down.bmp", [] { return paintFishtank(FACE_DOWN); }},
    {"skybox/quantum_front.bmp", [] { return paintVoodooLounge(FACE_FRONT); }},
    {"skybox/quantum_back.bmp", [] { return paintVoodooLounge(FACE_BACK); }},
    {"skybox/quantum_left.bmp", [] { return paintVoodooLounge(FACE_LEFT); }},
    {"skybox/quantum_right.bmp", [] { return paintVoodooLounge(FACE_RIGHT); }},
    {"skybox/quantum_up.bmp", [] { return paintVoodooLounge(FACE_UP); }},
    {"skybox/quantum_down.bmp", [] { return paintVoodooLounge(FACE_DOWN); }},
    {"skybox/blue_blot_front.bmp", [] { return paintBlueBlot(FACE_FRONT); }},
    {"skybox/blue_blot_back.bmp", [] { return paintBlueBlot(FACE_BACK); }},
    {"skybox/blue_blot_left.bmp", [] { return paintBlueBlot(FACE_LEFT); }},
    {"skybox/blue_blot_right.bmp", [] { return paintBlueBlot(FACE_RIGHT); }},
    {"skybox/blue_blot_up.bmp", [] { return paintBlueBlot(FACE_UP); }},
    {"skybox/blue_blot_down.bmp", [] { return paintBlueBlot(FACE_DOWN); }},
    {"attack/missed.bmp", paintMissed},
    {"p1_choose.bmp", [] { return paintChooseBanner(1); }},
    {"p2_choose.bmp", [] { return paintChooseBanner(2); }},
    {"p1_begin_turn.bmp", [] { return paintTurnBanner(1, BANNER_BEGIN_TURN); }},
    {"p1_end_turn.bmp", [] { return paintTurnBanner(1, BANNER_END_TURN); }},
    {"p2_begin_turn.bmp", [] { return paintTurnBanner(2, BANNER_BEGIN_TURN); }},
    {"p2_end_turn.bmp", [] { return paintTurnBanner(2, BANNER_END_TURN); }},
    {"p1_wins.bmp", [] { return paintTurnBanner(1, BANNER_WINS); }},
    {"p2_wins.bmp", [] { return paintTurnBanner(2, BANNER_WINS); }},
    {"menu/battack.bmp", [] { return paintMenuButton(MENU_ATTACK, false, true); }},
    {"menu/battack-selected.bmp", [] { return paintMenuButton(MENU_ATTACK, true, true); }},
    {"menu/bdefend.bmp", [] { return paintMenuButton(MENU_DEFEND, false, true); }},
    {"menu/bdefend-selected.bmp", [] { return paintMenuButton(MENU_DEFEND, true, true); }},
    {"menu/bmove.bmp", [] { return paintMenuButton(MENU_MOVE, false, true); }},
    {"menu/bmove-selected.bmp", [] { return paintMenuButton(MENU_MOVE, true, true); }},
    {"menu/bskills.bmp", [] { return paintMenuButton(MENU_SKILLS, false, true); }},
    {"menu/bskills-selected.bmp", [] { return paintMenuButton(MENU_SKILLS, true, true); }},
    {"menu/bmagic.bmp", [] { return paintMenuButton(MENU_MAGIC, false, true); }},
    {"menu/bmagic-selected.bmp", [] { return paintMenuButton(MENU_MAGIC, true, true); }},
    {"menu/bhealing.bmp", [] { return paintMenuButton(MENU_HEALING, false, true); }},
    {"menu/bhealing-selected.bmp", [] { return paintMenuButton(MENU_HEALING, true, true); }},
};

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: artgen <images folder>\n");
        return 2;
    }
    namespace fs = std::filesystem;
    fs::path folder = argv[1];
    for (const char* sub : {"", "menu", "attack", "skybox"}) {
        std::error_code error;
        fs::create_directories(folder / sub, error);
    }
    for (const Picture& picture : pictures) {
        Canvas canvas = picture.paint();
        // The game's reader takes rows as packed and the GL wants powers of two.
        if (!isPowerOfTwo(canvas.width) || !isPowerOfTwo(canvas.height) || canvas.width % 4 != 0) {
            fprintf(stderr, "artgen: %s is %d x %d, not a usable texture size\n", picture.path,
                    canvas.width, canvas.height);
            return 1;
        }
        fs::path path = folder / picture.path;
        if (!writeBitmap(canvas, path.string())) {
            fprintf(stderr, "artgen: cannot write %s\n", path.string().c_str());
            return 1;
        }
    }
    return 0;
}
