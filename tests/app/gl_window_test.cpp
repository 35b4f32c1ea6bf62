// The real window under a display: it opens, runs frames with swaps, and
// tears down without a message; Escape ends the show with code 0.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include "app/gl_window.h"
#include "app/main_loop.h"
#include "platform/platform.h"
#include "runtime/demo_state.h"

namespace {

class GlWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    demo.musicEnabled = false;  // the sound system has tests of its own
    chdir(TESSALY_BINARY_DIR "/data");
  }
};

TEST_F(GlWindow, OpensRunsFramesAndTearsDownQuietly) {
  testing::internal::CaptureStderr();
  ASSERT_TRUE(createMainWindow("Tessaly", 320, 180, 32, false));
  EXPECT_TRUE(platform::hasGLContext());
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 320);
  EXPECT_EQ(viewport[3], 180);
  int code = 0;
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(mainLoopPass(code));
  EXPECT_EQ(demo.frameCount, 5);
  EXPECT_GT(demo.demoTime, 0.0);
  destroyMainWindow();
  EXPECT_FALSE(platform::hasWindow());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(GlWindow, EscapeEndsTheShowWithCodeZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        createMainWindow("Tessaly", 320, 180, 32, false);
        demo.keys[platform::vk::Escape] = true;
        int code = 0;
        for (int i = 0; i < 3; ++i) mainLoopPass(code);
        std::exit(3);  // not reached: the fade ends the process
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
