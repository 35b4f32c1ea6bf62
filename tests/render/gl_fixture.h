// A live GL context for render tests: one small window per test process,
// opened through the platform layer, with the extension entry points loaded.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/platform.h"

class GLTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static const bool opened = openContext();
    contextOpen = opened;
  }

  void SetUp() override {
    ASSERT_TRUE(contextOpen) << "no GL context could be made; is a display (Xvfb) set?";
  }

 private:
  // A display under heavy parallel load can refuse a window or context for a
  // moment; try a few times and say why each attempt failed.
  static bool openContext() {
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (platform::initVideo() &&
          platform::createWindow("tessaly render test", 0, 0, 128, 128, false) &&
          platform::choosePixelFormat() && platform::createGLContext() && glewInit() == GLEW_OK)
        return true;
      std::fprintf(stderr, "GL test context, attempt %d: %s\n", attempt + 1,
                   platform::lastError().c_str());
      platform::destroyGLContext();
      platform::destroyWindow();
      std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    return false;
  }

  static inline bool contextOpen = false;
};
