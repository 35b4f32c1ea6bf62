// The soundtrack analysis: WAV round trip, loudness, loudness range, true
// peak, band levels and kick detection against signals whose answers are known.
#include "analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "instruments.h"
#include "loudness.h"
#include "wav.h"

using namespace synth;

namespace {

StereoBuffer sine(double hz, double amplitude, double seconds) {
  StereoBuffer audio(static_cast<size_t>(seconds * kSampleRate));
  for (size_t i = 0; i < audio.frames(); ++i) {
    audio.left[i] = static_cast<float>(amplitude * std::sin(2.0 * kPi * hz * i / kSampleRate));
    audio.right[i] = audio.left[i];
  }
  return audio;
}

std::string tempPath(const char* name) { return std::string(TESSALY_BINARY_DIR) + "/" + name; }

}  // namespace

TEST(SoundtrackAnalysis, WavRoundTripKeepsSamplesAndRejectsBadFiles) {
  StereoBuffer audio(1000);
  for (size_t i = 0; i < audio.frames(); ++i) {
    audio.left[i] = std::sin(0.01f * i) * 0.9f;
    audio.right[i] = -0.5f * audio.left[i];
  }
  audio.left[10] = 1.5f;  // beyond full scale: saturates, does not wrap
  std::string path = tempPath("soundtrack_roundtrip.wav");
  std::string error;
  ASSERT_TRUE(writeWav(path, audio, error)) << error;
  StereoBuffer back;
  int rate = 0;
  ASSERT_TRUE(readWav(path, back, rate, error)) << error;
  EXPECT_EQ(rate, kSampleRate);
  ASSERT_EQ(back.frames(), audio.frames());
  for (size_t i = 0; i < audio.frames(); ++i) {
    if (i == 10) continue;
    ASSERT_NEAR(back.left[i], audio.left[i], 2.5f / 32768.0f) << i;
    ASSERT_NEAR(back.right[i], audio.right[i], 2.5f / 32768.0f) << i;
  }
  EXPECT_GT(back.left[10], 0.999f);

  // A truncated header and a missing file are reported with the file name.
  { std::ofstream(tempPath("soundtrack_bad.wav"), std::ios::binary) << "RIFF\x04\x00\x00\x00WA"; }
  EXPECT_FALSE(readWav(tempPath("soundtrack_bad.wav"), back, rate, error));
  EXPECT_NE(error.find("soundtrack_bad.wav"), std::string::npos);
  EXPECT_FALSE(readWav(tempPath("no_such_file.wav"), back, rate, error));
  EXPECT_NE(error.find("no_such_file.wav"), std::string::npos);
  std::remove(path.c_str());
  std::remove(tempPath("soundtrack_bad.wav").c_str());
}

TEST(SoundtrackAnalysis, LevelsOfKnownSignals) {
  // A 1 kHz sine at -20 dBFS on both channels reads -20 LUFS (K-weighting is
  // close to flat there and the two channels add).
  LevelReport level = measureLevels(sine(1000.0, 0.1, 5.0));
  EXPECT_NEAR(level.loudnessLufs, -20.0, 0.2);
  EXPECT_NEAR(level.peakDbfs, -20.0, 0.01);
  EXPECT_NEAR(level.rmsDbfs, -23.01, 0.05);
  EXPECT_EQ(level.clippedSamples, 0);
  EXPECT_NEAR(level.dcLeft, 0.0, 1e-4);

  // Deep bass is weighted down (the K-weighting high-pass, second order at
  // 38 Hz, takes about 5.6 dB off 40 Hz, and the shelf adds 0.7 dB at 1 kHz),
  // and the silent half does not count towards loudness.
  StereoBuffer bassThenSilence = sine(40.0, 0.1, 10.0);
  std::fill(bassThenSilence.left.begin() + 5 * kSampleRate, bassThenSilence.left.end(), 0.0f);
  std::fill(bassThenSilence.right.begin() + 5 * kSampleRate, bassThenSilence.right.end(), 0.0f);
  double bass = measureLevels(bassThenSilence).loudnessLufs;
  EXPECT_NEAR(bass, -26.3, 0.5);

  // The 80-100 Hz band holds all of a 90 Hz sine and almost none of 200 Hz.
  StereoBuffer low = sine(90.0, 0.5, 2.0);
  EXPECT_NEAR(bandLevelDb(low, 0.0, 2.0, 80.0, 100.0), 20.0 * std::log10(0.5 / std::sqrt(2.0)),
              0.5);
  EXPECT_LT(bandLevelDb(sine(200.0, 0.5, 2.0), 0.0, 2.0, 80.0, 100.0), -50.0);
  EXPECT_NEAR(rmsDb(low, 0.5, 1.5), 20.0 * std::log10(0.5 / std::sqrt(2.0)), 0.05);

  // The show's spectrum of a 86.13 Hz sine reads its amplitude in band 2.
  float bands[512];
  spectrumAt(sine(2.0 * 44100.0 / 1024.0, 0.6, 1.0), 0.5, bands);
  EXPECT_NEAR(bands[2], 0.6, 0.01);
  EXPECT_LT(bands[8], 0.01);
}

