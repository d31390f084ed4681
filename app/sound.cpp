// app/sound.cpp — OpenAL playback of the generated sounds, placed where the rules say they happen
#include "app/sound.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <iterator>
#include <unistd.h>

#include "app/camera.h"
#include "rules/cues.h"

int  soundVolume = DEFAULT_VOLUME;
bool soundMuted = false;

namespace {

enum SoundId {
    SOUND_STEP_GRASS, SOUND_STEP_MOUNTAIN, SOUND_STEP_DESERT, SOUND_STEP_WATER, SOUND_STEP_ELECTRIC,
    SOUND_STEP_CHAOS, SOUND_BOWSHOT, SOUND_VOLLEY, SOUND_LUNGE, SOUND_SWOOP, SOUND_HEAL, SOUND_SPELL,
    SOUND_EXPLOSION, SOUND_HIT, SOUND_MISS, SOUND_FALL, SOUND_DEFEND, SOUND_BANNER, SOUND_VICTORY,
    SOUND_MENU_MOVE, SOUND_MENU_CHOOSE, SOUND_COUNT
};

// The generator's files, in SoundId order.
const char* const SOUND_FILES[SOUND_COUNT] = {
    "step-grass.wav", "step-mountain.wav", "step-desert.wav", "step-water.wav", "step-electric.wav",
    "step-chaos.wav", "bowshot.wav", "volley.wav", "lunge.wav", "swoop.wav", "heal.wav", "spell.wav",
    "explosion.wav", "hit.wav", "miss.wav", "fall.wav", "defend.wav", "banner.wav", "victory.wav",
    "menu-move.wav", "menu-choose.wav",
};

// A step's sound by the terrain code of the square: 0 and 6–9 are chaos.
const SoundId STEP_SOUNDS[10] = {
    SOUND_STEP_CHAOS, SOUND_STEP_GRASS, SOUND_STEP_MOUNTAIN, SOUND_STEP_DESERT, SOUND_STEP_WATER,
    SOUND_STEP_ELECTRIC, SOUND_STEP_CHAOS, SOUND_STEP_CHAOS, SOUND_STEP_CHAOS, SOUND_STEP_CHAOS,
};

// Each cue's sound, in Cue order; the screen's own are heard from straight ahead.
const struct {
    SoundId sound;
    bool    fromScreen;
} CUE_SOUNDS[] = {
    {SOUND_STEP_GRASS, false},   // CUE_STEP: by terrain, STEP_SOUNDS
    {SOUND_BOWSHOT, false},
    {SOUND_VOLLEY, false},
    {SOUND_LUNGE, false},
    {SOUND_SWOOP, false},
    {SOUND_HEAL, false},
    {SOUND_SPELL, false},
    {SOUND_EXPLOSION, false},
    {SOUND_HIT, false},
    {SOUND_MISS, false},
    {SOUND_FALL, false},
    {SOUND_DEFEND, false},
    {SOUND_BANNER, true},
    {SOUND_VICTORY, true},
    {SOUND_MENU_MOVE, true},
    {SOUND_MENU_CHOOSE, true},
};
static_assert(std::size(CUE_SOUNDS) == CUE_MENU_CHOOSE + 1, "a sound for every cue");

constexpr int MIX_RATE = 44100;
constexpr int SOURCE_COUNT = 32;            // sounds that can play at once
constexpr float HEALER_ATTACK_PITCH = 0.75f;   // the heal's bells, darker, when the Healer strikes
// Within this many world units of the camera a sound is at full strength; at
// twice the distance half as loud. The board lies 10–20 units from the start view.
constexpr float FULL_STRENGTH_DISTANCE = 10;

ALCdevice*  device = nullptr;
ALCcontext* context = nullptr;
ALuint buffers[SOUND_COUNT] = {};
ALuint sources[SOURCE_COUNT] = {};
LPALCRENDERSAMPLESSOFT renderSamples = nullptr;

// Opening the default device asks the system's audio libraries, which on a
// machine without sound (a server, a virtual display) each print their own
// complaints on standard error; the game says it once, in its own words.
ALCdevice* openDeviceQuietly() {
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int quiet = open("/dev/null", O_WRONLY);
    if (saved >= 0 && quiet >= 0) dup2(quiet, STDERR_FILENO);
    ALCdevice* opened = alcOpenDevice(nullptr);
    std::fflush(stderr);
    if (saved >= 0) {
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    if (quiet >= 0) close(quiet);
    return opened;
}

uint32_t littleEndian(const unsigned char* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; i--) value = value << 8 | p[i];
    return value;
}

// Says why there is no sound and lets the device go.
bool refuse(const std::string& why) {
    std::cerr << "No sound: " << why << std::endl;
    stopSound();
    return false;
}

// A context on the opened device, every sound loaded, the sources made.
bool begin(ALCdevice* opened, const ALCint* attributes, const std::string& folder) {
    device = opened;
    context = alcCreateContext(device, attributes);
    if (!context || !alcMakeContextCurrent(context)) return refuse("the audio device would not play.");
    alGenBuffers(SOUND_COUNT, buffers);
    for (int i = 0; i < SOUND_COUNT; i++) {
        const std::string path = folder + "/" + SOUND_FILES[i];
        std::vector<int16_t> samples;
        int rate = 0;
        if (!readWave(path, samples, rate)) return refuse(path + " is missing or not a sound this game made.");
        alBufferData(buffers[i], AL_FORMAT_MONO16, samples.data(), static_cast<ALsizei>(samples.size() * 2), rate);
    }
    alGenSources(SOURCE_COUNT, sources);
    for (ALuint source : sources) {
        alSourcef(source, AL_REFERENCE_DISTANCE, FULL_STRENGTH_DISTANCE);
        alSourcef(source, AL_MAX_DISTANCE, 8 * FULL_STRENGTH_DISTANCE);
    }
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    return alGetError() == AL_NO_ERROR || refuse("the audio device would not play.");
}

// A source not playing anything, or 0 when every one is busy.
ALuint freeSource() {
    for (ALuint source : sources) {
        ALint state = 0;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING) return source;
    }
    return 0;
}

