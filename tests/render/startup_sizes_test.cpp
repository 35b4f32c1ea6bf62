// Sizes of the three render-target pairs made at startup, and the driver's
// limits a render size must keep within.
#include <gtest/gtest.h>

#include "render/render_startup.h"

namespace {

TEST(StartupTargetPairs, HalfAndQuarterSizesTruncate) {
  auto pairs = startupTargetPairs(1366, 768, 1366, 768, true);
  EXPECT_EQ(pairs[0].index, 0);
  EXPECT_EQ(pairs[0].width, 1366);
  EXPECT_EQ(pairs[0].height, 768);
  EXPECT_EQ(pairs[0].samples, 4);
  EXPECT_EQ(pairs[1].index, 1);
  EXPECT_EQ(pairs[1].width, 683);
  EXPECT_EQ(pairs[1].height, 384);
  EXPECT_EQ(pairs[1].samples, 0);
  EXPECT_EQ(pairs[2].index, 2);
  EXPECT_EQ(pairs[2].width, 341);
  EXPECT_EQ(pairs[2].height, 192);
  EXPECT_EQ(pairs[2].samples, 0);
}

TEST(StartupTargetPairs, HalfSizeFollowsTheViewportAndQuarterSizeTheRenderSize) {
  auto pairs = startupTargetPairs(1280, 720, 1023, 575, true);
  EXPECT_EQ(pairs[0].width, 1280);
  EXPECT_EQ(pairs[1].width, 511);
  EXPECT_EQ(pairs[1].height, 287);
  EXPECT_EQ(pairs[2].width, 320);
  EXPECT_EQ(pairs[2].height, 180);
}

// "Antialiased" unchecked draws the scene with one sample a pixel; the
// filter pairs never had more.
TEST(StartupTargetPairs, TheSceneKeepsFourSamplesOnlyWhenAntialiased) {
  EXPECT_EQ(startupTargetPairs(1280, 720, 1280, 720, false)[0].samples, 0);
  EXPECT_EQ(startupTargetPairs(1280, 720, 1280, 720, true)[0].samples, 4);
}

// A render size passes a limit by one pixel on either side and is refused
// with the limit named; one within every limit is not.
TEST(RenderLimits, TheFirstLimitPassedIsNamed) {
  const RenderLimits limits{8192, 4096, 4096, 2048};
  EXPECT_EQ(renderSizeBeyondLimits(4096, 2048, limits), "");
  EXPECT_EQ(renderSizeBeyondLimits(8193, 4608, limits),
            "The render size 8193 x 4608 is larger than the driver's largest renderbuffer, "
            "8192 x 8192 pixels");
  EXPECT_NE(renderSizeBeyondLimits(4097, 2304, limits).find("largest texture, 4096 x 4096"),
            std::string::npos);
  EXPECT_NE(renderSizeBeyondLimits(4096, 2049, limits).find("largest viewport, 4096 x 2048"),
            std::string::npos);
}

}  // namespace
