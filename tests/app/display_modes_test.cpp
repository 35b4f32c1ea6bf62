// The display-mode filter, the labels, the initial selection and the screen a choice gives.
#include "app/display_modes.h"

#include <gtest/gtest.h>

// Found by argument-dependent lookup, so they live beside DisplayMode.
static bool operator==(const DisplayMode& a, const DisplayMode& b) {
  return a.width == b.width && a.height == b.height;
}
static void PrintTo(const DisplayMode& mode, std::ostream* out) {
  *out << mode.width << " x " << mode.height;
}

namespace {

std::vector<DisplayMode> modes(std::initializer_list<DisplayMode> list) { return list; }

TEST(DisplayModeFilter, KeepsEachLandscapeModeOnceInOrder) {
  const std::vector<platform::VideoMode> system = {
      {1280, 720, 32}, {1920, 1200, 32}, {1280, 720, 16}, {800, 600, 32},
      {1280, 720, 8},  {1920, 1200, 16}, {800, 600, 32},
  };
  EXPECT_EQ(filterDisplayModes(system), modes({{1280, 720}, {1920, 1200}, {800, 600}}));
}

TEST(DisplayModeFilter, DropsPortraitOversizedAndTooWideModes) {
  const std::vector<platform::VideoMode> system = {
      {768, 1024, 32},   // portrait
      {2048, 1152, 32},  // wider than 2047
      {2560, 1440, 32},  // wider still
      {1600, 800, 32},   // ratio 2.0
      {1800, 1000, 32},  // ratio exactly 1.8 stays
      {1024, 1024, 32},  // square stays
      {0, 0, 32},        // nonsense from a driver
      {1024, 0, 32},     // no height
      {2047, 1152, 32},  // the widest width allowed
  };
  EXPECT_EQ(filterDisplayModes(system), modes({{1800, 1000}, {1024, 1024}, {2047, 1152}}));
}

TEST(DisplayModeLabel, MarksWideRatiosAndPadsTheRest) {
  EXPECT_EQ(displayModeLabel({1920, 1200}), " 1920 x 1200  (16:10)");
  EXPECT_EQ(displayModeLabel({1680, 1050}), " 1680 x 1050  (16:10)");
  EXPECT_EQ(displayModeLabel({1366, 768}), " 1366 x 768  (16:9)");
  EXPECT_EQ(displayModeLabel({1280, 720}), " 1280 x 720  (16:9)");
  EXPECT_EQ(displayModeLabel({800, 600}), " 800 x 600       ");
  EXPECT_EQ(displayModeLabel({1280, 1024}), " 1280 x 1024       ");
}

TEST(InitialSelection, Prefers1280x720ThenFallsBackTo1024x768) {
  EXPECT_EQ(initialModeIndex(modes({{800, 600}, {1024, 768}, {1280, 720}})), 2);
  // 1280 x 720 as the very first entry does not count as found.
  EXPECT_EQ(initialModeIndex(modes({{1280, 720}, {800, 600}, {1024, 768}})), 2);
  EXPECT_EQ(initialModeIndex(modes({{1280, 720}, {800, 600}})), 0);
  EXPECT_EQ(initialModeIndex(modes({{800, 600}, {1024, 768}, {1920, 1080}})), 1);
  EXPECT_EQ(initialModeIndex(modes({{800, 600}, {1920, 1080}})), 0);
  EXPECT_EQ(initialModeIndex({}), 0);
}

TEST(ScreenChoice, DerivesA16By9HeightFromTheWidth) {
  EXPECT_EQ(renderHeightForWidth(1366), 768);
  EXPECT_EQ(renderHeightForWidth(1024), 576);
  EXPECT_EQ(renderHeightForWidth(1280), 720);
  EXPECT_EQ(renderHeightForWidth(1920), 1080);
  EXPECT_EQ(renderHeightForWidth(800), 450);
  EXPECT_EQ(renderHeightForWidth(1680), 945);
  // Truncated, not rounded: 562.5 and 570.94 rows.
  EXPECT_EQ(renderHeightForWidth(1000), 562);
  EXPECT_EQ(renderHeightForWidth(1015), 570);
}

TEST(ScreenChoice, UsesTheChosenWidthAndTheCheckBoxes) {
  const std::vector<DisplayMode> list = modes({{800, 600}, {1920, 1200}});
  const ScreenChoice wide = screenFromDialog(list, 1, true, false);
  EXPECT_EQ(wide.width, 1920);
  EXPECT_EQ(wide.height, 1080);
  // Fullscreen switches to the 16:10 mode itself; the picture gets bars.
  EXPECT_EQ(wide.displayWidth, 1920);
  EXPECT_EQ(wide.displayHeight, 1200);
  EXPECT_TRUE(wide.fullscreen);
  EXPECT_TRUE(wide.antialiased);

  const ScreenChoice small = screenFromDialog(list, 0, false, true);
  EXPECT_EQ(small.width, 800);
  EXPECT_EQ(small.height, 450);
  EXPECT_FALSE(small.fullscreen);
  EXPECT_FALSE(small.antialiased);
}

TEST(ScreenChoice, NeverIndexesOutsideTheList) {
  // No modes at all: the dialog still offers 1280 x 720.
  const std::vector<DisplayMode> offered = offeredDisplayModes({});
  ASSERT_EQ(offered, modes({{1280, 720}}));
  const ScreenChoice fallback = screenFromDialog(offered, -1, true, false);
  EXPECT_EQ(fallback.width, 1280);
  EXPECT_EQ(fallback.height, 720);

  const std::vector<DisplayMode> list = modes({{1024, 768}, {1366, 768}});
  EXPECT_EQ(offeredDisplayModes(list), list);
  EXPECT_EQ(screenFromDialog(list, 2, true, false).width, 1024);
}

}  // namespace
