// The transport as plain logic: frames through the frame driver with a clock
// the test moves and a part that sums its steps, so the part's own clock is
// checked beside the demo clock.
#include "app/transport.h"

#include <gtest/gtest.h>

#include "demo/parts.h"
#include "platform/platform.h"
#include "runtime/demo_state.h"
#include "runtime/frame_driver.h"

namespace {

namespace vk = platform::vk;

class ClockPart : public parts {
 public:
  void drawFrame(const FrameRecord& frame, RenderResources&, Random&) override {
    drawnAt = frame.time;
  }
  PartLoad initResources(RenderResources&, Random&) override { return {}; }
  double drawnAt = -1.0;
};

class Transport : public ::testing::Test {
 protected:
  void SetUp() override {
    demo.music.enabled = false;
    demo.partSlots.slot[0] = &part;
  }
  // One played frame `seconds` after the previous one; the keys come first.
  FrameResult frame(double seconds, std::initializer_list<int> keys = {}) {
    for (int key : keys) transportKeyPressed(demo.clock, demo.music, key);
    reading += seconds;
    return runFrame(demo, reading);
  }
  // The frame was drawn at t, and the show clock stands there.
  void expectAt(double t) {
    EXPECT_NEAR(demo.clock.demoTime, t, 1e-9);
    EXPECT_NEAR(part.drawnAt, t, 1e-9);
  }

  DemoState demo;
  ClockPart part;
  double reading = 0.0;
};

TEST_F(Transport, SeeksClampPauseHoldsAndHomePlaysFromZero) {
  frame(12.0);
  frame(0.02, {vk::Right});
  expectAt(17.0);
  frame(0.02, {vk::PageUp});
  expectAt(0.0);
  frame(0.02, {vk::PageDown, vk::PageDown});  // both presses before the frame count
  expectAt(60.0);
  frame(0.25, {vk::Space});
  frame(1.0);
  frame(1.0, {vk::Left});  // a seek while paused shows its frame and holds
  frame(1.0);
  expectAt(55.0);
  frame(1.0, {vk::Space});
  frame(0.25);
  expectAt(55.25);  // resumed where the pause left the clock
  frame(1.0, {vk::Space});
  frame(1.0, {vk::Home});
  frame(0.5);
  expectAt(0.5);
}

// In the picture's closing fade (198 s on) a seek moves as anywhere else and
// stops at 205 s; past the end the loop starts again from 0. Once Escape's
// end fade has begun the keys change nothing.
TEST_F(Transport, TheClosingFadeTheLoopAndTheEndFade) {
  frame(201.0);
  frame(0.02, {vk::Left});
  expectAt(196.0);
  frame(0.02, {vk::Right, vk::Right});
  expectAt(205.0);
  const FrameResult end = frame(0.02);
  ASSERT_EQ(end.end, ShowEnd::PastTheEnd);
  EXPECT_FALSE(showGoesOn(demo.clock, demo.options.loop, end, false))
      << "without --loop the show ends";
  demo.options.loop = true;
  EXPECT_TRUE(showGoesOn(demo.clock, demo.options.loop, end, false));
  frame(0.02);
  expectAt(0.0);

  demo.clock.fadingOut = true;
  demo.options.fadeOutRate = 0.8;
  frame(0.5, {vk::Left, vk::Home, vk::Space});
  expectAt(0.5);
  EXPECT_FALSE(
      showGoesOn(demo.clock, demo.options.loop, {ShowEnd::FadeDone, 0, "the end fade"}, false))
      << "Escape still ends";
}

}  // namespace
