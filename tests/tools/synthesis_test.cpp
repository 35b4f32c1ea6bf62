// The soundtrack synthesiser: repeatable renders, the limiter's ceiling, the
// mix's tone shaping, kicks that land on whole seconds, the F4 strikes the
// first scenes follow and the loudness of the whole score and its drops.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "analysis.h"
#include "effects.h"
#include "instruments.h"
#include "loudness.h"
#include "platform/band_magnitudes.h"
#include "score.h"

using namespace synth;

namespace {

float peakOf(const StereoBuffer& audio) {
  float peak = 0.0f;
  for (size_t i = 0; i < audio.frames(); ++i)
    peak = std::max({peak, std::fabs(audio.left[i]), std::fabs(audio.right[i])});
  return peak;
}

}  // namespace

TEST(Soundtrack, RendersTheSameSamplesEveryTime) {
  // 12.5 s covers the opening's pads, bells, arpeggio and first kicks.
  StereoBuffer first = renderSoundtrack(12.5);
  StereoBuffer second = renderSoundtrack(12.5);
  ASSERT_EQ(first.frames(), static_cast<size_t>(12.5 * kSampleRate));
  EXPECT_TRUE(first.left == second.left);
  EXPECT_TRUE(first.right == second.right);
  EXPECT_GT(peakOf(first), 0.1f) << "the opening must not be silent";
  // The channels differ: the pads and bells are spread across the field.
  EXPECT_FALSE(first.left == first.right);

  StereoBuffer sfx = renderSoundEffect();
  EXPECT_TRUE(sfx.left == renderSoundEffect().left);
  EXPECT_EQ(sfx.frames(), static_cast<size_t>(3 * kSampleRate));
  EXPECT_GT(peakOf(sfx), 0.3f);
  EXPECT_LE(peakOf(sfx), 0.891f);
}

TEST(Soundtrack, LimiterHoldsTheCeilingAndLeavesQuietPassagesAlone) {
  // Two seconds of a quiet sine with a loud burst (twice full scale) and a
  // single-sample spike.
  StereoBuffer mix(2 * kSampleRate);
  for (size_t i = 0; i < mix.frames(); ++i) {
    double s = std::sin(2.0 * kPi * 220.0 * i / kSampleRate);
    float amplitude = (i >= 20000 && i < 24000) ? 2.0f : 0.25f;
    mix.left[i] = amplitude * static_cast<float>(s);
    mix.right[i] = -0.5f * mix.left[i];
  }
  mix.left[30000] = 3.0f;
  StereoBuffer input = mix;
  const float ceiling = 0.891f;
  limit(mix, ceiling, 0.004, 0.05);

  EXPECT_LE(peakOf(mix), ceiling);
  EXPECT_GT(peakOf(mix), 0.8f * ceiling) << "the burst should be limited, not crushed";
  // Well before the burst and long after the release the signal is untouched;
  // shortly after the spike the gain is still recovering.
  for (size_t i : {1000u, 15000u, 80000u})
    EXPECT_FLOAT_EQ(mix.left[i], input.left[i]) << "sample " << i;
  EXPECT_LT(std::fabs(mix.left[30100]), 0.6f * std::fabs(input.left[30100]));
  // The gain ramps down over the look-ahead instead of jumping: a sample just
  // before the burst is already reduced, but only a little.
  double gainBefore = mix.left[19950] / input.left[19950];
  EXPECT_LT(gainBefore, 0.999);
  EXPECT_GT(gainBefore, 0.4);
  // Both channels take the same gain, so the stereo image stays put.
  for (size_t i = 19000; i < 26000; ++i) EXPECT_NEAR(mix.right[i], -0.5f * mix.left[i], 1e-6f);
}

TEST(Soundtrack, ToneShapingRaisesTheTopAndTakesOffTheVeryTop) {
  auto sine = [](double hz) {
    StereoBuffer audio(kSampleRate);
    for (size_t i = 0; i < audio.frames(); ++i)
      audio.left[i] = audio.right[i] =
          static_cast<float>(0.25 * std::sin(2.0 * kPi * hz * i / kSampleRate));
    return audio;
  };
  auto gainDb = [&sine](double hz, void (*shape)(StereoBuffer&)) {
    StereoBuffer audio = sine(hz);
    shape(audio);
    return rmsDb(audio, 0.5, 1.0) - rmsDb(sine(hz), 0.5, 1.0);
  };
  auto shelf = [](StereoBuffer& audio) { highShelf(audio, 1800.0, 5.0); };
  auto top = [](StereoBuffer& audio) { lowPass(audio, 14000.0); };
  EXPECT_NEAR(gainDb(100.0, shelf), 0.0, 0.1);
  EXPECT_NEAR(gainDb(1800.0, shelf), 2.5, 0.3);  // half the shelf at its corner
  EXPECT_NEAR(gainDb(10000.0, shelf), 5.0, 0.3);
  EXPECT_NEAR(gainDb(1000.0, top), 0.0, 0.05);
  EXPECT_NEAR(gainDb(14000.0, top), -3.0, 0.3);
  EXPECT_LT(gainDb(20000.0, top), -6.0);

  // A build's closing low-pass: untouched before it, no click where it
  // starts (a filter starting from rest would step), a 200 Hz tone still
  // there once the corner is far above it and gone once it is far below,
  // and silence at its end.
  StereoBuffer tone = sine(200.0);
  // It starts on a crest of the tone, where a step would be largest.
  StereoBuffer swept = tone;
  const long start = std::lround(0.25125 * kSampleRate);
  sweepDown(swept, 0.25125, 0.75, 8000.0, 20.0);
  EXPECT_TRUE(std::equal(swept.left.begin(), swept.left.begin() + start, tone.left.begin()));
  float largestStep = 0.0f;
  for (long i = start - 10; i < start + 100; ++i)
    largestStep = std::max(largestStep, std::fabs(swept.left[i] - swept.left[i - 1]));
  EXPECT_LT(largestStep, 0.25f * 2.0f * kPi * 200.0f / kSampleRate * 1.1f);
  EXPECT_NEAR(rmsDb(swept, 0.26, 0.36), rmsDb(tone, 0.26, 0.36), 0.5);
  EXPECT_LT(rmsDb(swept, 0.65, 0.7), rmsDb(tone, 0.65, 0.7) - 20.0);
  EXPECT_LT(std::fabs(swept.left[static_cast<size_t>(0.75 * kSampleRate) - 1]), 1e-4f);
}

