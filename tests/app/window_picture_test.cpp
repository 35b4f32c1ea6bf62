// A window of another shape than the picture: the frame drawn into the
// render-size target is the frame drawn straight into a window of its own
// size, and the window shows all of it 1:1 between black bars.
#include "app/window_picture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "app/gl_window.h"
#include "app/main_loop.h"
#include "app/teardown.h"
#include "capture/offline_render.h"
#include "demo/part_start.h"
#include "render/frame_readback.h"
#include "runtime/demo_state.h"
#include "support/show_window.h"

namespace {

constexpr int kWidth = 320, kHeight = 180, kTallHeight = 240;

// A show of its own in a window of the given height, at its frame of 12.5 s.
std::vector<uint8_t> frameInWindow(DemoState& demo, part_start& content, int windowHeight) {
  demo.music.enabled = false;
  demo.options.renderWidth = demo.options.viewportWidth = kWidth;
  demo.options.renderHeight = demo.options.viewportHeight = kHeight;
  EXPECT_TRUE(openShowWindow(demo, content, kWidth, windowHeight));
  OfflineClock clock = beginOfflineClock(demo);
  runOfflineFrame(demo, clock, 12.5);
  return readWindowPixels(demo.renderer, kWidth, kHeight);
}

// The window's own back buffer, top row first.
std::vector<uint8_t> windowRows(int height) { return readWindowBackBuffer(kWidth, height); }

TEST(WindowPicture, ATallerWindowShowsTheSamePictureBetweenBars) {
  setenv("TESSALY_BATCH", "1", 1);
  ASSERT_EQ(chdir(TESSALY_BINARY_DIR "/data"), 0);

  const auto fitting = std::make_unique<DemoState>();
  part_start fittingContent;
  const std::vector<uint8_t> direct = frameInWindow(*fitting, fittingContent, kHeight);
  EXPECT_EQ(fitting->renderer.screenFramebuffer.value, 0u)
      << "a window of the render size is drawn on";
  tearDownShow(*fitting, false);

  const auto tall = std::make_unique<DemoState>();
  part_start tallContent;
  const std::vector<uint8_t> throughTarget = frameInWindow(*tall, tallContent, kTallHeight);
  EXPECT_NE(tall->renderer.screenFramebuffer.value, 0u);
  // The window's framebuffer and the target may differ in pixel format, and
  // the driver may round a colour that falls on a half level differently in
  // each: a level either way in a few pixels is the same picture.
  ASSERT_EQ(throughTarget.size(), direct.size());
  int differing = 0, largest = 0;
  for (size_t i = 0; i < direct.size(); ++i) {
    const int difference = std::abs(throughTarget[i] - direct[i]);
    differing += difference != 0;
    largest = std::max(largest, difference);
  }
  EXPECT_LE(largest, 1) << "the frame changed on its way through the target";
  EXPECT_LE(differing, static_cast<int>(direct.size() / 1000)) << "the frame changed on its way";

  const ScreenRect rect = pictureRect();
  EXPECT_EQ(rect.y, 30);
  EXPECT_EQ(rect.height, kHeight);
  swapFrameBuffers(0.0);
  // After the swap the back buffer's contents are undefined; show again to read them.
  showPicture();
  const std::vector<uint8_t> window = windowRows(kTallHeight);
  const size_t row = static_cast<size_t>(kWidth) * 3;
  const std::vector<uint8_t> middle(window.begin() + 30 * row, window.begin() + 210 * row);
  EXPECT_EQ(middle, throughTarget) << "the picture is not shown 1:1 in its rectangle";
  int lit = 0;
  for (size_t i = 0; i < 30 * row; ++i) lit += window[i] != 0 || window[window.size() - 1 - i] != 0;
  EXPECT_EQ(lit, 0) << "the bars are not black";
  tearDownShow(*tall, false);
}

}  // namespace
