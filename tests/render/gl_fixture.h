// A live GL context for render tests: one small window per test process,
// opened through the platform layer, with the extension entry points loaded.
#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

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
  static bool openContext() {
    return platform::initVideo() &&
           platform::createWindow("tessaly render test", 0, 0, 128, 128, false) &&
           platform::choosePixelFormat() && platform::createGLContext() && glewInit() == GLEW_OK;
  }

  static inline bool contextOpen = false;
};
