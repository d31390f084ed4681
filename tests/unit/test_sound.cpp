// tests/unit/test_sound.cpp — the sounds the build makes, and the mix OpenAL makes of them, rendered
// into memory through a loopback device (no sound card)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/camera.h"
#include "app/sound.h"
#include "rules/behaviour.h"
#include "rules/combat.h"
#include "rules/cues.h"
#include "tests/unit/rules_keys.h"
#include "tests/support/window_link_fake.h"

namespace {

constexpr int RATE = 44100, FRAME_SAMPLES = RATE / 60;   // samples a frame at 60 frames a second
const std::string SOUNDS = std::string(RUN_DIR) + "/sounds";

std::vector<float> sound(const std::string& name) {
    std::vector<int16_t> samples;
    int rate = 0;
    EXPECT_TRUE(readWave(SOUNDS + "/" + name, samples, rate)) << name;
    EXPECT_EQ(rate, RATE) << name;
    std::vector<float> values;
    for (int16_t s : samples) values.push_back(s / 32768.0f);
    return values;
}

struct Mix {
    std::vector<float> left, right;
    float loudest() const {
        float peak = 0;
        for (const auto* ear : {&left, &right})
            for (float v : *ear) peak = std::max(peak, std::fabs(v));
        return peak;
    }
};

double energy(const std::vector<float>& ear) {
    double sum = 0;
    for (float v : ear) sum += v * v;
    return sum;
}

// How closely the mix from `start` on follows the sound, both ears together:
// 1 when it is that sound alone at some loudness, near 0 for another sound.
// A sound starts at the first sample rendered after the frame that noted it.
double likeness(const Mix& mix, size_t start, const std::vector<float>& expected) {
    double both = 0, heard = 0, made = 0;
    for (size_t i = 0; i < expected.size() && start + i < mix.left.size(); i++) {
        const double m = mix.left[start + i] + mix.right[start + i];
        both += m * expected[i];
        heard += m * m;
        made += expected[i] * expected[i];
    }
    return heard > 0 && made > 0 ? both / std::sqrt(heard * made) : 0;
}

}  // namespace

class SoundTest : public BattleTest {
protected:
    void SetUp() override {
        BattleTest::SetUp();
        freshBattle();
    }
    void TearDown() override {
        stopSound();
        BattleTest::TearDown();
    }

    // A fresh battle on a 12 × 16 grass map, heard through a fresh device:
    // nothing left playing, full volume, not muted.
    static void freshBattle() {
        stopSound();
        resetBattleState();
        ASSERT_TRUE(startLoopbackSound(SOUNDS));
        loadUniformMap(12, 16, 1);
        frameSeconds = 1 / 60.0f;
    }

    // Frames of the game, each heard as the window hears it, appended to the mix.
    static void play(int frames, Mix& mix) {
        std::vector<float> block(2 * FRAME_SAMPLES);
        for (int f = 0; f < frames; f++) {
            captureOutput(drawnFrame);
            updateSound();
            renderSound(block.data(), FRAME_SAMPLES);
            for (int i = 0; i < FRAME_SAMPLES; i++) {
                mix.left.push_back(block[2 * i]);
                mix.right.push_back(block[2 * i + 1]);
            }
        }
    }

    // The unit of player 1 on (row, col) takes the menu entry (1 attack, 2
    // its class action) and aims it at an enemy Archer `reach` columns to its
    // right; the blow, a hit, is launched, and is all there is to hear.
    template <class T> static void strikeFrom(int row, int col, int entry = 1, int reach = 1) {
        startPlaying();
        Unit* unit = placeUnit<T>(1, row, col);
        placeUnit<Archer>(2, row, col + reach);
        chooseEntry(*unit, entry);
        for (int i = 0; i < reach; i++) press(KEY_RIGHT);
        seedForRoll(95, 100);
        pendingCues.clear();
        captureOutput([] { press(KEY_INSERT); });
    }
};

