// tools/soundgen/soundgen.cpp — makes every sound of the game into the given sounds folder
//
// Run by the build as `soundgen <run>/sounds`. Each sound is synthesised
// here from tones, noise and plucked strings, nothing recorded; the output is
// the same bytes on every run.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/soundgen/synth.h"

namespace {

// ---- steps: two footfalls within the glide across one square ----

constexpr float SECOND_FOOT = 0.17f;

Track grassStep() {
    Track t(0.34f);
    for (float foot : {0.0f, SECOND_FOOT}) {
        Hiss swish;   // blades brushing past
        swish.start = foot; swish.length = 0.15f; swish.from = 2600; swish.to = 1700; swish.q = 0.6f;
        swish.level = 0.8f; swish.attack = 0.03f; swish.decay = 0.05f;
        swish.seed = 11 + static_cast<uint32_t>(foot * 100);
        addHiss(t, swish);
        addTone(t, {foot, 0.08f, 95, 60, 0.25f, 0.003f, 0.03f});
    }
    finish(t, 0.35f);
    return t;
}

Track mountainStep() {
    Track t(0.36f);
    for (float foot : {0.0f, SECOND_FOOT}) {
        addTone(t, {foot, 0.1f, 130, 70, 0.6f, 0.002f, 0.035f});
        Hiss grit;   // scree shifting under the foot
        grit.start = foot; grit.length = 0.16f; grit.from = grit.to = 1900; grit.q = 1.6f;
        grit.level = 1.6f; grit.attack = 0.002f; grit.decay = 0.06f; grit.crackle = 90;
        grit.seed = 21 + static_cast<uint32_t>(foot * 100);
        addHiss(t, grit);
        addTone(t, {foot + 0.035f, 0.04f, 2700, 2600, 0.12f, 0.001f, 0.008f});   // a pebble knocked loose
        addTone(t, {foot + 0.07f, 0.04f, 3300, 3250, 0.08f, 0.001f, 0.007f});
    }
    finish(t, 0.4f);
    return t;
}

Track desertStep() {
    Track t(0.34f);
    for (float foot : {0.0f, SECOND_FOOT}) {
        Hiss crunch;   // grains of sand: many tiny bursts, high and dry
        crunch.start = foot; crunch.length = 0.15f; crunch.from = 5200; crunch.to = 4200; crunch.q = 1.1f;
        crunch.level = 2.2f; crunch.attack = 0.012f; crunch.decay = 0.06f; crunch.crackle = 400;
        crunch.seed = 31 + static_cast<uint32_t>(foot * 100);
        addHiss(t, crunch);
        addTone(t, {foot, 0.06f, 80, 60, 0.12f, 0.004f, 0.025f});
    }
    finish(t, 0.5f);
    return t;
}

Track waterStep() {
    Track t(0.38f);
    for (float foot : {0.0f, SECOND_FOOT}) {
        Hiss splash;
        splash.start = foot; splash.length = 0.17f; splash.from = 3200; splash.to = 700; splash.q = 1.4f;
        splash.level = 1.2f; splash.attack = 0.004f; splash.decay = 0.07f;
        splash.seed = 41 + static_cast<uint32_t>(foot * 100);
        addHiss(t, splash);
        // Bubbles: short chirps that rise as they close.
        addTone(t, {foot + 0.04f, 0.045f, 420, 950, 0.3f, 0.004f, 0.02f});
        addTone(t, {foot + 0.085f, 0.04f, 560, 1200, 0.22f, 0.004f, 0.018f});
    }
    finish(t, 0.38f);
    return t;
}

Track electricStep() {
    Track t(0.34f);
    for (float foot : {0.0f, SECOND_FOOT}) {
        Tone buzz{foot, 0.13f, 240, 200, 0.3f, 0.003f, 0.05f, 12};   // a hum that jumps to the foot
        buzz.vibratoHz = 31; buzz.vibratoDepth = 0.04f;
        addTone(t, buzz);
        Hiss sparks;
        sparks.start = foot; sparks.length = 0.14f; sparks.from = sparks.to = 4500; sparks.q = 0.9f;
        sparks.level = 1.4f; sparks.attack = 0.001f; sparks.decay = 0.05f; sparks.crackle = 120;
        sparks.seed = 51 + static_cast<uint32_t>(foot * 100);
        addHiss(t, sparks);
    }
    finish(t, 0.42f);
    return t;
}

Track chaosStep() {
    Track t(0.36f);
    for (float foot : {0.0f, SECOND_FOOT}) {
        // Two voices sliding past each other, wobbling: nothing stays put here.
        Tone up{foot, 0.15f, 290, 540, 0.3f, 0.01f, 0.08f, 3, true, 13, 0.06f};
        Tone down{foot, 0.15f, 480, 250, 0.3f, 0.01f, 0.08f, 3, true, 9, 0.07f};
        addTone(t, up);
        addTone(t, down);
        addTone(t, {foot, 0.07f, 85, 55, 0.3f, 0.003f, 0.03f});
    }
    finish(t, 0.34f);
    return t;
}

// ---- the classes' attacks ----

void addWhoosh(Track& t, float start, float length, float from, float to, float level, uint32_t seed) {
    Hiss air;
    air.start = start; air.length = length; air.from = from; air.to = to; air.q = 2.2f;
    air.level = level; air.attack = length * 0.35f; air.decay = length * 0.3f; air.seed = seed;
    addHiss(t, air);
}

// The lead arrow: the bowstring's twang and the arrow leaving.
Track bowShot() {
    Track t(0.55f);
    addPluck(t, 0, 98, 0.7f, 0.07f, 61);
    addWhoosh(t, 0.02f, 0.35f, 1400, 3200, 0.9f, 62);
    finish(t, 0.55f);
    return t;
}

// Fifty arrows: a ripple of bowstrings, then a rain of whooshes.
Track volley() {
    Track t(1.3f);
    const float plucks[][2] = {{0.0f, 92}, {0.035f, 104}, {0.08f, 97}, {0.12f, 110}, {0.16f, 88}};
    int seed = 70;
    for (const auto& p : plucks) addPluck(t, p[0], p[1], 0.45f, 0.06f, seed++);
    // Each arrow passes high and falls in pitch as it goes.
    for (int i = 0; i < 14; i++) {
        const float start = 0.05f + 0.06f * i + 0.015f * (i % 3);
        addWhoosh(t, start, 0.22f, 4800 - 150 * (i % 5), 1300 + 90 * (i % 3), 0.5f, seed++);
    }
    finish(t, 0.6f);
    return t;
}

// The Fighter's lunge: a blade cutting the air, ringing as it turns.
Track lunge() {
    Track t(0.75f);
    Hiss cut;
    cut.length = 0.32f; cut.from = 700; cut.to = 4800; cut.q = 2.5f;
    cut.level = 1.3f; cut.attack = 0.13f; cut.decay = 0.06f; cut.seed = 81;
    addHiss(t, cut);
    for (float f : {2310.0f, 3370.0f, 4810.0f})   // steel: partials that are no harmonic series
        addTone(t, {0.1f, 0.6f, f, f * 0.995f, 0.09f, 0.002f, 0.18f});
    addTone(t, {0, 0.1f, 110, 70, 0.3f, 0.003f, 0.03f});   // the stamp of the lunging foot
    finish(t, 0.65f);
    return t;
}

// The Flier's swoop: wingbeats of air, then its lightning crackling.
Track swoop() {
    Track t(0.95f);
    Hiss wings;
    wings.length = 0.6f; wings.from = 280; wings.to = 1300; wings.q = 0.8f;
    wings.level = 1.3f; wings.attack = 0.25f; wings.decay = 0.14f; wings.seed = 91;
    addHiss(t, wings);
    Hiss crackle;
    crackle.start = 0.25f; crackle.length = 0.65f; crackle.from = crackle.to = 6000; crackle.q = 0.7f;
    crackle.level = 1.3f; crackle.attack = 0.01f; crackle.decay = 0.22f; crackle.crackle = 140;
    crackle.seed = 92;
    addHiss(t, crackle);
    addTone(t, {0.3f, 0.55f, 72, 64, 0.18f, 0.02f, 0.2f, 10});
    finish(t, 0.6f);
    return t;
}

// The Healer's heal: bells climbing a major chord, with a shimmer over them.
Track heal() {
    Track t(1.3f);
    const float notes[] = {1046.5f, 1318.5f, 1568.0f, 2093.0f};
    for (int i = 0; i < 4; i++) {
        const float start = 0.12f * i;
        addTone(t, {start, 1.3f - start, notes[i], notes[i], 0.3f, 0.004f, 0.3f});
        addTone(t, {start, 0.6f, notes[i] * 2.76f, notes[i] * 2.76f, 0.06f, 0.002f, 0.08f});
    }
    Hiss shimmer;
    shimmer.length = 1.1f; shimmer.from = 7000; shimmer.to = 9000; shimmer.q = 3;
    shimmer.level = 0.5f; shimmer.attack = 0.3f; shimmer.decay = 0.3f; shimmer.seed = 101;
    addHiss(t, shimmer);
    finish(t, 0.5f);
    return t;
}

// The Mage's spell: a charge that climbs and wavers while the bolt flies.
Track spell() {
    Track t(1.3f);
    Tone charge{0, 1.3f, 220, 880, 0.45f, 0.25f, 3.0f, 4, true, 7, 0.03f};
    addTone(t, charge);
    Tone fifth{0.1f, 1.2f, 330, 1320, 0.2f, 0.25f, 3.0f, 2, false, 5.5f, 0.025f};
    addTone(t, fifth);
    Hiss sparkle;
    sparkle.length = 1.3f; sparkle.from = 4000; sparkle.to = 7500; sparkle.q = 1.2f;
    sparkle.level = 1.2f; sparkle.attack = 0.4f; sparkle.decay = 2.0f; sparkle.crackle = 45;
    sparkle.seed = 111;
    addHiss(t, sparkle);
    finish(t, 0.5f);
    return t;
}

// The explosion at the target: a boom that rolls away, crackling.
Track explosion() {
    Track t(1.6f);
    addTone(t, {0, 0.9f, 75, 28, 0.8f, 0.004f, 0.3f});
    Hiss blast;
    blast.filter = LOW_PASS; blast.length = 1.4f; blast.from = 3200; blast.to = 180; blast.q = 0.8f;
    blast.level = 0.9f; blast.attack = 0.003f; blast.decay = 0.35f; blast.seed = 121;
    addHiss(t, blast);
    Hiss debris;
    debris.start = 0.05f; debris.length = 1.5f; debris.from = debris.to = 1500; debris.q = 0.9f;
    debris.level = 1.2f; debris.attack = 0.05f; debris.decay = 0.45f; debris.crackle = 50; debris.seed = 122;
    addHiss(t, debris);
    finish(t, 0.8f);
    return t;
}

// ---- what a blow comes to ----

Track hit() {
    Track t(0.35f);
    Hiss smack;
    smack.length = 0.12f; smack.from = smack.to = 1300; smack.q = 0.9f;
    smack.level = 1.8f; smack.attack = 0.001f; smack.decay = 0.025f; smack.seed = 131;
    addHiss(t, smack);
    addTone(t, {0, 0.3f, 170, 65, 0.8f, 0.002f, 0.07f});
    finish(t, 0.7f);
    return t;
}

// A whiff through empty air, and two notes falling: nothing came of it.
Track miss() {
    Track t(0.5f);
    addWhoosh(t, 0, 0.25f, 2400, 6500, 1.0f, 141);
    addTone(t, {0.18f, 0.12f, 520, 510, 0.2f, 0.005f, 0.08f, 3, true});
    addTone(t, {0.3f, 0.2f, 390, 370, 0.2f, 0.005f, 0.1f, 3, true});
    finish(t, 0.5f);
    return t;
}

// A unit falling: a groan that sinks, then the body hitting the ground.
Track fall() {
    Track t(1.15f);
    Tone groan{0, 0.75f, 300, 85, 0.5f, 0.03f, 0.5f, 5, true, 5, 0.02f};
    addTone(t, groan);
    addTone(t, {0.72f, 0.4f, 95, 40, 0.9f, 0.002f, 0.1f});
    Hiss thud;
    thud.filter = LOW_PASS; thud.start = 0.72f; thud.length = 0.3f; thud.from = 900; thud.to = 300;
    thud.level = 0.8f; thud.attack = 0.001f; thud.decay = 0.06f; thud.seed = 151;
    addHiss(t, thud);
    finish(t, 0.65f);
    return t;
}

// Defend: a shield raised and struck into place.
Track defend() {
    Track t(0.8f);
    const float partials[][2] = {{523, 0.3f}, {1247, 0.2f}, {1966, 0.14f}, {2891, 0.09f}};
    for (const auto& p : partials) addTone(t, {0.03f, 0.77f, p[0], p[0], p[1], 0.002f, 0.25f});
    addTone(t, {0, 0.12f, 110, 80, 0.4f, 0.004f, 0.05f});
    finish(t, 0.5f);
    return t;
}

// ---- the screen's own sounds, heard from no place on the board ----

// The turn banner: two notes of a horn, a fourth apart.
Track banner() {
    Track t(0.9f);
    addTone(t, {0, 0.3f, 392, 392, 0.4f, 0.03f, 1.0f, 6});
    addTone(t, {0.28f, 0.62f, 523.3f, 523.3f, 0.4f, 0.03f, 0.5f, 6});
    finish(t, 0.45f);
    return t;
}

// The victory: a rising call of three notes, then the whole chord held.
Track victory() {
    Track t(2.4f);
    const float call[] = {523.3f, 659.3f, 784.0f};
    for (int i = 0; i < 3; i++) addTone(t, {0.15f * i, 0.16f, call[i], call[i], 0.3f, 0.02f, 1.0f, 6});
    for (float f : {523.3f, 659.3f, 784.0f, 1046.5f}) addTone(t, {0.45f, 1.95f, f, f, 0.2f, 0.03f, 1.2f, 6});
    addTone(t, {0.45f, 0.6f, 65, 60, 0.6f, 0.003f, 0.15f});   // a drum under the chord
    finish(t, 0.6f);
    return t;
}

Track menuMove() {
    Track t(0.09f);
    addTone(t, {0, 0.09f, 1400, 1400, 0.5f, 0.002f, 0.025f});
    finish(t, 0.22f);
    return t;
}

Track menuChoose() {
    Track t(0.2f);
    addTone(t, {0, 0.08f, 880, 880, 0.5f, 0.002f, 0.035f});
    addTone(t, {0.06f, 0.14f, 1320, 1320, 0.5f, 0.002f, 0.045f});
    finish(t, 0.25f);
    return t;
}

struct Recipe {
    const char* file;   // under the sounds folder
    Track (*make)();
};

const Recipe RECIPES[] = {
    {"step-grass.wav", grassStep},
    {"step-mountain.wav", mountainStep},
    {"step-desert.wav", desertStep},
    {"step-water.wav", waterStep},
    {"step-electric.wav", electricStep},
    {"step-chaos.wav", chaosStep},
    {"bowshot.wav", bowShot},
    {"volley.wav", volley},
    {"lunge.wav", lunge},
    {"swoop.wav", swoop},
    {"heal.wav", heal},
    {"spell.wav", spell},
    {"explosion.wav", explosion},
    {"hit.wav", hit},
    {"miss.wav", miss},
    {"fall.wav", fall},
    {"defend.wav", defend},
    {"banner.wav", banner},
    {"victory.wav", victory},
    {"menu-move.wav", menuMove},
    {"menu-choose.wav", menuChoose},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: soundgen <sounds folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (const Recipe& recipe : RECIPES) {
        const std::filesystem::path path = folder / recipe.file;
        if (!writeWave(recipe.make(), path.string())) {
            std::fprintf(stderr, "soundgen: cannot write %s\n", path.string().c_str());
            return 1;
        }
    }
    return 0;
}
