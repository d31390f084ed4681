// tools/soundgen/synth.h — what the sounds are made of: a mono track, tones,
// filtered noise, plucked strings, and the 16-bit WAV writer
//
// Times are seconds from the start of the track, frequencies hertz, levels
// fractions of full scale. Everything is deterministic: noise comes from
// fixed seeds, so every build writes the same bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr int SAMPLE_RATE = 44100;

struct Track {
    std::vector<float> samples;
    explicit Track(float seconds);
};

// A tone built from its harmonics (1 is a sine; more give a brassy, band-
// limited saw, or with oddOnly a hollow reed), gliding exponentially from
// `from` to `to` over its length. It rises over `attack`, then dies away
// with the time constant `decay`, and is faded out over the last quarter of
// its length (10 to 150 ms).
struct Tone {
    float start = 0, length = 0.2f;
    float from = 440, to = 440;
    float level = 0.5f;
    float attack = 0.005f, decay = 0.1f;
    int   harmonics = 1;
    bool  oddOnly = false;
    float vibratoHz = 0, vibratoDepth = 0;   // depth as a fraction of the frequency
};
void addTone(Track& track, const Tone& tone);

enum FilterKind { BAND_PASS, LOW_PASS, HIGH_PASS };

// Noise through a resonant filter whose corner glides from `from` to `to`.
// With crackle > 0 the noise comes in that many short random bursts a
// second instead of a steady hiss.
struct Hiss {
    float start = 0, length = 0.2f;
    FilterKind filter = BAND_PASS;
    float from = 1000, to = 1000;
    float q = 0.7f;
    float level = 0.5f;
    float attack = 0.005f, decay = 0.1f;
    float crackle = 0;
    uint32_t seed = 1;
};
void addHiss(Track& track, const Hiss& hiss);

// A plucked string (a bowstring): a burst of noise circulating in a delay
// line one period long, losing its highs on every pass.
void addPluck(Track& track, float start, float frequency, float level, float decay, uint32_t seed);

// Scales the track so its loudest sample is `peak`, and fades it in over
// 5 ms and out over 20 ms so that it starts and ends at silence.
void finish(Track& track, float peak);

// 16-bit PCM, one channel, SAMPLE_RATE; false when the file cannot be written.
bool writeWave(const Track& track, const std::string& path);