// Every sound fits its moment (a step its glide), stays below full scale, and fades in and
// out from a zero sample, its first and last millisecond far below its peak: no clicks.
TEST(Sounds, EverySoundIsShortUnclippedAndStartsAndEndsQuietly) {
    const struct { const char* name; float longest; } sounds[] = {
        {"step-grass.wav", 0.4f}, {"step-mountain.wav", 0.4f}, {"step-desert.wav", 0.4f},
        {"step-water.wav", 0.4f}, {"step-electric.wav", 0.4f}, {"step-chaos.wav", 0.4f},
        {"bowshot.wav", 1}, {"volley.wav", 1.5f}, {"lunge.wav", 1}, {"swoop.wav", 1},
        {"heal.wav", 1.5f}, {"spell.wav", 1.5f}, {"explosion.wav", 1.8f}, {"hit.wav", 0.5f},
        {"miss.wav", 0.6f}, {"fall.wav", 1.5f}, {"defend.wav", 1}, {"banner.wav", 1},
        {"victory.wav", 2.5f}, {"menu-move.wav", 0.15f}, {"menu-choose.wav", 0.25f},
    };
    const int edge = RATE / 1000;
    for (const auto& s : sounds) {
        SCOPED_TRACE(s.name);
        const std::vector<float> samples = sound(s.name);
        ASSERT_GT(samples.size(), static_cast<size_t>(4 * edge));
        EXPECT_LE(samples.size(), static_cast<size_t>(s.longest * RATE));
        EXPECT_LT(std::fabs(samples.front()) + std::fabs(samples.back()), 0.001f);
        float peak = 0, ends = 0;
        for (size_t i = 0; i < samples.size(); i++) {
            peak = std::max(peak, std::fabs(samples[i]));
            if (i < static_cast<size_t>(edge) || i >= samples.size() - edge) ends = std::max(ends, std::fabs(samples[i]));
        }
        EXPECT_LT(peak, 0.9f);
        EXPECT_GT(peak, 0.1f);
        EXPECT_LT(ends, 0.1f * peak) << "of a peak of " << peak;
    }
}

// The reader takes only what the generator writes: whole 16-bit PCM, one channel.
TEST(Sounds, AFileThatIsNotOneOfOurSoundsIsRefused) {
    std::ifstream in(SOUNDS + "/hit.wav", std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const struct { const char* what; std::function<std::string(std::string)> spoil; } files[] = {
        {"empty", [](std::string) { return std::string(); }},
        {"not RIFF", [](std::string f) { return f.replace(0, 4, "RIFX"); }},
        {"two channels", [](std::string f) { return f.replace(22, 1, "\2"); }},
        {"8 bits a sample", [](std::string f) { return f.replace(34, 1, "\10"); }},
        {"compressed", [](std::string f) { return f.replace(20, 1, "\3"); }},
        {"data before its format", [](std::string f) { return f.replace(12, 4, "junk"); }},
        {"cut short", [](std::string f) { return f.substr(0, f.size() - 100); }},
        {"cut in its header", [](std::string f) { return f.substr(0, 30); }},
    };
    const std::string path = testing::TempDir() + "kestrava-sound.wav";
    for (const auto& f : files) {
        SCOPED_TRACE(f.what);
        std::ofstream(path, std::ios::binary) << f.spoil(good);
        std::vector<int16_t> samples;
        int rate = 0;
        EXPECT_FALSE(readWave(path, samples, rate));
    }
    std::ofstream(path, std::ios::binary) << good;
    std::vector<int16_t> samples;
    int rate = 0;
    EXPECT_TRUE(readWave(path, samples, rate));
    EXPECT_EQ(samples.size(), (good.size() - 44) / 2);
    std::remove(path.c_str());
}

// A missing sound leaves the game silent, said once; the cues are still taken each frame.
TEST_F(BattleTest, AMissingSoundLeavesTheGameSilentAndSaysSo) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(startLoopbackSound(testing::TempDir() + "no-sounds-here"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "No sound: " + testing::TempDir() + "no-sounds-here/step-grass.wav is missing or not a sound this "
              "game made.\n");
    noteCue(CUE_HIT);
    updateSound();
    EXPECT_TRUE(pendingCues.empty());
}

// KESTRAVA_VOLUME: a whole number from 0 to 100; anything else keeps 100 and says why.
TEST(Sounds, TheVolumeSettingTakesWholeNumbersFrom0To100) {
    const struct { const char* setting; int volume; bool complaint; } settings[] = {
        {nullptr, 100, false}, {"", 100, false}, {"0", 0, false}, {"1", 1, false}, {"55", 55, false},
        {"100", 100, false}, {"101", 100, true}, {"-1", 100, true}, {"50%", 100, true}, {"loud", 100, true},
    };
    for (const auto& s : settings) {
        SCOPED_TRACE(s.setting ? s.setting : "unset");
        testing::internal::CaptureStderr();
        EXPECT_EQ(volumeSetting(s.setting), s.volume);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  s.complaint ? "KESTRAVA_VOLUME is not a whole number from 0 to 100; the sound stays at 100.\n" : "");
    }
}

TEST_F(SoundTest, NothingHappeningIsSilent) {
    startPlaying();
    pendingCues.clear();
    Mix mix;
    press({KEY_DOWN, KEY_DOWN, KEY_RIGHT});
    held8 = true;
    play(30, mix);
    EXPECT_EQ(mix.loudest(), 0.0f);
}

