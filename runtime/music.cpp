// The show's music on the sound system: start-up with its failure messages,
// the per-frame spectrum, the end-fade volume, seeking and closing.
#include "runtime/music.h"

#include <cstdio>
#include <string>

#include "core/data_file.h"
#include "platform/platform.h"

namespace {

constexpr int kSoftwareChannels = 32;
constexpr int kMusicChannel = 1;
constexpr int kSfxChannel = 2;
constexpr int kSfxVolume = 200;
constexpr const char* kMusicFile = "music//Kelvane - Tessaly.mp3";
constexpr const char* kSfxFile = "music//Brindle Shell sfx.mp3";
constexpr const char* kBoxTitle = "Ravok  ";

LoadFailure failStart(const char* text) { return {kBoxTitle, text}; }

// The spectrum before the music starts: silence.
const float* silentSpectrum() {
  static const float silence[platform::kSpectrumBands] = {};
  return silence;
}

// The music as a stream or the sound effect as a sample; null, after saying
// on standard error the file, its folder and why, when it cannot be played.
// Only a regular file is opened: a FIFO would block the open.
platform::Sound* openSoundFile(platform::SoundSystem& sound, const char* path, bool sample) {
  std::string why;
  platform::Sound* opened = nullptr;
  if (isRegularDataFile(path, why)) {
    opened = sample ? sound.loadSample(path) : sound.openStream(path);
    if (!opened) why = "it cannot be read or holds no decodable MP3 audio";
  }
  if (!opened) std::fprintf(stderr, "%s\n", dataFileProblem(path, why).c_str());
  return opened;
}

}  // namespace

std::optional<LoadFailure> startMusic(Music& music, bool withSfx) {
  music.sound = std::make_unique<platform::SoundSystem>();
  platform::SoundSystem& sound = *music.sound;
  if (!sound.init(platform::kMixRate, kSoftwareChannels))
    return failStart("Problem initializing FMod. \nProgram will now exit.");
  music.stream = openSoundFile(sound, kMusicFile, false);
  if (!music.stream) return failStart("Problem initializing FMod. \nNo sound file.");
  if (withSfx) {
    music.sfx = openSoundFile(sound, kSfxFile, true);
    if (!music.sfx) return failStart("Problem initializing FMod. \nNo sfx file.");
  }
  sound.play(kMusicChannel, music.stream);
  if (withSfx) sound.play(kSfxChannel, music.sfx);
  sound.setVolume(kMusicChannel, 255);
  if (withSfx) sound.setVolume(kSfxChannel, kSfxVolume);
  sound.setPosition(kMusicChannel, 0);
  return std::nullopt;
}

void updateSpectrum(Music& music, double t) {
  if (!music.sound)
    music.spectrum = silentSpectrum();
  else
    music.spectrum = music.offlineSpectrum ? spectrumAtTime(music, t) : music.sound->spectrum();
}

void useOfflineSpectrum(Music& music, bool offline) { music.offlineSpectrum = offline; }

void setMusicVolume(Music& music, int volume) {
  if (music.sound) music.sound->setVolume(kMusicChannel, volume);
}

const char* musicFileName() { return kMusicFile; }

int musicSampleOffset(double t) { return static_cast<int>(t * platform::kMixRate); }

void seekMusic(Music& music, double t) {
  if (music.sound) music.sound->setPosition(kMusicChannel, musicSampleOffset(t));
}

void pauseMusic(Music& music, bool paused) {
  if (music.sound) music.sound->setPaused(kMusicChannel, paused);
}

double musicPosition(const Music& music) {
  if (!music.sound) return 0.0;
  return static_cast<double>(music.sound->position(kMusicChannel)) / platform::kMixRate;
}

void closeMusic(Music& music) {
  if (music.sound) music.sound->close();
  music.sound.reset();
  music.stream = nullptr;
  music.sfx = nullptr;
}

const float* spectrumAtTime(Music& music, double t) {
  if (!music.sound) return silentSpectrum();
  return music.sound->spectrumAt(music.stream, musicSampleOffset(t));
}
