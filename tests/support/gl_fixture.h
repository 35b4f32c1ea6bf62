// A live GL context for render tests: one small window per test process,
// opened through the platform layer (an OpenGL 3.3 core-profile context),
// with the entry points loaded.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

class GLTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static const bool opened = openContext();
    contextOpen = opened;
  }

  void SetUp() override { ASSERT_TRUE(contextOpen) << "no GL context: " << contextError; }

 private:
  // One attempt: a refused window or context is a fault to see, not to retry.
  static bool openContext() {
    if (!platform::initVideo() ||
        !platform::createWindow("tessaly render test", 0, 0, 128, 128, false) ||
        !platform::choosePixelFormat() || !platform::createGLContext()) {
      contextError = "the window system said \"" + platform::lastError() +
                     "\" (is a display, such as Xvfb, set?)";
      return false;
    }
    glewExperimental = GL_TRUE;
    const GLenum glew = glewInit();
    glGetError();  // GLEW's lookup in a core context leaves an error behind
    // No GLX display (a context made through EGL) leaves GL's entry points loaded.
    if (glew != GLEW_OK && glew != GLEW_ERROR_NO_GLX_DISPLAY) {
      contextError =
          std::string("GLEW: ") + reinterpret_cast<const char*>(glewGetErrorString(glew));
      return false;
    }
    return true;
  }

  static inline std::string contextError;
  static inline bool contextOpen = false;
};