TEST(Soundtrack, KicksLandOnWholeSecondsWhereTheDrumsPlay) {
  // A kick starts on its own sample: nothing before it, sound right after it.
  StereoBuffer one(4000);
  renderKick(one, 1000, 0.9f, 0.3);
  EXPECT_EQ(peakOf(StereoBuffer(1000)), 0.0f);
  for (long i = 0; i < 1000; ++i) ASSERT_EQ(one.left[i], 0.0f) << i;
  EXPECT_NE(one.left[1001], 0.0f);
  // A kick near the end of the buffer is cut, not written past it.
  StereoBuffer tail(500);
  renderKick(tail, 400, 0.9f, 0.3);
  EXPECT_NE(tail.left[499], 0.0f);

  std::vector<long> kicks = kickSamples(kTrackSeconds);
  for (long k : kicks) ASSERT_EQ(k % kSampleRate, 0) << "kick at sample " << k;
  auto has = [&](int second) {
    return std::find(kicks.begin(), kicks.end(), static_cast<long>(second) * kSampleRate) !=
           kicks.end();
  };
  for (int s : {12, 15, 20, 31, 36, 63, 68, 95, 100, 131, 148, 159, 164, 175, 180, 204})
    EXPECT_TRUE(has(s)) << s;
  // No kick before the drums start, in the calm, nor in the two bars before
  // each drop.
  for (int s : {0, 11, 16, 19, 32, 35, 64, 67, 96, 99, 132, 140, 147, 160, 163, 176, 179})
    EXPECT_FALSE(has(s)) << s;

  // In the rendered mix (opening up to the drop) the analysis hears the
  // kicks on the whole seconds and nowhere they do not play.
  StereoBuffer track = renderSoundtrack(22.0);
  std::vector<float> low = lowBand(track);
  for (int s = 1; s < 22; ++s) {
    double offset = 0.0;
    bool heard = kickOnset(low, s, offset);
    EXPECT_EQ(heard, s >= 20 || (s >= 12 && s < 16)) << "second " << s;
    if (heard) {
      EXPECT_LT(std::fabs(offset), 10.0) << "second " << s;
    }
  }
}

TEST(Soundtrack, BeatsUpToTheTunnelReadHalfScaleInBand8WithTheKickHeard) {
  // The rings of the opening and the falling panels follow band 8 (F4):
  // within 150 ms of every whole second up to 36 s, a frame of the show must
  // read it at 0.5 or more, and the lighter kick is still heard wherever it
  // plays.
  StereoBuffer track = renderSoundtrack(36.0);
  std::vector<float> low = lowBand(track);
  std::vector<long> kicks = kickSamples(36.0);
  float bands[platform::kSpectrumBands];
  for (int s = 0; s < 36; ++s) {
    float beat = 0.0f;
    for (int frame = 1; frame <= 9; ++frame) {
      spectrumAt(track, s + frame / 60.0, bands);
      beat = std::max(beat, bands[8]);
    }
    EXPECT_GE(beat, 0.5f) << "second " << s;
    bool plays =
        std::find(kicks.begin(), kicks.end(), static_cast<long>(s) * kSampleRate) != kicks.end();
    double offset = 0.0;
    EXPECT_EQ(kickOnset(low, s, offset), plays) << "second " << s;
  }
}

TEST(Soundtrack, TheWholeScoreBreathesAndStaysWithinItsLoudness) {
  // The intro and the calm at least 6 dB under the last drops, a loudness
  // range of 7 LU or more, -14 to -10 LUFS, 1-5 kHz within 12 dB of
  // 150-1000 Hz where the whole band plays, every drop 3 LU above the 4 s
  // before it, and the true peak under the limiter's ceiling, which leaves
  // the MP3 encoder room below -1 dBFS. The beat before each drop is silent,
  // reverb and echo tails included.
  StereoBuffer track = renderSoundtrack(kTrackSeconds);
  LevelReport level = measureLevels(track);
  std::ostringstream report;
  EXPECT_TRUE(printLoudness(track, level, report)) << report.str();
  EXPECT_LT(level.truePeakDbfs, -1.45) << report.str();
  std::vector<DropStep> drops = measureDrops(track);
  EXPECT_EQ(drops.size(), 7u);
  for (const DropStep& d : drops) EXPECT_LT(rmsDb(track, d.at - 0.45, d.at), -80.0) << d.at;
}
