// The frame after a seek is the frame at its time: a paused show taken from
// 10 s to 85 s shows the pixels of a show rendered straight at 85 s. Both
// follow a frame at 85 s, as the per-frame random draws are seeded from the
// previous frame's time.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "app/gl_window.h"
#include "app/main_loop.h"
#include "app/teardown.h"
#include "app/transport.h"
#include "capture/offline_render.h"
#include "demo/part_start.h"
#include "render/frame_readback.h"
#include "runtime/demo_state.h"
#include "support/show_window.h"

namespace {

constexpr int kWidth = 320, kHeight = 180;
constexpr double kTarget = 85.0;

// A show of its own in a window, the frames given by `play`, then its picture.
template <typename Play>
std::vector<uint8_t> pictureAfter(Play play) {
  const auto state = std::make_unique<DemoState>();
  DemoState& demo = *state;
  demo.music.enabled = false;
  demo.options.renderWidth = demo.options.viewportWidth = kWidth;
  demo.options.renderHeight = demo.options.viewportHeight = kHeight;
  part_start content;
  EXPECT_TRUE(openShowWindow(demo, content, kWidth, kHeight));
  OfflineClock clock = beginOfflineClock(demo);
  play(demo, clock);
  std::vector<uint8_t> pixels = readWindowPixels(demo.renderer, kWidth, kHeight);
  tearDownShow(demo, false);
  return pixels;
}

TEST(TransportPicture, APausedSeekShowsTheFrameAtItsTime) {
  setenv("TESSALY_BATCH", "1", 1);
  ASSERT_EQ(chdir(TESSALY_BINARY_DIR "/data"), 0);

  const std::vector<uint8_t> straight = pictureAfter([](DemoState& demo, OfflineClock& clock) {
    runOfflineFrame(demo, clock, kTarget);
    runOfflineFrame(demo, clock, kTarget);
  });
  const std::vector<uint8_t> sought = pictureAfter([](DemoState& demo, OfflineClock& clock) {
    runOfflineFrame(demo, clock, 10.0);
    runOfflineFrame(demo, clock, 10.5);
    pauseShow(demo.clock, demo.music);
    seekShow(demo.clock, kTarget);
    runOfflineFrame(demo, clock, 11.0);
    runOfflineFrame(demo, clock, 11.5);
    EXPECT_EQ(demo.clock.demoTime, kTarget);
  });
  EXPECT_TRUE(straight == sought) << "the frame after the seek is not the frame at 85 s";
}

}  // namespace
