// K-weighting, gated loudness, loudness range and true peak.
#include "loudness.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {

constexpr size_t kStep = kSampleRate / 10;  // 100 ms

// Second-order section in direct form I, in double precision.
struct Biquad {
  double b0, b1, b2, a1, a2;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  double process(double x) {
    double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1, x1 = x, y2 = y1, y1 = y;
    return y;
  }
};

// The two stages of K-weighting (a high shelf for the head, then a high-pass)
// designed for the track's sample rate.
void kWeighting(Biquad& shelf, Biquad& highPass) {
  double k = std::tan(kPi * 1681.974450955533 / kSampleRate);
  double q = 0.7071752369554196;
  double vh = std::pow(10.0, 3.999843853973347 / 20.0);
  double vb = std::pow(vh, 0.4996667741545416);
  double a0 = 1.0 + k / q + k * k;
  shelf = {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
           2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
  k = std::tan(kPi * 38.13547087602444 / kSampleRate);
  q = 0.5003270373238773;
  a0 = 1.0 + k / q + k * k;
  highPass = {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

double lufs(double power) { return -0.691 + 10.0 * std::log10(std::max(power, 1e-20)); }

// Mean power of the blocks louder than `gate` LUFS (0 when none is).
double meanAbove(const std::vector<double>& blocks, double gate) {
  double total = 0.0;
  int count = 0;
  for (double p : blocks)
    if (lufs(p) > gate) total += p, ++count;
  return count ? total / count : 0.0;
}

// Mean power of every run of `length` steps, moving one step at a time.
std::vector<double> blocks(const std::vector<double>& steps, size_t first, size_t end,
                           size_t length) {
  std::vector<double> out;
  for (size_t i = first; i + length <= end; ++i) {
    double sum = 0.0;
    for (size_t j = i; j < i + length; ++j) sum += steps[j];
    out.push_back(sum / length);
  }
  return out;
}

size_t stepAt(const std::vector<double>& steps, double seconds) {
  return std::min(steps.size(), static_cast<size_t>(std::max(0.0, std::round(seconds * 10.0))));
}

// The largest magnitude of a channel on and between samples first..end.
double interpolatedPeak(const std::vector<float>& x, long first, long end) {
  double peak = 0.0;
  for (long n = first; n < end; ++n) peak = std::max(peak, peakAround(x, n));
  return peak;
}

}  // namespace

std::vector<double> kWeightedSteps(const StereoBuffer& track) {
  std::vector<double> steps;
  Biquad shelfL, passL, shelfR, passR;
  kWeighting(shelfL, passL);
  kWeighting(shelfR, passR);
  double sum = 0.0;
  for (size_t i = 0; i < track.frames(); ++i) {
    double l = passL.process(shelfL.process(track.left[i]));
    double r = passR.process(shelfR.process(track.right[i]));
    sum += l * l + r * r;
    if ((i + 1) % kStep == 0) {
      steps.push_back(sum / kStep);
      sum = 0.0;
    }
  }
  return steps;
}

double gatedLoudness(const std::vector<double>& steps, double from, double to) {
  std::vector<double> b = blocks(steps, stepAt(steps, from), stepAt(steps, to), 4);
  double relativeGate = lufs(meanAbove(b, -70.0)) - 10.0;
  double power = meanAbove(b, std::max(-70.0, relativeGate));
  return power > 0.0 ? lufs(power) : -200.0;
}

double windowLoudness(const std::vector<double>& steps, double from, double to) {
  size_t first = stepAt(steps, from), end = stepAt(steps, to);
  double sum = 0.0;
  for (size_t i = first; i < end; ++i) sum += steps[i];
  return end > first && sum > 0.0 ? lufs(sum / (end - first)) : -200.0;
}

double loudnessRange(const std::vector<double>& steps) {
  std::vector<double> shortTerm = blocks(steps, 0, steps.size(), 30);
  double relativeGate = lufs(meanAbove(shortTerm, -70.0)) - 20.0;
  std::vector<double> passed;
  for (double p : shortTerm)
    if (lufs(p) > std::max(-70.0, relativeGate)) passed.push_back(lufs(p));
  if (passed.empty()) return 0.0;
  std::sort(passed.begin(), passed.end());
  auto percentile = [&passed](double q) {
    return passed[static_cast<size_t>(std::lround(q * (passed.size() - 1)))];
  };
  return percentile(0.95) - percentile(0.10);
}

double truePeakDbfs(const StereoBuffer& track, double from, double to) {
  const long frames = static_cast<long>(track.frames());
  long first = std::clamp(std::lround(from * kSampleRate), 0L, frames);
  long end = std::clamp(std::lround(std::min(to, 1e6) * kSampleRate), first, frames);
  double peak =
      std::max(interpolatedPeak(track.left, first, end), interpolatedPeak(track.right, first, end));
  return 20.0 * std::log10(std::max(peak, 1e-10));
}

}  // namespace synth
