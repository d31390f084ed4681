// tools/artgen.cpp — draws every picture of the game into the given images folder
//
// Run by the build as `artgen <run>/images`, and as `artgen --icon SIZE FILE`
// for the desktop's icon. The output is the same bytes on every run: all
// randomness comes from fixed seeds.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include "app/bitmap.h"
#include "tools/icon.h"
#include "tools/pictures.h"

namespace {

struct Picture {
    const char* path;   // under the images folder
    std::function<Canvas()> paint;
};

// The files of the game's texture table, each once: main refuses a picture
// the game would not load and a file of the table left unpainted.
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
    {"skybox/sad_sea.bmp", paintCelestialCalm},
    {"skybox/marzz.bmp", paintMagmaLake},
    {"skybox/fairyland.bmp", paintFishtank},
    {"skybox/quantum.bmp", paintVoodooLounge},
    {"skybox/blue_blot.bmp", paintBlueBlot},
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
    if (argc == 4 && std::string(argv[1]) == "--icon") {
        const int size = std::atoi(argv[2]);
        if (size < 16 || size > 512) {
            fprintf(stderr, "artgen: an icon is 16 to 512 pixels wide, not %s\n", argv[2]);
            return 2;
        }
        if (writeIcon(size, argv[3])) return 0;
        fprintf(stderr, "artgen: cannot write %s\n", argv[3]);
        return 1;
    }
    if (argc != 2) {
        fprintf(stderr, "usage: artgen <images folder> | artgen --icon SIZE FILE\n");
        return 2;
    }
    namespace fs = std::filesystem;
    fs::path folder = argv[1];
    std::set<std::string> unpainted;
    for (int i = 0; i < textureCount; i++) unpainted.insert(textureTable[i].path);
    for (const Picture& picture : pictures)
        if (unpainted.erase(std::string("images/") + picture.path) == 0) {
            fprintf(stderr, "artgen: the game does not load %s\n", picture.path);
            return 1;
        }
    if (!unpainted.empty()) {
        fprintf(stderr, "artgen: nothing paints %s\n", unpainted.begin()->c_str());
        return 1;
    }
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
