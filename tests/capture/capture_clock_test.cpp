// The offline clock over a long capture: frames timed from their numbers
// land on their show times exactly minutes in, through the frame driver to
// the frame record the part draws. A clock that sums its steps drifts off the half seconds
// that seed the scenes' patterns (int(2t)) and so changes those frames.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "capture/capture.h"
#include "capture/offline_render.h"
#include "demo/parts.h"
#include "runtime/demo_state.h"

namespace {

// Records the show time of every frame it is asked to draw.
class ClockPart : public parts {
 public:
  void drawFrame(const FrameRecord& frame, RenderResources&, Random&) override {
    partTimes.push_back(frame.time);
  }
  PartLoad initResources(RenderResources&, Random&) override { return {}; }
  std::vector<double> partTimes;
};

}  // namespace

TEST(CaptureClock, HalfSecondFramesLandOnTheirTimesAfterMinutesOfFrames) {
  for (int fps : {30, 60}) {
    const auto state = std::make_unique<DemoState>();
    DemoState& demo = *state;
    demo.music.enabled = false;
    ClockPart part;
    demo.partSlots.slot[0] = &part;
    const int frames = captureFrameCount(0.0, 200.0, fps);
    OfflineClock clock = beginOfflineClock(demo);
    for (int n = -2; n < frames; ++n) runOfflineFrame(demo, clock, captureFrameTime(0.0, fps, n));
    ASSERT_EQ(part.partTimes.size(), static_cast<size_t>(frames + 2));

    for (int n = 0; n < frames; ++n) {
      const double t = part.partTimes[n + 2];
      ASSERT_EQ(t, captureFrameTime(0.0, fps, n)) << "frame " << n << " at " << fps << " fps";
      if (n % (fps / 2) == 0) {
        ASSERT_EQ(static_cast<int>(2.0 * t), n / (fps / 2)) << "frame " << n << " at " << fps;
      }
    }
    EXPECT_EQ(demo.clock.demoTime, captureFrameTime(0.0, fps, frames - 1));
  }
}

// The benchmark and the screenshot jump between far moments; adding the
// difference of two readings can miss the later one by a rounding (10.3 s
// and then 45.1 s does), landing on it cannot.
TEST(CaptureClock, AJumpBetweenFarMomentsLandsOnTheLaterOne) {
  const auto state = std::make_unique<DemoState>();
  DemoState& demo = *state;
  demo.music.enabled = false;
  ClockPart part;
  demo.partSlots.slot[0] = &part;
  OfflineClock clock = beginOfflineClock(demo);
  for (double t : {10.3, 45.1}) {
    runOfflineFrame(demo, clock, t);
    EXPECT_EQ(demo.clock.demoTime, t);
    EXPECT_EQ(part.partTimes.back(), t);
  }
}
