// The display-mode list the setup dialog offers, and the screen size a choice gives.
//
// Pure functions over plain records: no window system, no global state.
// filterDisplayModes keeps the landscape modes up to 2047 pixels with an aspect
// ratio of at most 1.8, once each, in the order given. The dialog labels each
// mode, preselects 1280 x 720 (or 1024 x 768), and the chosen width decides
// the screen: the show always renders at 16:9.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "runtime/demo_state.h"

// Acceptable modes of `modes`, in order, without repeats of the same width and height.
std::vector<DisplayMode> filterDisplayModes(const std::vector<platform::VideoMode>& modes);

// The list the dialog shows: `modes`, or the one entry 1280 x 720 when `modes` is empty.
std::vector<DisplayMode> offeredDisplayModes(const std::vector<DisplayMode>& modes);

// " W x H  (16:10)", " W x H  (16:9)" or " W x H       " by the mode's aspect ratio.
std::string displayModeLabel(const DisplayMode& mode);

// The entry selected when the dialog opens: 1280 x 720 unless it is the first
// entry or absent, then the last 1024 x 768, else 0.
int initialModeIndex(const std::vector<DisplayMode>& modes);

// The 16:9 height for a width: the integer part of width / (16/9), the
// quotient rounded to single precision first (1366 -> 768, 1280 -> 720).
int renderHeightForWidth(int width);

// What the dialog's "Run ... " decides: the render size, and the display
// mode a fullscreen screen switches to, the chosen mode itself (a mode of
// another shape shows the 16:9 picture with black bars).
struct ScreenChoice {
  int width = 1280;
  int height = 720;
  int displayWidth = 1280;
  int displayHeight = 720;
  bool fullscreen = false;
  bool antialiased = true;
};

// The screen for entry `index` of `modes` (an index outside the list takes
// entry 0; `modes` must not be empty). The mode's own height is only the
// display mode's.
ScreenChoice screenFromDialog(const std::vector<DisplayMode>& modes, int index, bool antialiased,
                              bool windowed);
