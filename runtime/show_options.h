// The show's window and options: the render and window sizes, fullscreen,
// the setup dialog's choices, the loop and the end fade's rate. Set before
// the window opens (app/main_loop.cpp, the setup dialog) and read after.
#pragma once

#include <cstdint>
#include <vector>

struct DisplayMode {
  int32_t width;
  int32_t height;
};

struct ShowOptions {
  int32_t renderWidth = 1280, renderHeight = 720;
  int32_t viewportWidth = 1280, viewportHeight = 720;
  int32_t displayWidth = 1280, displayHeight = 720;  // the mode fullscreen switches to
  bool fullscreen = false;
  bool showSetupDialog = true;
  bool loop = false;  // past the end the show starts again from 0
  // The end fade's level per second after Escape. The delivered show ends at
  // once: at this rate any frame longer than 10 microseconds completes the
  // fade, so Escape quits on the next frame. A release build fades over
  // 1.25 s (0.8 per second) instead.
  double fadeOutRate = 100002.5;
  // The dialog's choice: the scene with 4 samples, or one and an edge filter.
  bool antialiased = true;
  std::vector<DisplayMode> displayModes;
  bool releaseBuild = false;  // a developer switch, fixed at build time
};
