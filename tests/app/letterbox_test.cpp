// The 16:9 picture in windows and display modes of other shapes.
#include "app/letterbox.h"

#include <gtest/gtest.h>

namespace {

void expectRect(const ScreenRect& rect, int x, int y, int width, int height) {
  EXPECT_EQ(rect.x, x);
  EXPECT_EQ(rect.y, y);
  EXPECT_EQ(rect.width, width);
  EXPECT_EQ(rect.height, height);
}

TEST(Letterbox, BarsWhereTheShapeDiffersNoneWhereItAgrees) {
  // 16:10 and 4:3 modes: bars above and below, the picture at full width.
  expectRect(letterboxRect(1920, 1200, 1920, 1080), 0, 60, 1920, 1080);
  expectRect(letterboxRect(1024, 768, 1024, 576), 0, 96, 1024, 576);
  // 21:9: bars left and right, the picture at full height, scaled up.
  expectRect(letterboxRect(2560, 1080, 1280, 720), 320, 0, 1920, 1080);
  // A tall window: a thin band across the middle.
  expectRect(letterboxRect(720, 1280, 1280, 720), 0, 437, 720, 405);
  // 16:9 at any size fills the window exactly, also scaled.
  expectRect(letterboxRect(1280, 720, 1280, 720), 0, 0, 1280, 720);
  expectRect(letterboxRect(1920, 1080, 640, 360), 0, 0, 1920, 1080);
  // 1366 x 768 is a hair wider than 16:9: one column of bar, not a stretch.
  expectRect(letterboxRect(1366, 768, 1280, 720), 0, 0, 1365, 768);
  // An odd leftover goes to the right or top bar.
  expectRect(letterboxRect(641, 360, 640, 360), 0, 0, 640, 360);
}

TEST(Letterbox, EmptyWindowsAndPicturesGiveNothing) {
  expectRect(letterboxRect(0, 720, 1280, 720), 0, 0, 0, 0);
  expectRect(letterboxRect(1280, -1, 1280, 720), 0, 0, 0, 0);
  expectRect(letterboxRect(1280, 720, 0, 0), 0, 0, 0, 0);
  // One row of window still shows a sliver of picture, never a negative size.
  const ScreenRect sliver = letterboxRect(1280, 1, 1280, 720);
  EXPECT_GE(sliver.width, 0);
  EXPECT_LE(sliver.width, 1280);
  EXPECT_EQ(sliver.height, 1);
}

}  // namespace
