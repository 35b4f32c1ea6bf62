// The real window under a display: it opens, runs frames with swaps, and
// tears down without a message; Escape ends the show with code 0. The edges:
// a fullscreen mode the display cannot set (answered No and Yes), a resize
// to height 0, and the teardown of a window that never got a context.
#include "app/gl_window.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "app/main_loop.h"
#include "app/teardown.h"
#include "app/window_procedure.h"
#include "demo/part_start.h"
#include "platform/platform.h"
#include "runtime/demo_state.h"
#include "runtime/startup.h"
#include "support/show_window.h"

namespace {

// The show's state and part these tests own, as the program's entry owns them.
DemoState demo;
part_start content;

// Opens the window the way the program does, running the show's startup.
bool openWindow(int width, int height, bool fullscreen) {
  demo.options.fullscreen = fullscreen;
  return openShowWindow(demo, content, width, height);
}

class GlWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    demo.music.enabled = false;  // the sound system has tests of its own
    demo.options.fullscreen = false;
    setenv("TESSALY_BATCH", "1", 1);  // questions are answered without a box
    chdir(TESSALY_BINARY_DIR "/data");
  }
  void TearDown() override { unsetenv("TESSALY_ANSWER"); }
};

constexpr const char* kFallbackQuestion =
    "Ravok GL: The Requested Fullscreen Mode Is Not Supported \n by your Video Card. Or it may be "
    "that this demo \nwas made for 16:9 aspect ratio only. \n \nUse Windowed Mode Instead?\n";

TEST_F(GlWindow, OpensRunsFramesAndTearsDownQuietly) {
  testing::internal::CaptureStderr();
  ASSERT_TRUE(openWindow(320, 180, false));
  EXPECT_TRUE(platform::hasGLContext());
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 320);
  EXPECT_EQ(viewport[3], 180);
  FrameResult end;
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(mainLoopPass(demo, end));
  EXPECT_EQ(demo.clock.frameCount, 5);
  EXPECT_GT(demo.clock.demoTime, 0.0);
  destroyMainWindow(demo.options.fullscreen);
  EXPECT_FALSE(platform::hasWindow());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// No display offers 322 x 181: the question comes, No ends the creation
// before any window exists, Yes opens a window of the requested client size
// with a context instead and leaves no display mode to restore.
TEST_F(GlWindow, UnsupportedFullscreenModeOffersAWindow) {
  setenv("TESSALY_ANSWER", "no", 1);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(openWindow(322, 181, true));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            std::string(kFallbackQuestion) + "ERROR: Program Will Now Close.\n");
  EXPECT_FALSE(platform::hasWindow());
  EXPECT_FALSE(platform::hasGLContext());

  setenv("TESSALY_ANSWER", "yes", 1);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(openWindow(322, 181, true));
  EXPECT_FALSE(demo.options.fullscreen);
  ASSERT_TRUE(platform::hasGLContext());
  GLint box[4] = {};
  glGetIntegerv(GL_SCISSOR_BOX, box);  // the drawable's size when the context was made current
  EXPECT_EQ(box[2], 322);
  EXPECT_EQ(box[3], 181);
  destroyMainWindow(demo.options.fullscreen);
  EXPECT_FALSE(platform::hasWindow());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), kFallbackQuestion);
}

// A window that never got a context tears down without a word. A window
// shrunk to no height keeps a viewport of one row and a finite projection
// with the aspect ratio width / 1.
TEST_F(GlWindow, TeardownWithoutAContextAndAResizeToHeightZero) {
  ASSERT_TRUE(platform::initVideo() && platform::createWindow("Tessaly", 50, 50, 320, 180, false))
      << platform::lastError();
  testing::internal::CaptureStderr();
  destroyMainWindow(demo.options.fullscreen);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(platform::hasWindow());

  ASSERT_TRUE(platform::createWindow("Tessaly", 50, 50, 320, 180, false) &&
              platform::createGLContext())
      << platform::lastError();
  platform::WindowMessage size;
  size.type = platform::MessageType::Size;
  size.width = 320;
  windowProcedure(demo, size);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 320);
  EXPECT_EQ(viewport[3], 1);
  destroyMainWindow(demo.options.fullscreen);
}

// Escape starts the end fade, whose delivered rate completes it on the next
// frame: the loop stops there with code 0 and the captured text to hand over.
// The one teardown then leaves nothing behind, and a second one finds
// nothing to do.
TEST_F(GlWindow, EscapeEndsTheShowWithCodeZeroAndOneTeardown) {
  ASSERT_TRUE(openWindow(320, 180, false));
  ASSERT_NE(demo.partSlots.slot[0], nullptr);
  demo.input.keys[platform::vk::Escape] = true;
  FrameResult end;
  int passes = 0;
  while (passes < 5 && mainLoopPass(demo, end)) ++passes;
  EXPECT_EQ(passes, 1);  // the pass that saw Escape, then the pass whose fade completed
  EXPECT_EQ(end.end, ShowEnd::FadeDone);
  EXPECT_EQ(end.exitCode, 0);
  demo.input.keys[platform::vk::Escape] = false;

  testing::internal::CaptureStderr();
  tearDownShow(demo, false);
  EXPECT_EQ(demo.partSlots.slot[0], nullptr);
  EXPECT_FALSE(platform::hasGLContext());
  EXPECT_FALSE(platform::hasWindow());
  tearDownShow(demo, false);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// A startup that fails stops the window's creation before the font is built
// and returns false; the window stays for the caller's message and teardown.
TEST_F(GlWindow, AFailingStartupIsReturnedToTheCaller) {
  EXPECT_FALSE(
      createMainWindow("Tessaly", 320, 180, 32, demo.options.fullscreen, [] { return false; }));
  EXPECT_TRUE(platform::hasWindow());
  tearDownShow(demo, false);
  EXPECT_FALSE(platform::hasWindow());
}

}  // namespace
