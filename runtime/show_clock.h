// The show's clocks, in one record that the program's entry owns and hands
// down: the timer (seconds of the high-resolution counter since the end of
// the startup) and the show clock it drives (demoTime), with the start time,
// pause and seek that move the show clock, and the offline renders' exact
// clock. The frame driver advances it once a frame (runtime/frame_driver.h);
// the content never sees it, only the show time of the frame it draws.
#pragma once

#include <cstdint>
#include <optional>

struct ShowClock {
  // The show clock: seconds of show time, advanced by frameDelta each frame.
  double demoTime = 0.0;
  double frameDelta = 0.0;      // since the previous frame, never negative
  double lastTimerValue = 0.0;  // the timer's reading at the previous frame
  double startTime = 0.0;       // a start on the command line: the first frame jumps there
  // The transport (app/transport.h): a paused show's clocks stand still and
  // its spectrum holds; a seek takes the next frame, the show clock and the
  // music to seekTarget.
  bool paused = false;
  std::optional<double> seekTarget;
  // Offline renders: each reading is a frame's exact show time, and the
  // show clock is set from it instead of summing the deltas (frame_driver.h).
  bool exactClock = false;
  int32_t frameCount = 0;  // frames run so far; 1 during the first
  // The end fade after Escape runs on the show clock from fadeStartTime.
  bool fadingOut = false;
  double fadeStartTime = 0.0;

  // The timer (runtime/timer.h).
  double timerSeconds = 0.0;
  int64_t timerLastCount = 0;
  double loadSeconds = 0.0;  // how long the startup took
};
