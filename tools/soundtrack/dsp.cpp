// Note frequencies, filter coefficients, the peak between samples, panning and
// mixing for the synthesiser.
#include "dsp.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace synth {

void mixInto(StereoBuffer& target, const StereoBuffer& source, float gain) {
  assert(target.frames() == source.frames() && "mixInto needs equally long buffers");
  for (size_t i = 0; i < target.frames(); ++i) {
    target.left[i] += gain * source.left[i];
    target.right[i] += gain * source.right[i];
  }
}

double noteHz(double midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0); }

void Svf::set(double cutoffHz, double resonance) {
  double cutoff = std::clamp(cutoffHz, 10.0, 0.45 * kSampleRate);
  double g = std::tan(kPi * cutoff / kSampleRate);
  double k = 2.0 - 2.0 * std::clamp(resonance, 0.0, 0.98);
  a1_ = static_cast<float>(1.0 / (1.0 + g * (g + k)));
  a2_ = static_cast<float>(g * a1_);
  a3_ = static_cast<float>(g * a2_);
  k_ = static_cast<float>(k);
}

void OnePole::setHz(double hz) {
  coefficient = static_cast<float>(1.0 - std::exp(-2.0 * kPi * hz / kSampleRate));
}

double peakAround(const std::vector<float>& x, long n) {
  constexpr int kHalf = 12;  // taps on each side of the point
  struct Taps {
    double h[3][2 * kHalf];
    Taps() {
      for (int p = 1; p <= 3; ++p) {
        double sum = 0.0;
        for (int k = -kHalf + 1; k <= kHalf; ++k) {
          double d = p / 4.0 - k;  // distance from sample n + k to the point n + p/4
          double w = 0.5 + 0.5 * std::cos(kPi * d / (kHalf + 0.5));
          h[p - 1][k + kHalf - 1] = std::sin(kPi * d) / (kPi * d) * w;
          sum += h[p - 1][k + kHalf - 1];
        }
        for (double& tap : h[p - 1]) tap /= sum;  // unit gain at DC
      }
    }
  };
  static const Taps taps;
  // The 2 * kHalf samples around the point, zeros outside the channel.
  const long size = static_cast<long>(x.size());
  const long first = n - kHalf + 1;
  double window[2 * kHalf];
  for (int k = 0; k < 2 * kHalf; ++k) {
    long i = first + k;
    window[k] = i >= 0 && i < size ? x[i] : 0.0;
  }
  double peak = std::fabs(x[n]);
  for (int p = 0; p < 3; ++p) {
    double v = 0.0;
    for (int k = 0; k < 2 * kHalf; ++k) v += taps.h[p][k] * window[k];
    peak = std::max(peak, std::fabs(v));
  }
  return peak;
}

void panGains(float pan, float& left, float& right) {
  double angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * 0.25 * kPi;
  left = static_cast<float>(std::cos(angle));
  right = static_cast<float>(std::sin(angle));
}

}  // namespace synth
