// The sound system: channels mixed on SDL's audio thread, the spectrum of the
// last mixed frames, and the spectrum of a decoded sound at any position.
#include "platform/sound.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound_decoder.h"

namespace platform {

namespace {

struct Channel {
  const Sound* sound = nullptr;
  bool playing = false;
  int64_t position = 0;
  float gain = 1.0f;  // moves towards targetGain by at most 1/kRampFrames per frame
  float targetGain = 1.0f;
  bool paused = false;  // fades to silence, then stands still
  // After a jump the old read position fades out over kRampFrames.
  int64_t fadePosition = 0;
  int fadeLeft = 0;
};

}  // namespace

struct SoundSystemState {
  int mixRate = kMixRate;
  SDL_AudioDeviceID device = 0;
  std::vector<std::unique_ptr<Sound>> sounds;
  // Shared with the audio thread: touched only while the device is locked.
  std::vector<Channel> channels;
  float history[kSpectrumWindow] = {};  // mono mix, a ring; next points at the oldest
  int next = 0;
  // The silent dummy output paces itself only roughly (a few per cent slow
  // under load); with it the mixer follows the clock and mixes the frames it
  // is behind into a scratch buffer, so the music keeps time with the show.
  bool followClock = false;
  Uint64 firstCallback = 0;
  int64_t framesMixed = 0;
  std::vector<float> scratch;
};

namespace {

// One frame of a sound, silent outside what has been decoded.
void readFrame(const Sound& sound, int64_t ready, int64_t frame, float& left, float& right) {
  if (frame < 0 || frame >= ready) {
    left = right = 0.0f;
    return;
  }
  left = sound.samples[frame * 2];
  right = sound.samples[frame * 2 + 1];
}

void mixChannel(Channel& channel, float* out, int frames) {
  const Sound& sound = *channel.sound;
  // finished first: once it is set, decoded holds the final length.
  const bool complete = sound.finished.load(std::memory_order_acquire);
  const int64_t ready = sound.decoded.load(std::memory_order_acquire);
  const int64_t end = complete ? ready : sound.capacity;
  const float step = 1.0f / kRampFrames;
  const float targetGain = channel.paused ? 0.0f : channel.targetGain;
  for (int i = 0; i < frames; ++i) {
    if (channel.paused && channel.gain == 0.0f && channel.fadeLeft == 0) return;
    if (channel.position >= end && channel.fadeLeft == 0) {
      channel.playing = false;
      return;
    }
    float left, right;
    readFrame(sound, ready, channel.position, left, right);
    if (channel.fadeLeft > 0) {
      float oldLeft, oldRight;
      readFrame(sound, ready, channel.fadePosition, oldLeft, oldRight);
      const float w = channel.fadeLeft * step;
      left = left * (1.0f - w) + oldLeft * w;
      right = right * (1.0f - w) + oldRight * w;
      ++channel.fadePosition;
      --channel.fadeLeft;
    }
    if (channel.gain < targetGain)
      channel.gain = std::min(targetGain, channel.gain + step);
    else if (channel.gain > targetGain)
      channel.gain = std::max(targetGain, channel.gain - step);
    out[2 * i] += left * channel.gain;
    out[2 * i + 1] += right * channel.gain;
    ++channel.position;
  }
}

// Mixes every playing channel into frames of stereo float output (clamped
// to full scale) and keeps the unclamped mono mix for the spectrum.
void mixFrames(SoundSystemState& state, float* out, int frames) {
  std::fill(out, out + 2 * frames, 0.0f);
  for (Channel& channel : state.channels)
    if (channel.playing) mixChannel(channel, out, frames);
  for (int i = 0; i < frames; ++i) {
    state.history[state.next] = (out[2 * i] + out[2 * i + 1]) * 0.5f;
    state.next = (state.next + 1) % kSpectrumWindow;
    out[2 * i] = std::clamp(out[2 * i], -1.0f, 1.0f);
    out[2 * i + 1] = std::clamp(out[2 * i + 1], -1.0f, 1.0f);
  }
  state.framesMixed += frames;
}

// The frames the clock says are due that have not been mixed yet;
// at most one second's worth at a time.
int64_t framesBehind(SoundSystemState& state) {
  const Uint64 now = SDL_GetPerformanceCounter();
  if (state.firstCallback == 0) state.firstCallback = now;
  const double elapsed = static_cast<double>(now - state.firstCallback) /
                         static_cast<double>(SDL_GetPerformanceFrequency());
  const int64_t due = static_cast<int64_t>(elapsed * state.mixRate);
  return std::clamp<int64_t>(due - state.framesMixed, 0, state.mixRate);
}

// SDL's audio callback.
void mixCallback(void* userdata, Uint8* stream, int length) {
  auto& state = *static_cast<SoundSystemState*>(userdata);
  const int frames = length / static_cast<int>(2 * sizeof(float));
  if (state.followClock) {
    const int chunk = static_cast<int>(state.scratch.size() / 2);
    for (int64_t behind = framesBehind(state); behind > 0 && chunk > 0; behind -= chunk)
      mixFrames(state, state.scratch.data(), static_cast<int>(std::min<int64_t>(behind, chunk)));
  }
  mixFrames(state, reinterpret_cast<float*>(stream), frames);
}

// Starts SDL audio and opens the default output; 0 on failure, with SDL's
// reason in SDL_GetError.
SDL_AudioDeviceID openOutput(SoundSystemState& state) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
  SDL_AudioSpec wanted{};
  wanted.freq = state.mixRate;
  wanted.format = AUDIO_F32SYS;
  wanted.channels = 2;
  wanted.samples = 1024;
  wanted.callback = mixCallback;
  wanted.userdata = &state;
  SDL_AudioSpec obtained{};
  // No changes allowed: SDL converts to whatever the device wants.
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (device == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  const char* driver = SDL_GetCurrentAudioDriver();
  state.followClock = driver && std::string(driver) == "dummy";
  state.scratch.assign(2 * static_cast<size_t>(obtained.samples), 0.0f);
  return device;
}

// Locks the audio thread out of the channels for the scope's duration.
class DeviceLock {
 public:
  explicit DeviceLock(SDL_AudioDeviceID device) : device_(device) {
    if (device_) SDL_LockAudioDevice(device_);
  }
  ~DeviceLock() {
    if (device_) SDL_UnlockAudioDevice(device_);
  }
  DeviceLock(const DeviceLock&) = delete;
  DeviceLock& operator=(const DeviceLock&) = delete;

