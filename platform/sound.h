// The sound system: decoded MP3 sounds played on mixed channels, and the
// spectrum of what is playing.
//
// init opens the output at the mixing rate, stereo, through SDL audio, which
// mixes on its own thread and keeps playing whatever window has the focus.
// Where no audio device can be opened it prints one warning on stderr and
// falls back to SDL's silent dummy output; init fails only when neither can
// start. On the dummy output (chosen or fallen back to) the mix follows the
// high-resolution clock, so silent playback keeps real time.
//
// openStream and loadSample decode an MP3 (any rate, mono or stereo) to
// stereo float frames at the mixing rate. openStream decodes on a thread of
// its own and returns after a quick scan of the file; loadSample decodes the
// whole file before it returns. Both return null when the file cannot be
// opened or holds no decodable audio; a damaged file plays what can be
// decoded. Frames the decoder has not reached yet play as silence.
//
// Channels 0..channelCount-1: play starts a sound from its first frame,
// volume 0..255 is the gain volume/255, positions are frame offsets into the
// decoded sound. Volume steps and position jumps are smoothed over
// kRampFrames so they do not click. A channel stops at the end of its sound.
//
// spectrum() is the spectrum (platform/band_magnitudes.h) of the audio that is
// audible now: the most recent 1024 frames handed to the output, each the
// mono mix (L + R) / 2 of all channels after their volumes. spectrumAt() is
// the same computation over a decoded sound at volume 255: the 1024 frames
// before the given position, so it reads what spectrum() reads while that
// sound plays alone at full volume on a channel whose position is the same.
// Both return a pointer to the system's own 512 floats, valid until the next
// call of either.
//
// All functions are called from one thread.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/band_magnitudes.h"

namespace platform {

constexpr int kMixRate = 44100;
constexpr int kRampFrames = 256;

class Sound;
struct SoundSystemState;

class SoundSystem {
 public:
  SoundSystem();
  ~SoundSystem();
  SoundSystem(const SoundSystem&) = delete;
  SoundSystem& operator=(const SoundSystem&) = delete;

  // Opens the output; false when no output, not even the silent one, can start.
  bool init(int mixRate, int channelCount);
  // The sound stays owned by the system until close.
  Sound* openStream(const char* path);
  Sound* loadSample(const char* path);

  void play(int channel, Sound* sound);
  void setVolume(int channel, int volume);
  void setPosition(int channel, int64_t frame);
  // A paused channel fades out over kRampFrames and then stands still at its
  // position; unpaused, it fades in and plays on from there.
  void setPaused(int channel, bool paused);
  // The next frame the channel hands to the output.
  int64_t position(int channel) const;
  bool isPlaying(int channel) const;

  const float* spectrum();
  // Waits, where needed, until the decoder has reached the position.
  const float* spectrumAt(const Sound* sound, int64_t frame);

  // Stops all sound, ends the decoders and releases the output. Safe to repeat.
  void close();

 private:
  std::unique_ptr<SoundSystemState> state_;
  float bands_[kSpectrumBands] = {};
};

// The number of frames of a decoded sound: its full length once decoding has
// finished, until then the length the file announces.
int64_t soundLength(const Sound* sound);
// Blocks until the sound is fully decoded.
void waitDecoded(const Sound* sound);

}  // namespace platform
