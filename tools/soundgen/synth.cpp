// tools/soundgen/synth.cpp — tones, filtered noise, plucked strings, the finish and the WAV writer
#include "tools/soundgen/synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float PI = 3.14159265f;

// xorshift32: small, fast, and the same sequence everywhere. A small seed
// would start it on a run of tiny numbers (a thump at -1), so the seed is
// spread over all the bits and the first draws are thrown away.
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state((seed * 2654435761u) ^ 0x9e3779b9u) {
        if (!state) state = 1;
        for (int i = 0; i < 8; i++) next();
    }
    float next() {   // -1 … 1
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }
};

// Rises over attack along half a cosine, falls exponentially after it, and
// closes along half a cosine over the last quarter of its length (10 to
// 150 ms), so that nothing stops short.
float envelope(float t, float length, float attack, float decay) {
    float level = t < attack ? 0.5f - 0.5f * std::cos(PI * t / attack) : std::exp(-(t - attack) / decay);
    const float release = std::clamp(length / 4, 0.01f, 0.15f);
    if (t > length - release) level *= 0.5f + 0.5f * std::cos(PI * std::min(1.0f, (t - (length - release)) / release));
    return level;
}

// An exponential glide: equal steps of pitch in equal times.
float glide(float from, float to, float fraction) { return from * std::pow(to / from, fraction); }

// A two-pole filter (the usual audio cookbook's), its corner moved every sample.
struct Biquad {
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    float run(float x, FilterKind kind, float corner, float q) {
        const float w = 2 * PI * std::min(corner, 0.45f * SAMPLE_RATE) / SAMPLE_RATE;
        const float c = std::cos(w), alpha = std::sin(w) / (2 * q);
        float b0, b1, b2;
        switch (kind) {
            case BAND_PASS: b0 = alpha; b1 = 0; b2 = -alpha; break;
            case LOW_PASS: b0 = (1 - c) / 2; b1 = 1 - c; b2 = (1 - c) / 2; break;
            default: b0 = (1 + c) / 2; b1 = -(1 + c); b2 = (1 + c) / 2; break;
        }
        const float a0 = 1 + alpha, a1 = -2 * c, a2 = 1 - alpha;
        const float y = (b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2) / a0;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

int firstSample(float start) { return static_cast<int>(start * SAMPLE_RATE); }

}  // namespace

Track::Track(float seconds) : samples(static_cast<size_t>(seconds * SAMPLE_RATE), 0.0f) {}

void addTone(Track& track, const Tone& tone) {
    const int begin = firstSample(tone.start);
    const int count = firstSample(tone.length);
    double phase = 0;   // in turns
    for (int i = 0; i < count && begin + i < static_cast<int>(track.samples.size()); i++) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        float frequency = glide(tone.from, tone.to, t / tone.length);
        frequency *= 1 + tone.vibratoDepth * std::sin(2 * PI * tone.vibratoHz * t);
        phase += frequency / SAMPLE_RATE;
        float value = 0;
        for (int k = 1, n = 0; n < tone.harmonics; k += tone.oddOnly ? 2 : 1, n++) {
            if (k * frequency >= 0.45f * SAMPLE_RATE) break;   // nothing above what the file can hold
            value += std::sin(static_cast<float>(2 * PI * std::fmod(phase * k, 1.0))) / k;
        }
        track.samples[begin + i] += tone.level * value * envelope(t, tone.length, tone.attack, tone.decay);
    }
}

void addHiss(Track& track, const Hiss& hiss) {
    Noise noise(hiss.seed);
    Biquad filter;
    const int begin = firstSample(hiss.start);
    const int count = firstSample(hiss.length);
    int burstLeft = 0;
    float burstLevel = 0;
    for (int i = 0; i < count && begin + i < static_cast<int>(track.samples.size()); i++) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        float source = noise.next();
        if (hiss.crackle > 0) {
            if (burstLeft == 0 && (noise.next() + 1) / 2 < hiss.crackle / SAMPLE_RATE) {
                burstLeft = static_cast<int>((1 + 3 * (noise.next() + 1) / 2) * SAMPLE_RATE / 1000);
                burstLevel = 0.3f + 0.35f * (noise.next() + 1);
            }
            source = burstLeft > 0 ? source * burstLevel : 0;
            if (burstLeft > 0) burstLeft--;
        }
        const float corner = glide(hiss.from, hiss.to, t / hiss.length);
        const float value = filter.run(source, hiss.filter, corner, hiss.q);
        track.samples[begin + i] += hiss.level * value * envelope(t, hiss.length, hiss.attack, hiss.decay);
    }
}

void addPluck(Track& track, float start, float frequency, float level, float decay, uint32_t seed) {
    Noise noise(seed);
    const int period = std::max(2, static_cast<int>(std::lround(SAMPLE_RATE / frequency)));
    std::vector<float> line(period);
    float previous = 0;
    for (float& v : line) {   // a softened burst: the string is plucked with a finger, not a pick
        const float fresh = noise.next();
        v = (fresh + previous) / 2;
        previous = fresh;
    }
    const float loss = std::exp(-period / (decay * SAMPLE_RATE));
    const int begin = firstSample(start);
    const int count = firstSample(decay * 6);
    for (int i = 0; i < count && begin + i < static_cast<int>(track.samples.size()); i++) {
        const int at = i % period;
        const float out = line[at];
        line[at] = loss * 0.5f * (out + line[(at + 1) % period]);
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        track.samples[begin + i] += level * out * envelope(t, decay * 6, 0.0005f, 1e9f);
    }
}

void finish(Track& track, float peak) {
    float loudest = 0;
    for (float v : track.samples) loudest = std::max(loudest, std::fabs(v));
    const float gain = loudest > 0 ? peak / loudest : 0;
    const int n = static_cast<int>(track.samples.size());
    const int fadeIn = firstSample(0.005f), fadeOut = firstSample(0.020f);
    for (int i = 0; i < n; i++) {
        float g = gain;
        if (i < fadeIn) g *= 0.5f - 0.5f * std::cos(PI * i / fadeIn);
        const int fromEnd = n - 1 - i;
        if (fromEnd < fadeOut) g *= 0.5f - 0.5f * std::cos(PI * fromEnd / fadeOut);
        track.samples[i] *= g;
    }
}

bool writeWave(const Track& track, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const uint32_t dataBytes = static_cast<uint32_t>(track.samples.size() * 2);
    std::vector<uint8_t> bytes;
    auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; i++) bytes.push_back((v >> (8 * i)) & 0xff); };
    auto put16 = [&](uint32_t v) { for (int i = 0; i < 2; i++) bytes.push_back((v >> (8 * i)) & 0xff); };
    auto tag = [&](const char* t) { bytes.insert(bytes.end(), t, t + 4); };
    tag("RIFF");
    put32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);                 // PCM
    put16(1);                 // one channel
    put32(SAMPLE_RATE);
    put32(SAMPLE_RATE * 2);   // bytes a second
    put16(2);                 // bytes a frame
    put16(16);                // bits a sample
    tag("data");
    put32(dataBytes);
    for (float v : track.samples) {
        const long s = std::lround(std::clamp(v, -1.0f, 1.0f) * 32767);
        put16(static_cast<uint16_t>(static_cast<int16_t>(s)));
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
