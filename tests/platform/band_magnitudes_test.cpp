// The spectrum core on generated signals: band placement, scaling, leakage.
#include "platform/band_magnitudes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using platform::computeSpectrum;
using platform::kSpectrumBands;
using platform::kSpectrumWindow;

std::vector<float> sine(double band, double amplitude, double phase) {
  std::vector<float> samples(kSpectrumWindow);
  for (int n = 0; n < kSpectrumWindow; ++n)
    samples[n] =
        static_cast<float>(amplitude * std::sin(2.0 * M_PI * band * n / kSpectrumWindow + phase));
  return samples;
}

std::vector<float> spectrumOf(const std::vector<float>& samples) {
  std::vector<float> bands(kSpectrumBands, -1.0f);
  computeSpectrum(samples.data(), bands.data());
  return bands;
}

TEST(Spectrum, SineCentredInABandReadsItsAmplitudeThereOnly) {
  for (int band : {1, 2, 8, 100, 511}) {
    for (double phase : {0.0, 0.7, M_PI / 2}) {
      SCOPED_TRACE(testing::Message() << "band " << band << " phase " << phase);
      const std::vector<float> bands = spectrumOf(sine(band, 1.0, phase));
      EXPECT_NEAR(bands[band], 1.0f, 1e-3f);
      // The Hann window spreads half the amplitude into each neighbour.
      if (band > 1) {
        EXPECT_NEAR(bands[band - 1], 0.5f, 1e-3f);
      }
      if (band < kSpectrumBands - 1) {
        EXPECT_NEAR(bands[band + 1], 0.5f, 1e-3f);
      }
      for (int k = 0; k < kSpectrumBands; ++k) {
        if (std::abs(k - band) <= 1) continue;
        EXPECT_LT(bands[k], 1e-3f) << "band " << k;
      }
    }
  }
}

TEST(Spectrum, ScalesLinearlyWithAmplitude) {
  EXPECT_NEAR(spectrumOf(sine(8, 0.5, 0.3))[8], 0.5f, 1e-3f);
  EXPECT_NEAR(spectrumOf(sine(2, 0.25, 0.0))[2], 0.25f, 1e-3f);
}

TEST(Spectrum, SilenceReadsExactlyZero) {
  for (float value : spectrumOf(std::vector<float>(kSpectrumWindow, 0.0f))) EXPECT_EQ(value, 0.0f);
}

TEST(Spectrum, ConstantOffsetReadsInBandZero) {
  const std::vector<float> bands = spectrumOf(std::vector<float>(kSpectrumWindow, 0.25f));
  EXPECT_NEAR(bands[0], 0.25f, 1e-4f);
  EXPECT_NEAR(bands[1], 0.25f, 1e-4f);  // the window's own neighbour leak
  EXPECT_LT(bands[2], 1e-4f);
}

}  // namespace
