// One frame of each scene rendered by the program itself (--screenshot): the
// picture is not empty, and two runs give the same picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/png_picture.h"

namespace {

Picture screenshot(double t, const std::string& name) {
  const std::string path = testing::TempDir() + name;
  const ProgramRun run = renderScreenshot(std::to_string(t), 1280, path);
  EXPECT_EQ(run.status, 0) << "the program failed at " << t << ":\n" << run.output;
  return readPng(path);
}

// Share of pixels with a channel above 40 of 255.
double litShare(const Picture& picture) {
  size_t lit = 0;
  for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3)
    if (picture.rgb[i] > 40 || picture.rgb[i + 1] > 40 || picture.rgb[i + 2] > 40) ++lit;
  return static_cast<double>(lit) / (picture.rgb.size() / 3);
}

class SceneFrame : public testing::TestWithParam<double> {};

TEST_P(SceneFrame, IsLitAndTheSameOnEveryRun) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (tests/run starts Xvfb)";
  const double t = GetParam();
  const std::string stem = "tessaly_scene_" + std::to_string(static_cast<int>(t));
  const Picture first = screenshot(t, stem + "_a.png");
  const Picture second = screenshot(t, stem + "_b.png");
  ASSERT_EQ(first.width, 1280);
  ASSERT_EQ(first.height, 720);
  EXPECT_GT(litShare(first), 0.05) << "frame at " << t << " s is nearly black";
  EXPECT_TRUE(first.rgb == second.rgb) << "frame at " << t << " s differs between runs";
}

// One moment of each scene: the opening, the falling panels, the tunnel, the finale.
INSTANTIATE_TEST_SUITE_P(OnePerScene, SceneFrame, testing::Values(10.0, 25.0, 50.0, 140.0));

}  // namespace