TEST(SoundtrackAnalysis, KickDetectionFindsAttacksAndIgnoresSteadySound) {
  // Kicks 3 ms late at 1 s and exactly on 2 s over a steady pad-like tone;
  // nothing at 3 s.
  StereoBuffer audio = sine(330.0, 0.2, 4.0);
  renderKick(audio, kSampleRate + 132, 0.8f, 0.3);
  renderKick(audio, 2 * kSampleRate, 0.8f, 0.3);
  std::vector<float> low = lowBand(audio);
  double late = 0.0, onTime = 0.0, none = 0.0;
  ASSERT_TRUE(kickOnset(low, 1, late));
  ASSERT_TRUE(kickOnset(low, 2, onTime));
  EXPECT_FALSE(kickOnset(low, 3, none));
  EXPECT_NEAR(late - onTime, 3.0, 0.5);
  EXPECT_GE(onTime, 0.0);
  EXPECT_LT(onTime, 5.0);
  // A second outside the track is simply not a kick.
  EXPECT_FALSE(kickOnset(low, 10, none));
}

TEST(SoundtrackAnalysis, RangeTruePeakAndSectionLoudnessOfKnownSignals) {
  // 20 s of a 1 kHz sine at -20 LUFS, then 20 s at -30 LUFS: the 3-second
  // loudness sits at the two levels, so the range is their 10 LU; the
  // quiet half measured on its own reads -30 LUFS, the loud half -20.
  StereoBuffer twoLevels = sine(1000.0, 0.1, 40.0);
  for (size_t i = 20 * kSampleRate; i < twoLevels.frames(); ++i) {
    twoLevels.left[i] /= std::sqrt(10.0f);
    twoLevels.right[i] = twoLevels.left[i];
  }
  std::vector<double> steps = kWeightedSteps(twoLevels);
  ASSERT_EQ(steps.size(), 400u);
  EXPECT_NEAR(loudnessRange(steps), 10.0, 0.2);
  EXPECT_NEAR(gatedLoudness(steps, 0.0, 20.0), -20.0, 0.2);
  EXPECT_NEAR(gatedLoudness(steps, 20.0, 40.0), -30.0, 0.2);
  // Measured as drops, the fall at 20 s is a step of -10 LU and the steady
  // level around 36 s none; the other drops lie past the end.
  std::vector<DropStep> drops = measureDrops(twoLevels);
  ASSERT_EQ(drops.size(), 2u);
  EXPECT_NEAR(drops[0].before, -20.0, 0.2);
  EXPECT_NEAR(drops[0].stepLu, -10.0, 0.2);
  EXPECT_EQ(drops[1].at, 36.0);
  EXPECT_NEAR(drops[1].stepLu, 0.0, 0.05);
  // Silence passes no gate, and a steady level has no range.
  EXPECT_EQ(gatedLoudness(kWeightedSteps(StereoBuffer(kSampleRate)), 0.0, 1.0), -200.0);
  EXPECT_NEAR(loudnessRange(kWeightedSteps(sine(1000.0, 0.1, 10.0))), 0.0, 0.05);

  // A sine at a quarter of the sample rate sampled 45 degrees off its peaks:
  // every sample is at 0.707 of the amplitude, the true peak at the amplitude.
  StereoBuffer between(kSampleRate);
  for (size_t i = 0; i < between.frames(); ++i) {
    between.left[i] = static_cast<float>(0.5 * std::sin(kPi / 2.0 * i + kPi / 4.0));
    between.right[i] = 0.0f;
  }
  EXPECT_NEAR(measureLevels(between).peakDbfs, 20.0 * std::log10(0.5 * std::sqrt(0.5)), 0.01);
  EXPECT_NEAR(truePeakDbfs(between), 20.0 * std::log10(0.5), 0.2);
  // On a low tone the samples already hold the peak.
  EXPECT_NEAR(truePeakDbfs(sine(100.0, 0.5, 1.0)), 20.0 * std::log10(0.5), 0.01);
}