 private:
  SDL_AudioDeviceID device_;
};

}  // namespace

SoundSystem::SoundSystem() : state_(std::make_unique<SoundSystemState>()) {}

SoundSystem::~SoundSystem() { close(); }

bool SoundSystem::init(int mixRate, int channelCount) {
  if (state_->device) return true;
  state_->mixRate = mixRate;
  state_->channels.assign(static_cast<size_t>(std::max(channelCount, 0)), Channel{});
  state_->device = openOutput(*state_);
  if (!state_->device) {
    std::fprintf(stderr, "Sound: no audio device could be opened (%s); playing silently.\n",
                 SDL_GetError());
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    state_->device = openOutput(*state_);
    if (!state_->device) return false;
  }
  SDL_PauseAudioDevice(state_->device, 0);
  return true;
}

Sound* SoundSystem::openStream(const char* path) {
  std::unique_ptr<Sound> sound = openSound(path, state_->mixRate);
  if (!sound) return nullptr;
  startDecoding(*sound);
  state_->sounds.push_back(std::move(sound));
  return state_->sounds.back().get();
}

Sound* SoundSystem::loadSample(const char* path) {
  std::unique_ptr<Sound> sound = openSound(path, state_->mixRate);
  if (!sound) return nullptr;
  decodeNow(*sound);
  if (sound->decoded == 0) return nullptr;
  state_->sounds.push_back(std::move(sound));
  return state_->sounds.back().get();
}

void SoundSystem::play(int channel, Sound* sound) {
  if (channel < 0 || channel >= static_cast<int>(state_->channels.size()) || !sound) return;
  DeviceLock lock(state_->device);
  Channel& target = state_->channels[channel];
  target.sound = sound;
  target.playing = true;
  target.position = 0;
  target.fadeLeft = 0;
  target.paused = false;
  target.gain = target.targetGain;
}

void SoundSystem::setVolume(int channel, int volume) {
  if (channel < 0 || channel >= static_cast<int>(state_->channels.size())) return;
  DeviceLock lock(state_->device);
  state_->channels[channel].targetGain = std::clamp(volume, 0, 255) / 255.0f;
}

void SoundSystem::setPosition(int channel, int64_t frame) {
  if (channel < 0 || channel >= static_cast<int>(state_->channels.size())) return;
  DeviceLock lock(state_->device);
  Channel& target = state_->channels[channel];
  // Only an audible channel needs the old place faded out; a silent paused
  // one stays exactly where it was put.
  if (target.playing && target.gain > 0.0f) {
    target.fadePosition = target.position;
    target.fadeLeft = kRampFrames;
  }
  target.position = std::max<int64_t>(frame, 0);
  // A channel that ran off the end plays again from a position inside its sound.
  if (target.sound) target.playing = true;
}

void SoundSystem::setPaused(int channel, bool paused) {
  if (channel < 0 || channel >= static_cast<int>(state_->channels.size())) return;
  DeviceLock lock(state_->device);
  state_->channels[channel].paused = paused;
}

int64_t SoundSystem::position(int channel) const {
  if (channel < 0 || channel >= static_cast<int>(state_->channels.size())) return 0;
  DeviceLock lock(state_->device);
  return state_->channels[channel].position;
}

bool SoundSystem::isPlaying(int channel) const {
  if (channel < 0 || channel >= static_cast<int>(state_->channels.size())) return false;
  DeviceLock lock(state_->device);
  return state_->channels[channel].playing;
}

const float* SoundSystem::spectrum() {
  float window[kSpectrumWindow];
  {
    DeviceLock lock(state_->device);
    const int next = state_->next;
    std::copy(state_->history + next, state_->history + kSpectrumWindow, window);
    std::copy(state_->history, state_->history + next, window + (kSpectrumWindow - next));
  }
  computeSpectrum(window, bands_);
  return bands_;
}

const float* SoundSystem::spectrumAt(const Sound* sound, int64_t frame) {
  float window[kSpectrumWindow] = {};
  if (sound) {
    const int64_t needed = std::min(frame, sound->capacity);
    while (!sound->finished.load(std::memory_order_acquire) &&
           sound->decoded.load(std::memory_order_acquire) < needed)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const int64_t ready = sound->decoded.load(std::memory_order_acquire);
    for (int n = 0; n < kSpectrumWindow; ++n) {
      float left, right;
      readFrame(*sound, ready, frame - kSpectrumWindow + n, left, right);
      window[n] = (left + right) * 0.5f;
    }
  }
  computeSpectrum(window, bands_);
  return bands_;
}

void SoundSystem::close() {
  if (state_->device) {
    SDL_CloseAudioDevice(state_->device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    state_->device = 0;
  }
  state_->channels.clear();
  state_->sounds.clear();
  std::fill(std::begin(state_->history), std::end(state_->history), 0.0f);
  state_->next = 0;
  state_->firstCallback = 0;
  state_->framesMixed = 0;
}

int64_t soundLength(const Sound* sound) {
  if (!sound) return 0;
  return sound->finished.load(std::memory_order_acquire)
             ? sound->decoded.load(std::memory_order_acquire)
             : sound->capacity;
}

void waitDecoded(const Sound* sound) {
  while (sound && !sound->finished.load(std::memory_order_acquire))
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace platform
