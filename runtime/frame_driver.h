// The frame driver: one call per pass of the main loop while the window is
// active. It takes the show clock's reading, works out the frame delta,
// advances the demo clock, hands the part its input, and says whether the
// show goes on. It never ends the process: the caller tears down and leaves.
#pragma once

struct DemoState;

// How a frame ended the show, or that it did not.
enum class ShowEnd {
  None,          // the show goes on
  PastTheEnd,    // the demo clock passed the end of the show
  QuitFlag,      // the quit track flag was set (a camera track can set it)
  FadeDone,      // the end fade completed: the captured text goes to the clipboard
  WindowClosed,  // the main loop's own: the window was closed (no frame ran)
};

struct FrameResult {
  ShowEnd end = ShowEnd::None;
  int exitCode = 0;  // the process exit code when end is not None
  const char* reason = "";
};

// One frame. clockSeconds is the show clock's reading: the timer's seconds
// since the end of the startup (timerRead()) in the played show, or the
// frame's show time in offline rendering. The frame delta is the difference
// to the previous reading. The played show adds the delta to the demo clock;
// with clock.exactClock (offline renders) a plain step sets it to the
// reading (plus what a start, seek or pause moved it by), so that frame times
// made from a frame number and a frame rate are met exactly however long the
// run. The part draws the frame at the show clock's time after the advance.
FrameResult runFrame(DemoState& demo, double clockSeconds);

// Demo time of the start bookmark value (1..5), or a negative value when the
// bookmark leaves the clock unchanged.
double bookmarkTime(int bookmark);

// The end fade: level L in [0, 1] after `elapsed` seconds at `rate` per second,
// and the music volume (255 - 255 L, truncated) it gives.
double fadeLevel(double elapsed, double rate);
int fadeVolume(double level);