// The spell is heard as the bolt sets off; the explosion as it lands and with each burst.
TEST_F(SoundTest, AMagesSpellIsHeardThenEachBurstOfItsExplosion) {
    strikeFrom<Mage>(5, 4, 2, 3);
    const std::vector<float> spell = sound("spell.wav"), explosion = sound("explosion.wav");
    const std::vector<float> spellStart(spell.begin(), spell.begin() + 20 * FRAME_SAMPLES);
    const std::vector<float> burstStart(explosion.begin(), explosion.begin() + RATE / 2);
    Mix mix;
    play(20, mix);
    EXPECT_GT(likeness(mix, 0, spellStart), 0.95);
    EXPECT_LT(likeness(mix, 0, burstStart), 0.3);

    // The bolt arrives, then every 1.8 s a stage of the magic restarts the burst.
    std::vector<size_t> stages;   // where in the mix each began
    for (int f = 0; f < 2000 && attackAnimating; f++) {
        const bool bolt = boltActive;
        const int stage = actionCounter;
        play(1, mix);
        if ((bolt && !boltActive) || actionCounter > stage) stages.push_back(mix.left.size() - FRAME_SAMPLES);
    }
    play(30, mix);
    ASSERT_EQ(stages.size(), 6u);
    for (size_t i = 0; i < 5; i++) EXPECT_GT(likeness(mix, stages[i], burstStart), 0.9) << "burst " << i;
    // The sixth restart closes the magic the next update: its burst is never seen, and not heard.
    EXPECT_LT(likeness(mix, stages[5], burstStart), 0.3);
}

// A blow is louder in the ear on its side of the view; player 1's camera swaps the sides.
TEST_F(SoundTest, ABlowIsHeardOnItsSideOfTheView) {
    const struct { int column, camera; bool leftLouder; } blows[] = {
        {1, 2, true}, {13, 2, false}, {1, 1, false}, {13, 1, true},
    };
    for (const auto& b : blows) {
        SCOPED_TRACE("column " + std::to_string(b.column) + ", player " + std::to_string(b.camera) + "'s view");
        freshBattle();
        windowWidth = 800;
        windowHeight = 600;
        placeCameraAtHome(b.camera);
        strikeFrom<Fighter>(8, b.column);
        Mix mix;
        play(40, mix);
        const double left = energy(mix.left), right = energy(mix.right);
        ASSERT_GT(left + right, 0);
        EXPECT_GT(b.leftLouder ? left / right : right / left, 2.0) << left << " left, " << right << " right";
    }
}

// Muted, nothing is heard, not even what was playing, and nothing starts; unmuted, it is again.
TEST_F(SoundTest, VolumeAndMuteSetHowLoudTheBattleIs) {
    const struct { int volume; int mutes; float loudness; } settings[] = {
        {100, 0, 1}, {50, 0, 0.5f}, {1, 0, 0.01f}, {0, 0, 0}, {100, 1, 0}, {100, 2, 1},
    };
    float full = 0;
    for (const auto& s : settings) {
        SCOPED_TRACE("volume " + std::to_string(s.volume) + ", o pressed " + std::to_string(s.mutes) + " times");
        freshBattle();
        soundVolume = s.volume;
        strikeFrom<Fighter>(8, 6);
        for (int i = 0; i < s.mutes; i++) toggleMute();
        Mix mix;
        play(30, mix);
        if (s.volume == 100 && s.mutes == 0) full = mix.loudest();
        ASSERT_GT(full, 0.05f);
        EXPECT_NEAR(mix.loudest() / full, s.loudness, 0.01f);
    }
}

TEST_F(SoundTest, SoundsThatComeTogetherAllPlay) {
    const Cue cues[] = {CUE_HIT, CUE_DEFEND, CUE_LUNGE};
    auto heard = [] {
        Mix mix;
        play(60, mix);
        return energy(mix.left) + energy(mix.right);
    };
    double alone = 0;
    for (Cue cue : cues) {
        freshBattle();
        noteCue(cue, battleMap[5][5].centre);
        alone += heard();
    }
    freshBattle();
    for (Cue cue : cues) noteCue(cue, battleMap[5][5].centre);
    EXPECT_NEAR(heard() / alone, 1, 0.1);
}

TEST_F(SoundTest, EachTerrainSoundsUnderfoot) {
    const char* const steps[10] = {"step-chaos.wav", "step-grass.wav", "step-mountain.wav", "step-desert.wav",
                                   "step-water.wav", "step-electric.wav", "step-chaos.wav", "step-chaos.wav",
                                   "step-chaos.wav", "step-chaos.wav"};
    for (int terrain = 0; terrain <= 9; terrain++) {
        SCOPED_TRACE("terrain " + std::to_string(terrain));
        freshBattle();
        noteCue(CUE_STEP, battleMap[6][6].centre, terrain);
        Mix mix;
        play(30, mix);
        for (const char* name : {"step-grass.wav", "step-mountain.wav", "step-desert.wav", "step-water.wav",
                                 "step-electric.wav", "step-chaos.wav"}) {
            const double like = likeness(mix, 0, sound(name));
            if (std::string(name) == steps[terrain]) EXPECT_GT(like, 0.95) << name;
            else EXPECT_LT(like, 0.5) << name;
        }
    }
}
