// Reverb, echo, ducking, limiting and fading of the mixed soundtrack.
#include "effects.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <deque>

namespace synth {

namespace {

// Feedback comb with a one-pole damping filter in its loop.
class Comb {
 public:
  Comb(size_t length, float feedback, float damping)
      : buffer_(length, 0.0f), feedback_(feedback), damping_(damping) {}
  float process(float input) {
    float output = buffer_[index_];
    store_ = output * (1.0f - damping_) + store_ * damping_;
    buffer_[index_] = input + store_ * feedback_;
    if (++index_ == buffer_.size()) index_ = 0;
    return output;
  }

 private:
  std::vector<float> buffer_;
  size_t index_ = 0;
  float store_ = 0.0f;
  float feedback_;
  float damping_;
};

// Schroeder all-pass diffuser.
class AllPass {
 public:
  explicit AllPass(size_t length) : buffer_(length, 0.0f) {}
  float process(float input) {
    float delayed = buffer_[index_];
    float output = delayed - input;
    buffer_[index_] = input + delayed * 0.5f;
    if (++index_ == buffer_.size()) index_ = 0;
    return output;
  }

 private:
  std::vector<float> buffer_;
  size_t index_ = 0;
};

void reverbChannel(const std::vector<float>& in, std::vector<float>& out, size_t spread,
                   float roomSize, float damping) {
  static const size_t kCombs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
  static const size_t kAllPasses[4] = {556, 441, 341, 225};
  std::vector<Comb> combs;
  for (size_t length : kCombs) combs.emplace_back(length + spread, roomSize, damping);
  std::vector<AllPass> allPasses;
  for (size_t length : kAllPasses) allPasses.emplace_back(length + spread);
  for (size_t i = 0; i < in.size(); ++i) {
    float x = in[i] * 0.015f;
    float sum = 0.0f;
    for (Comb& comb : combs) sum += comb.process(x);
    for (AllPass& pass : allPasses) sum = pass.process(sum);
    out[i] = sum;
  }
}

}  // namespace

StereoBuffer reverb(const StereoBuffer& input, float roomSize, float damping) {
  StereoBuffer wet(input.frames());
  reverbChannel(input.left, wet.left, 0, roomSize, damping);
  reverbChannel(input.right, wet.right, 23, roomSize, damping);
  return wet;
}

StereoBuffer pingPongDelay(const StereoBuffer& input, long delaySamples, float feedback,
                           double toneHz) {
  assert(delaySamples > 0 && "the echo needs a positive delay");
  StereoBuffer wet(input.frames());
  std::vector<float> lineL(delaySamples, 0.0f), lineR(delaySamples, 0.0f);
  OnePole toneL, toneR;
  toneL.setHz(toneHz);
  toneR.setHz(toneHz);
  size_t index = 0;
  for (size_t i = 0; i < input.frames(); ++i) {
    float outL = lineL[index];
    float outR = lineR[index];
    wet.left[i] = outL;
    wet.right[i] = outR;
    // The mono sum enters on the left; each repeat crosses to the other side.
    float in = 0.5f * (input.left[i] + input.right[i]);
    lineL[index] = toneL.low(in + feedback * outR);
    lineR[index] = toneR.low(feedback * outL);
    if (++index == lineL.size()) index = 0;
  }
  return wet;
}

std::vector<float> kickCurve(const std::vector<long>& kickSamples, size_t frames,
                             double recoverySeconds) {
  std::vector<float> curve(frames, 0.0f);
  long recovery = std::lround(recoverySeconds * kSampleRate);
  for (long kick : kickSamples) {
    for (long n = 0; n < recovery && kick + n < static_cast<long>(frames); ++n) {
      if (kick + n < 0) continue;
      // Hold briefly, then recover along a smooth S curve.
      double x = static_cast<double>(n) / recovery;
      double v = x < 0.15 ? 1.0 : 0.5 + 0.5 * std::cos(kPi * (x - 0.15) / 0.85);
      curve[kick + n] = std::max(curve[kick + n], static_cast<float>(v));
    }
  }
  return curve;
}

void duck(StereoBuffer& bus, const std::vector<float>& curve, float depth) {
  assert(curve.size() == bus.frames() && "the ducking curve must match the bus");
  for (size_t i = 0; i < bus.frames(); ++i) {
    float g = 1.0f - depth * curve[i];
    bus.left[i] *= g;
    bus.right[i] *= g;
  }
}

void limit(StereoBuffer& mix, float ceiling, double lookaheadSeconds, double releaseSeconds) {
  const size_t frames = mix.frames();
  const size_t window = std::max<size_t>(1, std::lround(lookaheadSeconds * kSampleRate));
  // Gain each sample needs on its own.
  std::vector<float> need(frames);
  for (size_t i = 0; i < frames; ++i) {
    long n = static_cast<long>(i);
    float peak = static_cast<float>(std::max(peakAround(mix.left, n), peakAround(mix.right, n)));
    // A hair under the ceiling so float rounding of the gain cannot overshoot it.
    need[i] = peak > 0.9999f * ceiling ? 0.9999f * ceiling / peak : 1.0f;
  }
  // Smallest need over the next `window` samples (monotonic deque), then a
  // release that lets the gain rise only slowly.
  const double releaseStep = 1.0 - std::exp(-1.0 / (releaseSeconds * kSampleRate));
  std::vector<float> held(frames);
  std::deque<size_t> candidates;
  size_t next = 0;
  double gain = 1.0;
  for (size_t i = 0; i < frames; ++i) {
    for (; next < frames && next < i + window; ++next) {
      while (!candidates.empty() && need[candidates.back()] >= need[next]) candidates.pop_back();
      candidates.push_back(next);
    }
    while (candidates.front() < i) candidates.pop_front();
    double target = need[candidates.front()];
    // The release approaches 1 and snaps to it once the rest is inaudible,
    // so quiet passages after a peak come back to exactly their own level.
    gain = std::min(target, gain + (1.0 - gain) * releaseStep);
    if (gain > 1.0 - 1e-6) gain = 1.0;
    held[i] = static_cast<float>(gain);
  }
  // A moving average over the window turns the steps into ramps: held[j] for
  // j in [i - window + 1, i] looked ahead as far as i, so each is at most
  // need[i] and so is their average.
  double sum = 0.0;
  std::vector<float> smooth(frames);
  for (size_t i = 0; i < frames; ++i) {
    sum += held[i];
    if (i >= window) sum -= held[i - window];
    size_t count = std::min(i + 1, window);
    smooth[i] = static_cast<float>(sum / count);
  }
  for (size_t i = 0; i < frames; ++i) {
    mix.left[i] *= smooth[i];
    mix.right[i] *= smooth[i];
  }
}

void highShelf(StereoBuffer& mix, double cornerHz, double gainDb) {
  // The shelf of the well-known audio-EQ cookbook with a slope of 1.
  const double a = std::pow(10.0, gainDb / 40.0);
  const double w = 2.0 * kPi * cornerHz / kSampleRate;
  const double cosW = std::cos(w);
  const double alpha = std::sin(w) / 2.0 * std::sqrt(2.0);
  const double root = 2.0 * std::sqrt(a) * alpha;
  const double a0 = (a + 1.0) - (a - 1.0) * cosW + root;
  const double b0 = a * ((a + 1.0) + (a - 1.0) * cosW + root) / a0;
  const double b1 = -2.0 * a * ((a - 1.0) + (a + 1.0) * cosW) / a0;
  const double b2 = a * ((a + 1.0) + (a - 1.0) * cosW - root) / a0;
  const double a1 = 2.0 * ((a - 1.0) - (a + 1.0) * cosW) / a0;
  const double a2 = ((a + 1.0) - (a - 1.0) * cosW - root) / a0;
  for (std::vector<float>* channel : {&mix.left, &mix.right}) {
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    for (float& sample : *channel) {
      double x = sample;
      double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
      x2 = x1, x1 = x, y2 = y1, y1 = y;
      sample = static_cast<float>(y);
    }
  }
}

void lowPass(StereoBuffer& mix, double cornerHz) {
  for (std::vector<float>* channel : {&mix.left, &mix.right}) {
    Svf filter;
    filter.set(cornerHz, 1.0 - 0.5 * std::sqrt(2.0));  // damping sqrt(2): Butterworth
    for (float& sample : *channel) {
      filter.process(sample);
      sample = filter.low;
    }
  }
}

void sweepDown(StereoBuffer& mix, double from, double to, double fromHz, double toHz) {
  const long first =
      std::clamp(std::lround(from * kSampleRate), 0L, static_cast<long>(mix.frames()));
  const long end =
      std::clamp(std::lround(to * kSampleRate), first, static_cast<long>(mix.frames()));
  const long length = std::lround((to - from) * kSampleRate);
  const long fade = kSampleRate / 20;
  // The filter runs over the 50 ms before the stretch at its first corner
  // without changing them, so it starts settled instead of clicking.
  const long preroll = std::min(first, static_cast<long>(kSampleRate / 20));
  for (std::vector<float>* channel : {&mix.left, &mix.right}) {
    Svf filter;
    filter.set(fromHz, 0.3);
    for (long i = first - preroll; i < first; ++i) filter.process((*channel)[i]);
    for (long i = first; i < end; ++i) {
      long n = i - first;
      if (n % 16 == 0)
        filter.set(fromHz * std::pow(toHz / fromHz, static_cast<double>(n) / length), 0.3);
      filter.process((*channel)[i]);
      float g = static_cast<float>(std::min(1.0, static_cast<double>(length - n) / fade));
      (*channel)[i] = g * filter.low;
    }
  }
}

void silence(StereoBuffer& mix, double from, double to) {
  const double fade = 0.02;
  for (size_t i = 0; i < mix.frames(); ++i) {
    double t = static_cast<double>(i) / kSampleRate;
    if (t < from - fade || t >= to) continue;
    float g = static_cast<float>(std::clamp((from - t) / fade, 0.0, 1.0));
    mix.left[i] *= g;
    mix.right[i] *= g;
  }
}

void removeDc(StereoBuffer& mix) {
  const float r = static_cast<float>(1.0 - 2.0 * kPi * 10.0 / kSampleRate);
  for (std::vector<float>* channel : {&mix.left, &mix.right}) {
    float previousIn = 0.0f, previousOut = 0.0f;
    for (float& x : *channel) {
      float y = x - previousIn + r * previousOut;
      previousIn = x;
      previousOut = y;
      x = y;
    }
  }
}

void fadeOut(StereoBuffer& mix, double fadeStart, double fadeEnd) {
  for (size_t i = 0; i < mix.frames(); ++i) {
    double t = static_cast<double>(i) / kSampleRate;
    if (t < fadeStart) continue;
    double x = std::clamp((fadeEnd - t) / (fadeEnd - fadeStart), 0.0, 1.0);
    float g = static_cast<float>(x * x);
    mix.left[i] *= g;
    mix.right[i] *= g;
  }
}

}  // namespace synth
