// Escape ends the show through the main loop wherever it lands near the end,
// with the loop on as without it: in the last frame before 205 s, in the pass
// whose frame passes the end, on the loop's first frame, after a seek to the
// end or to the start, and on a show paused at the end; and on a show paused
// mid-show, which resumes so that its end fade runs. The keys arrive as
// window messages, the clock is the test's, and the part only counts frames.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "app/window_procedure.h"
#include "demo/parts.h"
#include "platform/platform.h"
#include "runtime/demo_state.h"
#include "runtime/timer.h"
#include "support/gl_fixture.h"

namespace {

namespace vk = platform::vk;

// The test's counter, in microseconds.
int64_t counter = 0;
int64_t testCount() { return counter; }
int64_t testFrequency() { return 1000000; }

class FramePart : public parts {
 public:
  void drawFrame(const FrameRecord&, RenderResources&, Random&) override {}
  PartLoad initResources(RenderResources&, Random&) override { return {}; }
};

// One pass of the main loop `seconds` after the previous one, the keys
// pressed first (Escape stays down, as a held key; the others are tapped).
struct Step {
  double seconds;
  std::vector<int> keys;
};

struct Case {
  const char* name;
  bool loop;
  double start;
  std::vector<Step> steps;  // the last one presses Escape
  bool fadeEnds = false;    // the end fade, not the end of the show, ends it
};

platform::WindowMessage keyMessage(platform::MessageType type, int key) {
  platform::WindowMessage message;
  message.type = type;
  message.key = key;
  return message;
}

class EscapeNearTheEnd : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    counter = 0;
    setCounterSource({testCount, testFrequency});
  }
  void TearDown() override { setCounterSource(platformCounterSource()); }
};

TEST_F(EscapeNearTheEnd, EndsTheShowWithAndWithoutTheLoop) {
  const Case cases[] = {
      {"Escape in the last frame", false, 204.99, {{0.005, {}}, {0.002, {vk::Escape}}}},
      {"Escape in the last frame, looped", true, 204.99, {{0.005, {}}, {0.002, {vk::Escape}}}},
      {"Escape in the pass that passes the end, looped",
       true,
       204.99,
       {{0.005, {}}, {0.01, {vk::Escape}}}},
      {"Escape on the loop's first frame",
       true,
       204.99,
       {{0.005, {}}, {0.01, {}}, {0.01, {vk::Escape}}}},
      {"Page Down, then Escape, looped",
       true,
       190.0,
       {{0.01, {}}, {0.01, {vk::PageDown}}, {0.01, {vk::Escape}}}},
      {"Page Down and Escape in one pass, looped",
       true,
       190.0,
       {{0.01, {}}, {0.01, {vk::PageDown, vk::Escape}}}},
      {"Home, then Escape, looped", true, 190.0, {{0.01, {}}, {0.01, {vk::Home, vk::Escape}}}},
      {"Escape on a show paused at the end, looped",
       true,
       190.0,
       {{0.01, {}}, {0.01, {vk::PageDown}}, {0.01, {vk::Space}}, {1.0, {}}, {0.01, {vk::Escape}}}},
      {"Escape on a show paused mid-show",
       false,
       100.0,
       {{0.01, {}}, {0.01, {vk::Space}}, {1.0, {}}, {0.01, {vk::Escape}}},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto state = std::make_unique<DemoState>();
    DemoState& demo = *state;
    FramePart part;
    demo.music.enabled = false;
    demo.partSlots.slot[0] = &part;
    demo.options.loop = c.loop;
    demo.clock.startTime = c.start;
    demo.clock.lastTimerValue = timerRead(demo.clock);

    FrameResult end;
    bool running = true;
    for (const Step& step : c.steps) {
      ASSERT_TRUE(running) << "the show ended before Escape";
      for (int key : step.keys) {
        windowProcedure(demo, keyMessage(platform::MessageType::KeyDown, key));
        if (key != vk::Escape) windowProcedure(demo, keyMessage(platform::MessageType::KeyUp, key));
      }
      counter += static_cast<int64_t>(step.seconds * 1e6);
      running = mainLoopPass(demo, end);
    }
    // The pass that saw Escape may be the last; else the end comes within
    // two more passes of 10 ms.
    for (int pass = 0; running && pass < 2; ++pass) {
      counter += 10000;
      running = mainLoopPass(demo, end);
    }
    EXPECT_FALSE(running) << "still playing at " << demo.clock.demoTime << " s";
    EXPECT_NE(end.end, ShowEnd::WindowClosed);
    if (c.fadeEnds) {
      EXPECT_EQ(end.end, ShowEnd::FadeDone);
    }
    EXPECT_EQ(end.exitCode, 0);
  }
}

}  // namespace
