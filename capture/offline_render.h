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

// The offline clock's reading is the show time of the frame it last ran,
// exactly as the caller computed it (from a frame number and a frame rate),
// never a sum of steps.
struct OfflineClock {
  double seconds = 0.0;
};

// Switches the demo clock and the spectrum to frame-driven time and returns
// the clock at 0. Call after the window exists.
OfflineClock beginOfflineClock(DemoState& demo);
// Runs one frame through the frame driver so that it ends at show time t
// (a plain step lands on t exactly); the clock never runs backwards.
FrameResult runOfflineFrame(DemoState& demo, OfflineClock& clock, double t);
// True when the viewer asked an offline job to stop: Escape, closing the
// window, or (once catchStopSignals is on) Ctrl-C, SIGTERM or SIGHUP.
// Nothing else reaches the frame driver, so input cannot change the picture.
bool offlineStopRequested();
// False, after saying so on stderr, when the soundtrack's file ends before
// show time `until` (it is damaged or cut short): past its end the spectrum
// is silence and the sound missing, so the frames would not be the show's.
// `job` names what refuses ("capture to /videos/out.mp4").
bool soundtrackReaches(const DemoState& demo, double until, const std::string& job);
// Renders the frame at show time t after two warm-up frames 1/60 s apart and
// writes the window's picture to path. Returns the process exit code.
int renderScreenshot(DemoState& demo, double t, const std::string& path);
