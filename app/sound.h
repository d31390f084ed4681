// app/sound.h — the battle heard: each cue the rules note, played where it happens
//
// OpenAL places every sound at its spot on the board and hears it from the
// camera, so a blow on the left of the view sounds on the left; several mix.
// Without an audio device the game plays on in silence.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr int DEFAULT_VOLUME = 100;
extern int  soundVolume;   // 0 … 100: the loudness of everything, KESTRAVA_VOLUME
extern bool soundMuted;    // o: nothing is heard and nothing new starts

// The volume KESTRAVA_VOLUME asks for: a whole number from 0 to 100. Without
// the setting, or with one that is not such a number (said on standard
// error), the default.
int volumeSetting(const char* setting);

// The system's audio device, and every sound read from the folder. False when
// there is no device or a sound cannot be read: said once on standard error,
// and the game stays silent.
bool startSound(const std::string& folder);
// The same on a device that plays into memory instead of a sound card
// (ALC_SOFT_loopback); renderSound hands out the mix.
bool startLoopbackSound(const std::string& folder);
void renderSound(float* stereo, int frames);   // the next frames of the mix, left and right in turn, 44100 a second
void stopSound();

// Once a frame: the ear to the camera, every pending cue started, the list
// emptied (also when nothing can be heard, so that it never grows).
void updateSound();
void toggleMute();

// A sound file as the generator writes it: 16-bit PCM, one channel. False for
// anything else, or for a file cut short.
bool readWave(const std::string& path, std::vector<int16_t>& samples, int& rate);
