// tests/unit/test_cues.cpp — the moments the rules note to be heard, in order, each where it happens
#include <cmath>
#include <functional>
#include <string>

#include "rules/combat.h"
#include "rules/cues.h"
#include "tests/unit/rules_keys.h"
#include "tests/support/window_link_fake.h"

namespace {

const char* const CUE_NAMES[] = {"step", "bowshot", "volley", "lunge", "swoop", "heal", "spell", "explosion",
                                  "hit", "miss", "fall", "defend", "banner", "victory", "menu-move", "choose"};

// The cues as a line: each name, its detail where it has one, and the square
// it happens on ("@off" between squares; nothing for the screen's own).
std::string heard() {
    std::string line;
    for (const CueEvent& event : pendingCues) {
        line += line.empty() ? "" : " ";
        line += CUE_NAMES[event.cue];
        if (event.cue == CUE_STEP || event.cue == CUE_HEAL) line += std::to_string(event.detail);
        if (event.cue >= CUE_BANNER) continue;
        std::string at = "@off";
        for (int r = 0; r < mapRows; r++)
            for (int c = 0; c < mapCols; c++) {
                const Vector& centre = battleMap[r][c].centre;
                if (std::fabs(centre.x - event.where.x) < 0.05f && std::fabs(centre.z - event.where.z) < 0.05f)
                    at = "@" + std::to_string(r) + "," + std::to_string(c);
            }
        line += at;
    }
    return line;
}

// Aims the unit's chosen entry (1 attack, 2 its class action) at the square
// and lets the blow play out, with a roll in [lo, hi].
void strike(const Unit& unit, int entry, const Unit& target, int lo, int hi) {
    chooseEntry(unit, entry);
    while (cursorCol < target.col) press(KEY_RIGHT);
    while (cursorRow < target.row) press(KEY_DOWN);
    seedForRoll(lo, hi);
    press(KEY_INSERT);
    for (int i = 0; i < 5000 && attackAnimating; i++) drawnFrame();
}

constexpr int HIT = 95, MISS = 0;

using CueTest = BattleTest;

}  // namespace

// Player 1's turn on a grass map with heroes at (0, 4) and (6, 4); each scene
// places its units, acts, and lists what was noted from its first key on.
TEST_F(CueTest, EveryMomentIsNotedOnceWhereItHappens) {
    const struct {
        const char* scene;
        std::function<void()> act;
        const char* heard;
    } scenes[] = {
        {"an Archer's volley hits",
         [] { strike(*placeUnit<Archer>(1, 3, 1), 1, *placeUnit<Fighter>(2, 3, 3), HIT, 100); },
         "choose choose bowshot@3,1 volley@3,1 hit@3,3"},
        {"a Fighter's lunge misses",
         [] { strike(*placeUnit<Fighter>(1, 3, 1), 1, *placeUnit<Mage>(2, 3, 2), MISS, MISS); },
         "choose choose lunge@3,1 miss@off"},
        {"a Flier's swoop hits",
         [] { strike(*placeUnit<Flier>(1, 3, 1), 2, *placeUnit<Healer>(2, 3, 2), HIT, 100); },
         "choose choose swoop@3,1 hit@3,2"},
        {"a Healer heals a friend",
         [] {
             Unit* friendly = placeUnit<Fighter>(1, 3, 3);
             friendly->hp = 50;
             strike(*placeUnit<Healer>(1, 3, 1), 2, *friendly, HIT, 100);
         },
         "choose choose heal1@3,1"},
        {"a Healer attacks",
         [] { strike(*placeUnit<Healer>(1, 3, 1), 1, *placeUnit<Archer>(2, 3, 2), HIT, 100); },
         "choose choose heal0@3,1 hit@3,2"},
        {"a Mage's magic: five bursts, then two strikes that fell a Healer once",
         [] {
             Unit* healer = placeUnit<Healer>(2, 3, 3);
             healer->hp = 1;
             strike(*placeUnit<Mage>(1, 3, 1), 2, *healer, HIT, 100);
         },
         "choose choose spell@3,1 explosion@3,3 explosion@3,3 explosion@3,3 explosion@3,3 explosion@3,3 hit@3,3 "
         "fall@3,3"},
        {"a Mage's plain attack misses: the bolt stops short, nothing explodes",
         [] { strike(*placeUnit<Mage>(1, 3, 1), 1, *placeUnit<Fighter>(2, 3, 3), MISS, MISS); },
         "choose choose spell@3,1 miss@off"},
        {"a Mage fells the hero with its two strikes",
         [] {
             for (Unit* unit : allUnits)
                 if (unit->player == 2) unit->hp = 1;
             strike(*placeUnit<Mage>(1, 5, 4), 1, *allUnits[1], HIT, 100);
         },
         "choose choose spell@5,4 explosion@6,4 hit@6,4 fall@6,4 victory"},
        {"the menu walked down to Defend; the last to act hands the turn over",
         [] {
             openMenuOf(*allUnits[0]);
             press({KEY_DOWN, KEY_DOWN, KEY_UP, KEY_DOWN, KEY_INSERT});
             bannerSeconds = 3;
             updateBanners();   // the end of the turn's banner gives way to the next turn's
             bannerSeconds = 3;
             updateBanners();   // which goes
         },
         "choose menu-move menu-move menu-move menu-move defend@0,4 banner banner"},
        {"steps onto water, and a Flier's onto an electric square",
         [] {
             battleMap[3][2].terrain = 4;
             battleMap[4][1].terrain = 5;
             Unit* fighter = placeUnit<Fighter>(1, 3, 1);
             startStepping(*fighter);
             press({KEY_RIGHT, KEY_INSERT});
             glide();
             press({KEY_HOME, KEY_HOME});   // out of stepping, and the menu closed
             startStepping(*placeUnit<Flier>(1, 5, 1));
             press({KEY_UP, KEY_INSERT});
             glide();
         },
         "choose choose step4@3,2 choose choose step5@4,1"},
    };
    for (const auto& s : scenes) {
        SCOPED_TRACE(s.scene);
        resetBattleState();
        loadUniformMap(7, 7, 1);
        frameSeconds = 1 / 60.0f;
        startPlaying();
        pendingCues.clear();
        captureOutput(s.act);
        EXPECT_EQ(heard(), s.heard);
    }
}

TEST_F(CueTest, UntakenCuesAreBounded) {
    for (int i = 0; i < 3 * PENDING_CUES_LIMIT; i++) noteCue(CUE_HIT);
    EXPECT_EQ(pendingCues.size(), static_cast<size_t>(PENDING_CUES_LIMIT));
}
