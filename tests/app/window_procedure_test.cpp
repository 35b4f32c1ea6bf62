// The window procedure fed messages directly.
#include "app/window_procedure.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/main_loop.h"
#include "runtime/demo_state.h"
#include "runtime/timer.h"

namespace {

// The show's state these tests own, as the program's entry owns it.
DemoState demo;

using platform::MessageType;
using platform::WindowMessage;

WindowMessage message(MessageType type) {
  WindowMessage m;
  m.type = type;
  return m;
}

WindowMessage key(MessageType type, int code) {
  WindowMessage m = message(type);
  m.key = code;
  return m;
}

class WindowProcedure : public ::testing::Test {
 protected:
  void SetUp() override { demo = DemoState(); }
};

TEST_F(WindowProcedure, WheelCountsWholeNotches) {
  WindowMessage wheel = message(MessageType::MouseWheel);
  wheel.wheelDelta = 120;
  windowProcedure(demo, wheel);
  EXPECT_EQ(demo.input.wheelCount, 1);
  wheel.wheelDelta = -60;
  windowProcedure(demo, wheel);
  EXPECT_EQ(demo.input.wheelCount, 1);  // -60 / 120 truncates to 0
}

TEST_F(WindowProcedure, TuningValuesMoveOncePerMessageOnTheDefaultPath) {
  demo.clock.frameDelta = 0.1;
  windowProcedure(demo, key(MessageType::KeyDown, platform::vk::Up));
  windowProcedure(demo, key(MessageType::KeyDown, 'Q'));
  // Key messages are handled and do not reach the default path.
  EXPECT_EQ(demo.input.frameInput.adjustB, 0.0);
  EXPECT_EQ(demo.input.frameInput.adjustA, 0.0);
  // Every other message does: mouse motion speeds the values up.
  for (int i = 0; i < 3; ++i) windowProcedure(demo, message(MessageType::Other));
  EXPECT_NEAR(demo.input.frameInput.adjustB, 3 * 0.15, 1e-12);
  EXPECT_NEAR(demo.input.frameInput.adjustA, 3 * 0.1, 1e-12);
  windowProcedure(demo, key(MessageType::KeyUp, platform::vk::Up));
  windowProcedure(demo, key(MessageType::KeyUp, 'Q'));
  windowProcedure(demo, key(MessageType::KeyDown, platform::vk::Down));
  windowProcedure(demo, key(MessageType::KeyDown, 'A'));
  windowProcedure(
      demo,
      message(MessageType::LeftButtonDown));  // the button's action, then the default path
  EXPECT_NEAR(demo.input.frameInput.adjustB, 2 * 0.15, 1e-12);
  EXPECT_NEAR(demo.input.frameInput.adjustA, 2 * 0.1, 1e-12);
  // The screen saver request is swallowed without touching the values.
  windowProcedure(demo, message(MessageType::ScreenSaver));
  EXPECT_NEAR(demo.input.frameInput.adjustA, 2 * 0.1, 1e-12);
}

TEST_F(WindowProcedure, KeyCodesOutsideTheTableAreIgnored) {
  windowProcedure(demo, key(MessageType::KeyDown, 300));
  windowProcedure(demo, key(MessageType::KeyDown, -1));
  for (bool down : demo.input.keys) EXPECT_FALSE(down);
}

// The table's last code works like any other; the codes just outside it
// change no byte of the demo state (a write past either end of the table
// would land in the fields beside it).
TEST_F(WindowProcedure, KeyTableEndsAtCode255) {
  windowProcedure(demo, key(MessageType::KeyDown, 255));
  EXPECT_TRUE(demo.input.keys[255]);
  windowProcedure(demo, key(MessageType::KeyUp, 255));
  EXPECT_FALSE(demo.input.keys[255]);

  std::vector<unsigned char> before(sizeof demo);
  std::memcpy(before.data(), &demo, sizeof demo);
  for (MessageType type : {MessageType::KeyDown, MessageType::KeyUp}) {
    for (int code : {256, -1}) {
      windowProcedure(demo, key(type, code));
      EXPECT_EQ(std::memcmp(before.data(), &demo, sizeof demo), 0)
          << (type == MessageType::KeyDown ? "key down " : "key up ") << code;
    }
  }
}

TEST_F(WindowProcedure, TwoMiddleClicksGiveTwoPointsAndSixLines) {
  demo.input.frameInput.cameraX = 1.0;
  demo.input.frameInput.cameraY = 2.5;
  demo.input.frameInput.cameraZ = -3.0;
  demo.input.frameInput.pointX = 0.125;
  demo.renderer.markerY = 7.0f;
  windowProcedure(demo, message(MessageType::MiddleButtonDown));
  demo.input.frameInput.pointX = 1234567.0;
  windowProcedure(demo, message(MessageType::MiddleButtonDown));

  ASSERT_EQ(demo.input.frameInput.capturedPoints.size(), 2u);
  EXPECT_EQ(demo.input.frameInput.capturedPoints[0].state, 1);
  EXPECT_FLOAT_EQ(demo.input.frameInput.capturedPoints[0].x, 0.125f);
  EXPECT_EQ(demo.input.clipboardText,
            "Cam :1,2.5,-3  \nPnt :0.125,0,0  \n \nMCr :0,7,0  \n \n"
            "Cam :1,2.5,-3  \nPnt :1.23457e+06,0,0  \n \nMCr :0,7,0  \n \n");
}

TEST_F(WindowProcedure, CloseAsksTheLoopToQuit) {
  windowProcedure(demo, message(MessageType::Close));
  FrameResult end;
  EXPECT_FALSE(mainLoopPass(demo, end));
  EXPECT_EQ(end.end, ShowEnd::WindowClosed);
  EXPECT_EQ(end.exitCode, 0);
}

int64_t stillCounter() { return 0; }
int64_t stillFrequency() { return 1000; }

TEST_F(WindowProcedure, MinimisingStopsFramesAndRestoringResumesThem) {
  setCounterSource({stillCounter, stillFrequency});
  demo.music.enabled = false;
  FrameResult code;
  ASSERT_TRUE(mainLoopPass(demo, code));
  EXPECT_EQ(demo.clock.frameCount, 1);

  WindowMessage activate = message(MessageType::Activate);
  activate.minimized = true;
  windowProcedure(demo, activate);
  ASSERT_TRUE(mainLoopPass(demo, code));
  EXPECT_EQ(demo.clock.frameCount, 1);

  // Escape while inactive still starts the end fade.
  demo.input.keys[platform::vk::Escape] = true;
  ASSERT_TRUE(mainLoopPass(demo, code));
  EXPECT_TRUE(demo.clock.fadingOut);
  demo.input.keys[platform::vk::Escape] = false;
  demo.clock.fadingOut = false;

  activate.minimized = false;
  windowProcedure(demo, activate);
  ASSERT_TRUE(mainLoopPass(demo, code));
  EXPECT_EQ(demo.clock.frameCount, 2);
  setCounterSource(platformCounterSource());
}

TEST_F(WindowProcedure, F1IsClearedAfterEachPass) {
  windowProcedure(demo, key(MessageType::KeyDown, platform::vk::F1));
  demo.input.windowActive = false;
  FrameResult code;
  mainLoopPass(demo, code);
  EXPECT_FALSE(demo.input.keys[platform::vk::F1]);
}

}  // namespace
