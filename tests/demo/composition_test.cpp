// The frame composition's timeline: glow, beat, flashes and the black layer.
#include <gtest/gtest.h>

#include "demo/frame_composition.h"

TEST(Flashes, StartAfterTheirThresholdAndFallOverTheirDuration) {
  EXPECT_EQ(flashLevel(20.0), 0.0f);  // needs t > 20
  EXPECT_NEAR(flashLevel(20.0001), 1.0f, 1e-6);
  EXPECT_NEAR(flashLevel(20.5), 0.5f, 1e-6);  // the cosine ease is halfway at half the duration
  EXPECT_NEAR(flashLevel(21.0), 0.0f, 1e-6);
  // The last threshold passed wins: 28 falls at rate 1.5.
  EXPECT_NEAR(flashLevel(28.0 + 1.0 / 3.0), 0.5f, 1e-6);
  EXPECT_NEAR(flashLevel(172.0 + 0.5 / 0.6), 0.5f, 1e-6);
}

TEST(Flashes, EachSectionStartsWithAFullFlashAndNoneComesBetween) {
  const double starts[] = {20,  28,  44,  60,  92,  100, 108, 116,
                           124, 148, 156, 164, 172, 180, 188, 196};
  for (double start : starts) {
    EXPECT_NEAR(flashLevel(start + 1e-4), 1.0f, 1e-6) << start;
    EXPECT_LT(flashLevel(start), 0.5f) << start;
  }
}

TEST(BlackLayer, DipsAt132AndFadesFrom198) {
  EXPECT_NEAR(blackLevel(132.0), 1.0f, 1e-6);
  EXPECT_NEAR(blackLevel(131.5), 0.0f, 1e-6);
  EXPECT_NEAR(blackLevel(160.0), 0.0f, 1e-6);
  EXPECT_GE(blackLevel(198.0 + 1.0 / 0.15), 1.0f);
  EXPECT_NEAR(blackLevel(204.0), 0.9755f, 1e-4);  // still easing in
  EXPECT_LT(blackLevel(199.0), 0.1f);
}

TEST(Beat, GlowOnEveryBeatAndFieldOfViewOnWholeSeconds) {
  const BeatLevels onSecond = beatLevels(21.0);
  EXPECT_NEAR(onSecond.glow, 1.4f, 1e-5);
  EXPECT_NEAR(onSecond.beatOffset, -1.8, 1e-9);
  const BeatLevels onHalf = beatLevels(21.5);
  EXPECT_NEAR(onHalf.glow, 1.4f, 1e-5);
  EXPECT_NEAR(onHalf.beatOffset, 0.0, 1e-9);
  const BeatLevels between = beatLevels(21.25);
  EXPECT_LT(between.glow, 0.001f);
  // No glow in the opening and the finale's calm; nothing after 196 s.
  EXPECT_EQ(beatLevels(10.0).glow, 0.0f);
  EXPECT_EQ(beatLevels(10.0).beatOffset, 0.0);
  EXPECT_EQ(beatLevels(140.0).glow, 0.0f);
  EXPECT_EQ(beatLevels(140.0).beatOffset, 0.0);
  EXPECT_GT(beatLevels(150.0).glow, 1.0f);
  EXPECT_EQ(beatLevels(197.0).glow, 0.0f);
  EXPECT_EQ(beatLevels(197.0).beatOffset, 0.0);
}

TEST(SpectrumTexels, GreyBytesKeepTheLowEightBits) {
  float spectrum[512] = {};
  spectrum[0] = 1.0f;
  spectrum[1] = 0.5f;
  spectrum[2] = 1.5f;  // 382 wraps to 126
  unsigned char rgb[3 * 512];
  spectrumTexels(spectrum, rgb);
  EXPECT_EQ(rgb[0], 255);
  EXPECT_EQ(rgb[2], 255);
  EXPECT_EQ(rgb[3], 127);
  EXPECT_EQ(rgb[6], 126);
  EXPECT_EQ(rgb[9], 0);
}
