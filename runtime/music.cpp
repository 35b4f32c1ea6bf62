// The show's music on the sound system: start-up with its failure messages,
// the per-frame spectrum, the end-fade volume, seeking and closing.
#include "runtime/music.h"

#include "platform/platform.h"
#include "platform/sound.h"
#include "runtime/demo_state.h"

namespace {

constexpr int kSoftwareChannels = 32;
constexpr int kMusicChannel = 1;
constexpr int kSfxChannel = 2;
constexpr int kSfxVolume = 200;
constexpr const char* kMusicFile = "music//Kelvane - Tessaly.mp3";
constexpr const char* kSfxFile = "music//Brindle Shell sfx.mp3";
constexpr const char* kBoxTitle = "Ravok  ";

platform::SoundSystem& soundSystem() {
  static platform::SoundSystem system;
  return system;
}

platform::Sound* musicStream = nullptr;
bool offlineSpectrum = false;
platform::Sound* sfxSample = nullptr;

LoadFailure failStart(const char* text) { return {kBoxTitle, text}; }

}  // namespace

std::optional<LoadFailure> startMusic(bool withSfx) {
  platform::SoundSystem& sound = soundSystem();
  if (!sound.init(platform::kMixRate, kSoftwareChannels))
    return failStart("Problem initializing FMod. \nProgram will now exit.");
  musicStream = sound.openStream(kMusicFile);
  if (!musicStream) return failStart("Problem initializing FMod. \nNo sound file.");
  if (withSfx) {
    sfxSample = sound.loadSample(kSfxFile);
    if (!sfxSample) return failStart("Problem initializing FMod. \nNo sfx file.");
  }
  sound.play(kMusicChannel, musicStream);
  if (withSfx) sound.play(kSfxChannel, sfxSample);
  sound.setVolume(kMusicChannel, 255);
  if (withSfx) sound.setVolume(kSfxChannel, kSfxVolume);
  sound.setPosition(kMusicChannel, 0);
  return std::nullopt;
}

void updateSpectrum(DemoState& demo) {
  demo.spectrumSource = offlineSpectrum ? spectrumAtTime(demo.demoTime) : soundSystem().spectrum();
}

void useOfflineSpectrum(bool offline) { offlineSpectrum = offline; }

void setMusicVolume(int volume) { soundSystem().setVolume(kMusicChannel, volume); }

const char* musicFileName() { return kMusicFile; }

int musicSampleOffset(double t) { return static_cast<int>(t * platform::kMixRate); }

void seekMusic(double t) { soundSystem().setPosition(kMusicChannel, musicSampleOffset(t)); }

void closeMusic() {
  soundSystem().close();
  musicStream = nullptr;
  sfxSample = nullptr;
}

const float* spectrumAtTime(double t) {
  return soundSystem().spectrumAt(musicStream, musicSampleOffset(t));
}
