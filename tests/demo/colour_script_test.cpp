// The colour script: sections turn without a jump, the kick's entry and the
// bass drive land with light, and the climax holds the most light and colour.
#include "demo/colour_script.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

float luma(const Rgb& c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }

// How bright a frame of this grade is: the sky behind the scene, exposed and
// lifted, weighed with how bright the shapes come out.
float light(const Grade& g) { return luma(g.sky) * g.exposure + luma(g.lift) + 0.1f * g.exposure; }

}  // namespace

TEST(ColourScript, TurnsSmoothlyExceptForTheTwoAccents) {
  // At 60 frames a second no grade value steps by more than a small share,
  // except on the first frame of the kick's entry and of the bass drive.
  const double step = 1.0 / 60.0;
  Grade previous = gradeAt(0.0);
  for (double t = step; t < 205.0; t += step) {
    const Grade g = gradeAt(t);
    const bool accent = std::fabs(t - 12.0) < step || std::fabs(t - 68.0) < step;
    if (!accent) {
      EXPECT_NEAR(g.exposure, previous.exposure, 0.08f) << t;
      EXPECT_NEAR(g.saturation, previous.saturation, 0.05f) << t;
      EXPECT_NEAR(luma(g.sky), luma(previous.sky), 0.02f) << t;
      EXPECT_NEAR(luma(g.lift), luma(previous.lift), 0.02f) << t;
    }
    previous = g;
  }
}

TEST(ColourScript, TheKickEntryAndTheBassDriveLandBrighterThanTheBeatBefore) {
  for (double accent : {12.0, 68.0}) {
    EXPECT_GT(light(gradeAt(accent + 0.05)), 1.3f * light(gradeAt(accent - 0.5))) << accent;
    // The burst is over within about a second, leaving the section's own grade.
    EXPECT_NEAR(gradeAt(accent + 2.0).exposure, gradeAt(accent + 3.0).exposure, 0.01f) << accent;
  }
  // The drive stays brighter than the stretch before it.
  EXPECT_GT(light(gradeAt(70.0)), light(gradeAt(66.0)));
}

TEST(ColourScript, TheClimaxHasTheMostLightAndColour) {
  const Grade climax = gradeAt(186.0);
  for (double t = 1.0; t < 180.0; t += 0.5) {
    const Grade g = gradeAt(t);
    if (std::fabs(t - 12.0) < 1.0 || std::fabs(t - 68.0) < 1.0) continue;  // the accents
    EXPECT_GT(light(climax), light(g)) << t;
    EXPECT_GE(climax.saturation, g.saturation) << t;
  }
  // Past the last turn the climax's grade holds to the end.
  EXPECT_EQ(gradeAt(204.9).exposure, gradeAt(190.0).exposure);
}
