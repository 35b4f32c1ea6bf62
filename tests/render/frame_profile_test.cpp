// The frame profile's passes: names in order, each charged the time between
// its marks on the wall clock and in CPU time.
#include "render/frame_profile.h"

#include "support/gl_fixture.h"

namespace {

class FrameProfileTest : public GLTest {};

// Keeps this process busy for at least the given CPU seconds.
void spin(double cpuSeconds) {
  const double end = processCpuSeconds() + cpuSeconds;
  volatile double sink = 0.0;
  while (processCpuSeconds() < end) sink = sink + 1.0;
}

TEST_F(FrameProfileTest, EachPassIsChargedTheCpuTimeBetweenItsMarks) {
  FrameProfile profile(FrameProfile::Clock::kFinish);
  profile.endPass("before the frame");  // ignored
  profile.beginFrame();
  spin(0.03);
  profile.endPass("busy");
  profile.endPass("idle");
  const std::vector<PassTime> passes = profile.finishFrame();
  profile.endPass("after the frame");  // ignored

  ASSERT_EQ(passes.size(), 2u);
  EXPECT_EQ(passes[0].name, "busy");
  EXPECT_EQ(passes[1].name, "idle");
  EXPECT_GE(passes[0].cpuMilliseconds, 30.0);
  EXPECT_GE(passes[0].milliseconds, 29.0);  // one busy thread cannot outrun the wall clock
  EXPECT_LT(passes[1].cpuMilliseconds, passes[0].cpuMilliseconds);
}

}  // namespace