void play(const CueEvent& event) {
    const ALuint source = freeSource();
    if (!source) return;   // the cue is lost among the others
    const auto& cue = CUE_SOUNDS[event.cue];
    SoundId sound = cue.sound;
    if (event.cue == CUE_STEP) sound = STEP_SOUNDS[event.detail >= 0 && event.detail <= 9 ? event.detail : 0];
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffers[sound]));
    alSourcef(source, AL_PITCH, event.cue == CUE_HEAL && event.detail == 0 ? HEALER_ATTACK_PITCH : 1.0f);
    alSourcei(source, AL_SOURCE_RELATIVE, cue.fromScreen ? AL_TRUE : AL_FALSE);
    const Vector at = cue.fromScreen ? Vector() : event.where;
    alSource3f(source, AL_POSITION, at.x, at.y, at.z);
    alSourcePlay(source);
}

// The ear at the camera's eye, facing where it looks, the top of the head up.
void placeListener() {
    Vector eye, centre;
    aimCamera(eye, centre);
    const Vector ahead = centre - eye;
    const ALfloat orientation[6] = {ahead.x, ahead.y, ahead.z, 0, 1, 0};
    alListener3f(AL_POSITION, eye.x, eye.y, eye.z);
    alListenerfv(AL_ORIENTATION, orientation);
    alListenerf(AL_GAIN, soundMuted ? 0.0f : soundVolume / 100.0f);
}

}  // namespace

int volumeSetting(const char* setting) {
    if (!setting || !*setting) return DEFAULT_VOLUME;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(setting, &end, 10);
    if (errno == 0 && *end == '\0' && value >= 0 && value <= 100) return static_cast<int>(value);
    std::cerr << "KESTRAVA_VOLUME is not a whole number from 0 to 100; the sound stays at " << DEFAULT_VOLUME
              << "." << std::endl;
    return DEFAULT_VOLUME;
}

bool startSound(const std::string& folder) {
    ALCdevice* opened = openDeviceQuietly();
    if (!opened) return refuse("no audio device could be opened; the game plays on without it.");
    if (!begin(opened, nullptr, folder)) return false;
    std::atexit(stopSound);   // the quit keys leave through exit
    return true;
}

bool startLoopbackSound(const std::string& folder) {
    auto openLoopback = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    renderSamples = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!openLoopback || !renderSamples) return false;
    ALCdevice* opened = openLoopback(nullptr);
    if (!opened) return false;
    // Plain stereo: each ear's share of a sound set by where it stands, no head model.
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY, MIX_RATE, ALC_HRTF_SOFT, ALC_FALSE, 0};
    return begin(opened, attributes, folder);
}

void renderSound(float* stereo, int frames) {
    if (device && renderSamples) renderSamples(device, stereo, frames);
}

void stopSound() {
    if (context) {
        alDeleteSources(SOURCE_COUNT, sources);
        alDeleteBuffers(SOUND_COUNT, buffers);
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
    }
    if (device) alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
    for (ALuint& source : sources) source = 0;
    for (ALuint& buffer : buffers) buffer = 0;
}

void updateSound() {
    if (context) {
        placeListener();
        if (!soundMuted)
            for (const CueEvent& event : pendingCues) play(event);
    }
    pendingCues.clear();
}

void toggleMute() {
    soundMuted = !soundMuted;
    if (soundMuted && context)
        for (ALuint source : sources) alSourceStop(source);
}

bool readWave(const std::string& path, std::vector<int16_t>& samples, int& rate) {
    samples.clear();
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t size = bytes.size();
    if (size < 12 || std::string(bytes.begin(), bytes.begin() + 4) != "RIFF" ||
        std::string(bytes.begin() + 8, bytes.begin() + 12) != "WAVE")
        return false;
    bool formatSeen = false;
    for (size_t at = 12; at + 8 <= size;) {
        const std::string id(bytes.begin() + at, bytes.begin() + at + 4);
        const uint32_t length = littleEndian(&bytes[at + 4], 4);
        const unsigned char* body = &bytes[at + 8];
        if (length > size - at - 8) return false;
        if (id == "fmt ") {
            if (length < 16) return false;
            const bool pcm = littleEndian(body, 2) == 1, mono = littleEndian(body + 2, 2) == 1;
            rate = static_cast<int>(littleEndian(body + 4, 4));
            if (!pcm || !mono || littleEndian(body + 14, 2) != 16 || rate < 8000 || rate > 192000) return false;
            formatSeen = true;
        } else if (id == "data") {
            if (!formatSeen || length % 2 != 0 || length == 0) return false;
            for (uint32_t i = 0; i < length; i += 2)
                samples.push_back(static_cast<int16_t>(littleEndian(body + i, 2)));
            return true;
        }
        at += 8 + length + length % 2;   // chunks keep to even offsets
    }
    return false;
}
