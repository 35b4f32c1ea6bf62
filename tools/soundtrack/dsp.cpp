// Note frequencies, filter coefficients, panning and mixing for the synthesiser.
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

void panGains(float pan, float& left, float& right) {
  double angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * 0.25 * kPi;
  left = static_cast<float>(std::cos(angle));
  right = static_cast<float>(std::sin(angle));
}

}  // namespace synth
