// The benchmark's floor: with the stand-ins in place a frame of the show is
// the scene's triangles in one grey (edges mixed with the black of the empty
// slot by their samples) carried unchanged through every pass to the window;
// swapping back, or dropping the stand-ins while they are in place, gives the
// show's own frame again, byte for byte.
#include "render/floor_programs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/teardown.h"
#include "capture/offline_render.h"
#include "demo/part_start.h"
#include "render/frame_readback.h"
#include "runtime/demo_state.h"
#include "support/show_window.h"

namespace {

constexpr int kWidth = 320, kHeight = 180;
constexpr double kMoment = 110.0;  // the tunnel's busiest stretch

struct SmallShow {
  SmallShow() {
    setenv("TESSALY_BATCH", "1", 1);
    EXPECT_EQ(chdir(TESSALY_BINARY_DIR "/data"), 0);
    demo.music.enabled = false;
    demo.options.renderWidth = demo.options.viewportWidth = kWidth;
    demo.options.renderHeight = demo.options.viewportHeight = kHeight;
    opened = openShowWindow(demo, content, kWidth, kHeight);
    clock = beginOfflineClock(demo);
  }
  ~SmallShow() { tearDownShow(demo, false); }

  std::vector<uint8_t> frame() {
    runOfflineFrame(demo, clock, kMoment);
    return readWindowPixels(demo.renderer, kWidth, kHeight);
  }
  ShaderSet& shaders() { return content.showShaders(); }

  std::unique_ptr<DemoState> state = std::make_unique<DemoState>();
  DemoState& demo = *state;
  part_start content;
  OfflineClock clock;
  bool opened = false;
};

TEST(FloorPrograms, DrawTheScenesTrianglesInOneGreyAndGiveTheShowBack) {
  SmallShow show;
  ASSERT_TRUE(show.opened);
  show.frame();  // the tunnel's camera follows what the frame before it asked for
  const std::vector<uint8_t> showFrame = show.frame();

  {
    FloorPrograms floor(show.shaders());
    floor.exchange();
    ASSERT_TRUE(floor.inPlace());
    const std::vector<uint8_t> floorFrame = show.frame();
    // Four samples: a pixel is black, the grey, or a quarter step between.
    int grey = 0, black = 0, odd = 0;
    for (size_t i = 0; i < floorFrame.size(); i += 3) {
      const int r = floorFrame[i], g = floorFrame[i + 1], b = floorFrame[i + 2];
      const bool quarterStep = r <= 128 && std::abs(r - 32 * ((r + 16) / 32)) <= 1;
      if (r != g || g != b || !quarterStep) ++odd;
      grey += r >= 127;
      black += r == 0;
    }
    const int pixels = kWidth * kHeight;
    EXPECT_EQ(odd, 0) << "pixels that are neither the grey, black nor a mix of the two";
    EXPECT_GT(grey, pixels / 4) << "the tunnel's triangles are missing";
    EXPECT_GT(black, pixels / 20) << "nothing of the empty slot shows";

    floor.exchange();
    EXPECT_EQ(show.frame(), showFrame) << "the show's programs did not come back";
    floor.exchange();
  }
  EXPECT_EQ(show.frame(), showFrame) << "dropping the stand-ins in place left them in the slots";
}

}  // namespace
