// Offline rendering: frames at chosen show times, with the clock and the
// spectrum taken from the frame times instead of the wall clock and the
// sound output, so the same time always gives the same picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/frame_driver.h"

struct DemoState;
class RenderResources;

// The offline clock stands on whole nanoseconds of show time and is read the
// way the timer reads its counter, so a frame time always gives the same
// frame delta.
struct OfflineClock {
  int64_t count = 0;     // nanoseconds since the clock began
  double seconds = 0.0;  // the reading: the sum of the steps, as the timer sums them
};

// Switches the demo clock and the spectrum to frame-driven time and returns
// the clock at 0. Call after the window exists.
OfflineClock beginOfflineClock(DemoState& demo);
// Runs one frame through the frame driver so that it ends at show time t;
// the clock never runs backwards.
FrameResult runOfflineFrame(DemoState& demo, OfflineClock& clock, double t);
// Renders the frame at show time t after two warm-up frames 1/60 s apart and
// writes the window's picture to path. Returns the process exit code.
int renderScreenshot(DemoState& demo, double t, const std::string& path);
