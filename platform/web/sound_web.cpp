// The sound system in the browser: Web Audio plays the decoded sounds, its
// clock says where each channel plays, and the spectrum of what plays there
// is computed here from the decoded samples, as the desktop computes it.
//
// The browser decodes MP3 only asynchronously, so the page decodes the data
// pack's sounds before the program starts (Module.decodedSounds, by path);
// openStream and loadSample take the decoded frames from there, and null
// means the file is missing or held no decodable audio. Playback needs the
// page's AudioContext, which a user's click started (Module.audioContext);
// without one that runs, init prints one warning and the channels follow the
// page's clock in silence until the context runs.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sound.h"

namespace platform {

class Sound {
 public:
  std::string path;            // the page's name for it
  std::vector<float> samples;  // interleaved left/right
  int64_t frames = 0;
};

namespace {

struct Channel {
  Sound* sound = nullptr;
  bool playing = false;
  bool paused = false;
  int volume = 255;
  // Where the channel stood at anchorSeconds of the audio clock.
  int64_t anchorFrame = 0;
  double anchorSeconds = 0.0;
};

// The page's side: the decoded sounds, the audio context and one source and
// gain node a channel.
EM_JS(int, jsDecodedFrames, (const char* path), {
  var sounds = Module.decodedSounds || {};
  var buffer = sounds[UTF8ToString(path)];
  return buffer ? buffer.length : -1;
});

EM_JS(void, jsCopyDecoded, (const char* path, float* out, int frames), {
  var buffer = Module.decodedSounds[UTF8ToString(path)];
  var left = buffer.getChannelData(0);
  var right = buffer.numberOfChannels > 1 ? buffer.getChannelData(1) : left;
  var base = out >> 2;
  for (var i = 0; i < frames; ++i) {
    HEAPF32[base + 2 * i] = left[i];
    HEAPF32[base + 2 * i + 1] = right[i];
  }
});

EM_JS(int, jsAudioRuns, (int rate), {
  var context = Module.audioContext;
  return context && context.state == 'running' && context.sampleRate == rate ? 1 : 0;
});

EM_JS(char*, jsAudioState, (), {
  var context = Module.audioContext;
  var text = !context
                 ? 'the page has no audio context'
                 : 'the audio context is ' + context.state + ' at ' + context.sampleRate + ' Hz';
  return stringToNewUTF8(text);
});

EM_JS(double, jsClock, (int audible),
      { return audible ? Module.audioContext.currentTime : performance.now() / 1000; });

EM_JS(void, jsStartChannel, (int channel, const char* path, double offset, double gain), {
  var context = Module.audioContext;
  var nodes = Module.audioChannels = Module.audioChannels || [];
  var node = nodes[channel] = nodes[channel] || {gain : null, source : null};
  if (!node.gain) {
    node.gain = context.createGain();
    node.gain.connect(context.destination);
  }
  if (node.source) node.source.stop();
  node.gain.gain.setValueAtTime(gain, context.currentTime);
  var source = context.createBufferSource();
  source.buffer = Module.decodedSounds[UTF8ToString(path)];
  source.connect(node.gain);
  source.start(0, offset);
  node.source = source;
});

// Fades the channel out over the ramp, then stops it. The fading sound keeps
// its gain node to itself: a sound the channel starts within the ramp gets a
// new one, which the fade's scheduled ramp to silence does not reach.
EM_JS(void, jsStopChannel, (int channel, double ramp), {
  var node = (Module.audioChannels || [])[channel];
  if (!node || !node.source) return;
  var now = Module.audioContext.currentTime;
  var fading = {gain : node.gain, source : node.source};
  var list = Module.audioFading = Module.audioFading || [];
  list.push(fading);
  fading.gain.gain.setValueAtTime(fading.gain.gain.value, now);
  fading.gain.gain.linearRampToValueAtTime(0, now + ramp);
  fading.source.onended = function() {
    fading.gain.disconnect();
    list.splice(list.indexOf(fading), 1);
  };
  fading.source.stop(now + ramp);
  node.gain = null;
  node.source = null;
});

// A stopped channel's next start takes its gain from the channel's volume.
EM_JS(void, jsSetGain, (int channel, double gain, double ramp), {
  var node = (Module.audioChannels || [])[channel];
  if (!node || !node.gain) return;
  var now = Module.audioContext.currentTime;
  node.gain.gain.setValueAtTime(node.gain.gain.value, now);
  node.gain.gain.linearRampToValueAtTime(gain, now + ramp);
});

EM_JS(void, jsStopAll, (), {
  (Module.audioChannels || []).concat(Module.audioFading || []).forEach(function(node) {
    if (node && node.source) node.source.stop();
    if (node && node.gain) node.gain.disconnect();
  });
  Module.audioChannels = [];
  Module.audioFading = [];
});

}  // namespace

struct SoundSystemState {
  int mixRate = kMixRate;
  bool open = false;
  bool audible = false;
  std::vector<std::unique_ptr<Sound>> sounds;
  std::vector<Channel> channels;
};

namespace {

double rampSeconds(const SoundSystemState& state) {
  return static_cast<double>(kRampFrames) / state.mixRate;
}

double now(const SoundSystemState& state) { return jsClock(state.audible ? 1 : 0); }

// Where the channel plays now; a channel that ran off its sound's end stops.
int64_t settle(const SoundSystemState& state, Channel& channel) {
  if (!channel.playing || channel.paused) return channel.anchorFrame;
  const double t = now(state);
  int64_t frame =
      channel.anchorFrame + static_cast<int64_t>((t - channel.anchorSeconds) * state.mixRate);
  if (channel.sound && frame >= channel.sound->frames) {
    frame = channel.sound->frames;
    channel.playing = false;
  }
  channel.anchorFrame = frame;
  channel.anchorSeconds = t;
  return frame;
}

// Makes the page's audio follow the channel: its sound from its anchor while
// it plays, silence otherwise. Nothing is heard without a running context.
void applyPlayback(SoundSystemState& state, int index) {
  Channel& channel = state.channels[index];
  channel.anchorSeconds = now(state);
  if (!state.audible || !channel.sound) return;
  if (!channel.playing || channel.paused || channel.anchorFrame >= channel.sound->frames) {
    jsStopChannel(index, rampSeconds(state));
    return;
  }
  jsStartChannel(index, channel.sound->path.c_str(),
                 static_cast<double>(channel.anchorFrame) / state.mixRate, channel.volume / 255.0);
}

// A show that began in silence is heard from the moment the page's context
// runs (the visitor allowed sound later with a click or a key): every channel
// keeps the place the page's clock gave it and goes on from there on the
// audio clock.
void hearOnceAllowed(SoundSystemState& state) {
  if (state.audible || !state.open || !jsAudioRuns(state.mixRate)) return;
  for (Channel& channel : state.channels) settle(state, channel);
  state.audible = true;
  for (size_t i = 0; i < state.channels.size(); ++i) applyPlayback(state, static_cast<int>(i));
  std::fprintf(stderr, "Sound: the page's audio started; playing with sound.\n");
}

bool valid(const SoundSystemState& state, int channel) {
  return channel >= 0 && channel < static_cast<int>(state.channels.size());
}

void addFrame(const Sound& sound, int64_t frame, float gain, float& mono) {
  if (frame < 0 || frame >= sound.frames) return;
  mono += (sound.samples[frame * 2] + sound.samples[frame * 2 + 1]) * 0.5f * gain;
}

// The page's name of a file: the data pack's folder with single slashes.
std::string pagePath(const char* path) {
  std::string name = "/data/";
  for (const char* c = path; *c; ++c)
    if (*c != '/' || name.back() != '/') name += *c;
  return name;
}

std::unique_ptr<Sound> decodedSound(const char* path) {
  auto sound = std::make_unique<Sound>();
  sound->path = pagePath(path);
  const int frames = jsDecodedFrames(sound->path.c_str());
  if (frames <= 0) return nullptr;
  sound->frames = frames;
  sound->samples.resize(static_cast<size_t>(frames) * 2);
  jsCopyDecoded(sound->path.c_str(), sound->samples.data(), frames);
  return sound;
}

}  // namespace

SoundSystem::SoundSystem() : state_(std::make_unique<SoundSystemState>()) {}

SoundSystem::~SoundSystem() { close(); }

bool SoundSystem::init(int mixRate, int channelCount) {
  if (state_->open) return true;
  state_->mixRate = mixRate;
  state_->channels.assign(static_cast<size_t>(std::max(channelCount, 0)), Channel{});
  state_->audible = jsAudioRuns(mixRate) != 0;
  if (!state_->audible) {
    char* reason = jsAudioState();
    std::fprintf(stderr, "Sound: no audio device could be opened (%s); playing silently.\n",
                 reason);
    free(reason);
  }
  state_->open = true;
  return true;
}

Sound* SoundSystem::openStream(const char* path) {
  std::unique_ptr<Sound> decoded = decodedSound(path);
  if (!decoded) return nullptr;
  state_->sounds.push_back(std::move(decoded));
  return state_->sounds.back().get();
}

Sound* SoundSystem::loadSample(const char* path) { return openStream(path); }

void SoundSystem::play(int channel, Sound* played) {
  if (!valid(*state_, channel) || !played) return;
  Channel& target = state_->channels[channel];
  target.sound = played;
  target.playing = true;
  target.paused = false;
  target.anchorFrame = 0;
  applyPlayback(*state_, channel);
}

void SoundSystem::setVolume(int channel, int volume) {
  if (!valid(*state_, channel)) return;
  state_->channels[channel].volume = std::clamp(volume, 0, 255);
  if (state_->audible)
    jsSetGain(channel, state_->channels[channel].volume / 255.0, rampSeconds(*state_));
}

void SoundSystem::setPosition(int channel, int64_t frame) {
  if (!valid(*state_, channel)) return;
  Channel& target = state_->channels[channel];
  target.anchorFrame = std::max<int64_t>(frame, 0);
  // A channel that ran off the end plays again from a position inside its sound.
  if (target.sound) target.playing = true;
  applyPlayback(*state_, channel);
}

void SoundSystem::setPaused(int channel, bool paused) {
  if (!valid(*state_, channel)) return;
  Channel& target = state_->channels[channel];
  if (target.paused == paused) return;
  settle(*state_, target);
  target.paused = paused;
  applyPlayback(*state_, channel);
}

int64_t SoundSystem::position(int channel) const {
  if (!valid(*state_, channel)) return 0;
  return settle(*state_, state_->channels[channel]);
}

bool SoundSystem::isPlaying(int channel) const {
  if (!valid(*state_, channel)) return false;
  settle(*state_, state_->channels[channel]);
  return state_->channels[channel].playing;
}

// The mono mix of every channel after its volume, the 1024 frames before
// where each plays now.
const float* SoundSystem::spectrum() {
  hearOnceAllowed(*state_);
  float window[kSpectrumWindow] = {};
  for (Channel& channel : state_->channels) {
    if (!channel.sound || !channel.playing || channel.paused) continue;
    const int64_t at = settle(*state_, channel);
    const float gain = channel.volume / 255.0f;
    for (int n = 0; n < kSpectrumWindow; ++n)
      addFrame(*channel.sound, at - kSpectrumWindow + n, gain, window[n]);
  }
  computeSpectrum(window, bands_);
  return bands_;
}

const float* SoundSystem::spectrumAt(const Sound* played, int64_t frame) {
  float window[kSpectrumWindow] = {};
  if (played)
    for (int n = 0; n < kSpectrumWindow; ++n)
      addFrame(*played, frame - kSpectrumWindow + n, 1.0f, window[n]);
  computeSpectrum(window, bands_);
  return bands_;
}

void SoundSystem::close() {
  if (state_->open && state_->audible) jsStopAll();
  state_->open = false;
  state_->audible = false;
  state_->channels.clear();
  state_->sounds.clear();
}

int64_t soundLength(const Sound* sound) { return sound ? sound->frames : 0; }

// The page decoded every sound before the program started.
void waitDecoded(const Sound*) {}

}  // namespace platform

// For the page and its tests: the spectrum the show reads when the decoded
// sound `path` (the page's name) plays alone at full volume at `seconds`,
// through the same sound system; null when the page holds no such sound.
extern "C" EMSCRIPTEN_KEEPALIVE const float* tessaly_spectrum_at(const char* path, double seconds) {
  static platform::SoundSystem probe;
  static std::string opened;
  static platform::Sound* sound = nullptr;
  if (opened != path) {
    probe.close();
    opened = path;
    sound = probe.openStream(path);
  }
  if (!sound) return nullptr;
  return probe.spectrumAt(sound, static_cast<int64_t>(seconds * platform::kMixRate));
}
