// Building blocks of the soundtrack synthesiser: a seeded noise source,
// band-limited oscillators, a state-variable filter, a one-pole smoother,
// note frequencies, the peak between samples and the stereo sample buffer
// every voice renders into.
// Everything is plain arithmetic on floats and doubles, so a render gives
// the same samples on every run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace synth {

constexpr int kSampleRate = 44100;
constexpr double kPi = 3.14159265358979323846;

// A stereo signal as two equally long channels.
struct StereoBuffer {
  std::vector<float> left;
  std::vector<float> right;

  explicit StereoBuffer(size_t frames = 0) : left(frames, 0.0f), right(frames, 0.0f) {}
  size_t frames() const { return left.size(); }
};

// Adds `source` scaled by `gain` into `target` (same length).
void mixInto(StereoBuffer& target, const StereoBuffer& source, float gain);

// xorshift32 noise: a fixed seed gives a fixed sequence.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
  uint32_t nextBits() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // Uniform in [-1, 1).
  float bipolar() { return static_cast<float>(nextBits() >> 8) * (2.0f / 16777216.0f) - 1.0f; }
  // Uniform in [0, 1).
  float unit() { return static_cast<float>(nextBits() >> 8) * (1.0f / 16777216.0f); }

 private:
  uint32_t state_;
};

// Frequency in Hz of a MIDI note number (69 = A4 = 440 Hz).
double noteHz(double midiNote);

// Correction that removes the step discontinuity of a naive oscillator at
// phase t (0..1) advancing dt per sample.
inline double polyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

// Band-limited sawtooth in [-1, 1] at phase (0..1) with increment dt.
inline double sawBlep(double phase, double dt) { return 2.0 * phase - 1.0 - polyBlep(phase, dt); }

// Band-limited square with 50 % duty cycle.
inline double squareBlep(double phase, double dt) {
  double half = phase + 0.5;
  if (half >= 1.0) half -= 1.0;
  return (phase < 0.5 ? 1.0 : -1.0) + polyBlep(phase, dt) - polyBlep(half, dt);
}

// Phase accumulator for one oscillator.
struct Phase {
  double value = 0.0;
  double step = 0.0;
  void setHz(double hz) { step = hz / kSampleRate; }
  void advance() {
    value += step;
    if (value >= 1.0) value -= 1.0;
  }
};

// Zero-delay-feedback state-variable filter (trapezoidal integration): stable
// under fast cutoff sweeps, with simultaneous low, band and high outputs.
class Svf {
 public:
  // cutoffHz is clamped below Nyquist; resonance 0 (none) .. ~0.95 (ringing).
  void set(double cutoffHz, double resonance);
  void process(float input) {
    float v3 = input - ic2_;
    float v1 = a1_ * ic1_ + a2_ * v3;
    float v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0f * v1 - ic1_;
    ic2_ = 2.0f * v2 - ic2_;
    low = v2;
    band = v1;
    high = input - k_ * v1 - v2;
  }
  float low = 0.0f, band = 0.0f, high = 0.0f;

 private:
  float ic1_ = 0.0f, ic2_ = 0.0f;
  float a1_ = 1.0f, a2_ = 0.0f, a3_ = 0.0f, k_ = 2.0f;
};

// One-pole low-pass, used for smoothing and gentle tone shaping.
struct OnePole {
  float state = 0.0f;
  float coefficient = 0.0f;
  void setHz(double hz);
  float low(float input) {
    state += coefficient * (input - state);
    return state;
  }
};

// The largest magnitude of `x` at sample n and a quarter, a half and three
// quarters of the way to sample n + 1 (windowed-sinc interpolation, zeros
// outside the channel): the peak a four-times oversampled copy shows there.
double peakAround(const std::vector<float>& x, long n);

// Equal-power pan gains for pan in [-1 (left), 1 (right)].
void panGains(float pan, float& left, float& right);

}  // namespace synth
