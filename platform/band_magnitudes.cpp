// Hann-windowed real FFT of 1024 samples reduced to 512 scaled magnitudes.
#include "platform/band_magnitudes.h"

#include <kiss_fftr.h>

#include <cmath>

namespace platform {
namespace {

// The FFT plan holds scratch memory that kiss_fftr writes while it runs, so
// each thread has its own.
struct SpectrumPlan {
  kiss_fftr_cfg config = kiss_fftr_alloc(kSpectrumWindow, 0, nullptr, nullptr);
  float window[kSpectrumWindow];
  float windowed[kSpectrumWindow];
  kiss_fft_cpx bins[kSpectrumWindow / 2 + 1];

  SpectrumPlan() {
    const double twoPi = 2.0 * 3.14159265358979323846;
    for (int n = 0; n < kSpectrumWindow; ++n)
      window[n] = static_cast<float>(0.5 - 0.5 * std::cos(twoPi * n / kSpectrumWindow));
  }
  ~SpectrumPlan() { kiss_fftr_free(config); }
  SpectrumPlan(const SpectrumPlan&) = delete;
  SpectrumPlan& operator=(const SpectrumPlan&) = delete;
};

}  // namespace

void computeSpectrum(const float* samples, float* bands) {
  thread_local SpectrumPlan plan;
  for (int n = 0; n < kSpectrumWindow; ++n) plan.windowed[n] = samples[n] * plan.window[n];
  kiss_fftr(plan.config, plan.windowed, plan.bins);

  // The periodic Hann window sums to N/2, so a sine of amplitude A centred on
  // bin k gives |X[k]| = A * N / 4. The offset bin has no mirror image and
  // gives c * N / 2 for a constant c.
  const float sineScale = 4.0f / kSpectrumWindow;
  const float offsetScale = 2.0f / kSpectrumWindow;
  for (int k = 0; k < kSpectrumBands; ++k) {
    const float magnitude = std::hypot(plan.bins[k].r, plan.bins[k].i);
    bands[k] = magnitude * (k == 0 ? offsetScale : sineScale);
  }
}

}  // namespace platform
