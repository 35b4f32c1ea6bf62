// Costs of the sound system: one spectrum call against a direct DFT of the
// same window (the reference), and MP3 decoding of a 205 s track as a
// multiple of real time, with the time openStream holds up the caller.
// The track is generated and encoded with lame when the benchmark starts.
// Run: build with -DTESSALY_BENCH=ON, then bench/sound/tessaly_sound_bench.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/band_magnitudes.h"
#include "platform/sound.h"

namespace {

constexpr int kRate = 44100;
constexpr int kTrackSeconds = 205;
std::string trackPath;

std::vector<float> noiseWindow() {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
  std::vector<float> samples(platform::kSpectrumWindow);
  for (float& s : samples) s = uniform(random);
  return samples;
}

void BM_Spectrum(benchmark::State& state) {
  const std::vector<float> samples = noiseWindow();
  float bands[platform::kSpectrumBands];
  for (auto _ : state) {
    platform::computeSpectrum(samples.data(), bands);
    benchmark::DoNotOptimize(bands);
  }
}
BENCHMARK(BM_Spectrum);

// The reference: the same 512 windowed magnitudes by direct summation.
void BM_DirectDft(benchmark::State& state) {
  const std::vector<float> samples = noiseWindow();
  const int n = platform::kSpectrumWindow;
  std::vector<double> cosine(n), sine(n), windowed(n);
  for (int i = 0; i < n; ++i) {
    cosine[i] = std::cos(2.0 * M_PI * i / n);
    sine[i] = std::sin(2.0 * M_PI * i / n);
  }
  float bands[platform::kSpectrumBands];
  for (auto _ : state) {
    for (int i = 0; i < n; ++i) windowed[i] = samples[i] * (0.5 - 0.5 * cosine[i]);
    for (int k = 0; k < platform::kSpectrumBands; ++k) {
      double re = 0.0, im = 0.0;
      for (int i = 0; i < n; ++i) {
        const int phase = (k * i) % n;
        re += windowed[i] * cosine[phase];
        im -= windowed[i] * sine[phase];
      }
      bands[k] = static_cast<float>(std::hypot(re, im) * 4.0 / n);
    }
    benchmark::DoNotOptimize(bands);
  }
}
BENCHMARK(BM_DirectDft);

void BM_OpenStream(benchmark::State& state) {
  for (auto _ : state) {
    platform::SoundSystem sound;
    benchmark::DoNotOptimize(sound.openStream(trackPath.c_str()));
    state.PauseTiming();
    sound.close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenStream)->Unit(benchmark::kMillisecond);

void BM_DecodeTrack(benchmark::State& state) {
  for (auto _ : state) {
    platform::SoundSystem sound;
    platform::Sound* stream = sound.loadSample(trackPath.c_str());
    benchmark::DoNotOptimize(stream);
  }
}
BENCHMARK(BM_DecodeTrack)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's real time per iteration, in seconds.
class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> seconds;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      seconds[run.benchmark_name()] =
          run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    ConsoleReporter::ReportRuns(runs);
  }
};

// A 110 Hz tone under noise, as raw 16-bit stereo PCM piped into lame.
bool makeTrack() {
  trackPath = "/tmp/tessaly_bench_track.mp3";
  const std::string command =
      "lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian -b 192 - " + trackPath;
  FILE* lame = popen(command.c_str(), "w");
  if (!lame) return false;
  std::mt19937 random(11);
  std::uniform_real_distribution<float> noise(-0.2f, 0.2f);
  std::vector<int16_t> block(2 * kRate);
  for (int second = 0; second < kTrackSeconds; ++second) {
    for (int i = 0; i < kRate; ++i) {
      const float tone = 0.4f * static_cast<float>(std::sin(2.0 * M_PI * 110.0 * i / kRate));
      block[2 * i] = static_cast<int16_t>((tone + noise(random)) * 32767.0f);
      block[2 * i + 1] = static_cast<int16_t>((tone + noise(random)) * 32767.0f);
    }
    std::fwrite(block.data(), sizeof(int16_t), block.size(), lame);
  }
  return pclose(lame) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!makeTrack()) {
    std::fprintf(stderr, "sound_bench: cannot make the test track with lame\n");
    return 1;
  }
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& s = reporter.seconds;
  if (s.count("BM_Spectrum") && s.count("BM_DirectDft"))
    std::printf(
        "spectrum: %.1f us per call, %.1fx faster than the direct DFT, %.2f%% of a 60 Hz frame\n",
        s["BM_Spectrum"] * 1e6, s["BM_DirectDft"] / s["BM_Spectrum"],
        s["BM_Spectrum"] * 60.0 * 100.0);
  if (s.count("BM_DecodeTrack") && s.count("BM_OpenStream"))
    std::printf(
        "decoding: %.0fx real time (%d s in %.3f s); openStream returns in %.1f ms (%.1f%% of the "
        "full decode)\n",
        kTrackSeconds / s["BM_DecodeTrack"], kTrackSeconds, s["BM_DecodeTrack"],
        s["BM_OpenStream"] * 1e3, 100.0 * s["BM_OpenStream"] / s["BM_DecodeTrack"]);
  std::remove(trackPath.c_str());
  return 0;
}
