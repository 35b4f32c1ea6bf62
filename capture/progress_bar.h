// A progress bar on standard error for long offline jobs: the share done,
// frames done of all, frames per second and the time left.
#pragma once

#include <chrono>
#include <string>

// The bar's text for `done` of `total` frames after `elapsedSeconds`, e.g.
// "[#####---------------]  25%  30/120 frames  4.2 fps  0:21 left".
// Once all frames are done the time left becomes the time taken.
std::string progressLine(int done, int total, double elapsedSeconds);

class ProgressBar {
 public:
  explicit ProgressBar(int total);
  // Shows the bar for `done` frames: redrawn in place a few times a second on
  // a terminal, a new line every few seconds otherwise; always once all are
  // done, and only once.
  void update(int done);

 private:
  using Clock = std::chrono::steady_clock;
  int total_;
  bool terminal_;
  Clock::time_point start_;
  Clock::time_point lastShown_;
  bool shownOnce_ = false;
  bool shownDone_ = false;  // the line for all frames is out
};
