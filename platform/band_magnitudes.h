// The 512-band magnitude spectrum of 1024 mono samples at 44100 Hz.
//
// computeSpectrum applies a periodic Hann window to the 1024 samples (oldest
// first) and takes the magnitude of each real FFT bin: band k is centred on
// k * 44100 / 1024 Hz (about 43.07 Hz per band), bands 0..511; the Nyquist
// bin is left out.
//
// Scaling: a sine of amplitude A whose frequency lies on the centre of band k
// reads A in band k (a full-scale sine reads 1.0, half amplitude 0.5); with
// the Hann window its two neighbours read A / 2 and the bands further out
// close to 0. Band 0 reads a constant offset c as c. Silence reads exactly 0.
// A sum of sounds can read above 1.0.
//
// Pure and thread-safe: each thread keeps its own FFT plan.
#pragma once

namespace platform {

constexpr int kSpectrumWindow = 1024;
constexpr int kSpectrumBands = 512;

// samples: kSpectrumWindow floats, oldest first; bands: kSpectrumBands floats out.
void computeSpectrum(const float* samples, float* bands);

}  // namespace platform
