// The transport as plain logic: frames through the frame driver with a clock
// the test moves and a part that records its steps, so the part's own clock
// (the sum of its steps) is checked beside the demo clock.
#include "app/transport.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "demo/parts.h"
#include "platform/platform.h"
#include "runtime/demo_state.h"
#include "runtime/frame_driver.h"
#include "runtime/timer.h"

namespace {

namespace vk = platform::vk;

int64_t fakeCount = 0;
int64_t fakeCounter() { return fakeCount; }
int64_t fakeFrequency() { return 1000000; }

class RecordingPart : public parts {
 public:
  void drawFrame(double* timeStep, RenderResources*, FrameInput* input) override {
    clock += *timeStep;
    times.push_back(input->time);
  }
  PartLoad initResources(RenderResources*) override { return {}; }
  double clock = 0.0;
  std::vector<double> times;
};

class Transport : public ::testing::Test {
 protected:
  void SetUp() override {
    demo.musicEnabled = false;
    setCounterSource({fakeCounter, fakeFrequency});
    timerReset(demo);
    demo.lastTimerValue = timerRead(demo);
    demo.partSlots[0] = &part;
  }
  void TearDown() override { setCounterSource(platformCounterSource()); }

  // One played frame `seconds` after the previous one.
  FrameResult frameAfter(double seconds) {
    fakeCount += static_cast<int64_t>(seconds * 1000000.0);
    return runFrame(demo, timerRead(demo));
  }
  // Both clocks stand at t.
  void expectAt(double t) {
    EXPECT_NEAR(demo.demoTime, t, 1e-9);
    EXPECT_NEAR(part.clock, t, 1e-9) << "the part's clock parted from the demo clock";
    ASSERT_FALSE(part.times.empty());
    EXPECT_NEAR(part.times.back(), t, 1e-9) << "the frame was not drawn at the time";
  }

  DemoState demo;
  RecordingPart part;
};

TEST_F(Transport, SeeksMoveBothClocksAndClampToTheShow) {
  frameAfter(12.0);
  transportKeyPressed(demo, vk::Right);
  frameAfter(0.02);
  expectAt(17.0);  // the frame after the seek is the frame at its time
  transportKeyPressed(demo, vk::PageUp);
  frameAfter(0.02);
  expectAt(0.0);  // 30 s back from 17 s stops at the start
  transportKeyPressed(demo, vk::PageDown);
  transportKeyPressed(demo, vk::PageDown);  // before the frame: both count
  frameAfter(0.02);
  expectAt(60.0);
  frameAfter(0.25);
  expectAt(60.25);  // and plays on from there
  transportKeyPressed(demo, vk::Left);
  frameAfter(0.02);
  expectAt(55.25);
  seekShow(demo, 300.0);
  frameAfter(0.02);
  expectAt(205.0);
  EXPECT_EQ(frameAfter(0.02).end, ShowEnd::PastTheEnd);
}

TEST_F(Transport, PauseHoldsBothClocksAndResumesWithoutAJump) {
  frameAfter(40.0);
  transportKeyPressed(demo, vk::Space);
  for (int i = 0; i < 3; ++i) frameAfter(1.0);
  expectAt(40.0);
  transportKeyPressed(demo, vk::Right);  // a seek while paused shows its frame and holds
  frameAfter(1.0);
  frameAfter(1.0);
  expectAt(45.0);
  transportKeyPressed(demo, vk::Space);
  frameAfter(0.5);
  frameAfter(0.25);
  expectAt(45.25);  // the resumed frame stands where the pause left the clock
}

TEST_F(Transport, HomeAfterAPausePlaysFromZero) {
  frameAfter(90.0);
  transportKeyPressed(demo, vk::Space);
  frameAfter(1.0);
  transportKeyPressed(demo, vk::Home);
  frameAfter(1.0);
  expectAt(0.0);
  frameAfter(0.5);
  expectAt(0.5);
}

// In the picture's closing fade (198 s on) a seek moves like anywhere else;
// once Escape's end fade has begun the show is on its way out and the keys
// change nothing.
TEST_F(Transport, SeeksInTheClosingFadeButNotInTheEndFade) {
  frameAfter(201.0);
  transportKeyPressed(demo, vk::Left);
  frameAfter(0.02);
  expectAt(196.0);
  transportKeyPressed(demo, vk::Right);
  transportKeyPressed(demo, vk::Right);
  frameAfter(0.02);
  expectAt(205.0);

  demo.demoTime = part.clock = 150.0;
  demo.fadingOut = true;
  demo.fadeStartTime = 150.0;
  demo.fadeOutRate = 0.8;
  for (int key : {vk::Left, vk::Home, vk::Space}) transportKeyPressed(demo, key);
  EXPECT_FALSE(demo.paused);
  frameAfter(0.5);
  expectAt(150.5);
}

TEST_F(Transport, TheLoopStartsAgainAtTheEnd) {
  frameAfter(204.9);
  FrameResult end = frameAfter(0.2);
  ASSERT_EQ(end.end, ShowEnd::PastTheEnd);
  EXPECT_FALSE(showGoesOn(demo, end)) << "without --loop the show ends";
  demo.loop = true;
  EXPECT_TRUE(showGoesOn(demo, end));
  frameAfter(0.02);
  expectAt(0.0);
  frameAfter(0.5);
  expectAt(0.5);
  EXPECT_FALSE(showGoesOn(demo, {ShowEnd::FadeDone, 0, "the end fade"})) << "Escape still ends";
}

}  // namespace
