// Whole frames of the show rendered by the program itself (--screenshot) and
// read back from their PNG files: the timeline's black moments, the first
// flash, and that a moment always renders the same picture.
#include <gtest/gtest.h>

#include <string>

#include "support/png_picture.h"

namespace {

double meanBrightness(const Picture& picture) {
  double sum = 0.0;
  for (uint8_t value : picture.rgb) sum += value;
  return picture.rgb.empty() ? 0.0 : sum / picture.rgb.size();
}

// Renders show time t at 640 x 360 and reads the picture back.
Picture renderAt(const std::string& time) {
  const std::string path = ::testing::TempDir() + "frame_" + time + ".png";
  const ProgramRun run = renderScreenshot(time, 640, path);
  EXPECT_EQ(run.status, 0) << "the program failed at " << time << ":\n" << run.output;
  Picture picture = readPng(path);
  EXPECT_EQ(picture.width, 640) << path;
  EXPECT_EQ(picture.height, 360) << path;
  return picture;
}

TEST(FramePictures, TheDipIntoTheFinaleIsBlack) { EXPECT_LT(meanBrightness(renderAt("132")), 2.0); }

TEST(FramePictures, TheEndFadeIsBlack) { EXPECT_LT(meanBrightness(renderAt("204.7")), 2.0); }

TEST(FramePictures, TheFirstFlashBrightensThePicture) {
  EXPECT_GT(meanBrightness(renderAt("20.05")), meanBrightness(renderAt("19.95")) + 100.0);
}

TEST(FramePictures, TheSameMomentGivesTheSamePicture) {
  const Picture first = renderAt("50.25");
  const Picture second = renderAt("50.25");
  ASSERT_FALSE(first.rgb.empty());
  EXPECT_TRUE(first.rgb == second.rgb);
}

}  // namespace
