// The progress bar's text and how often it is shown.
#include "capture/progress_bar.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kBarWidth = 30;

// Whole seconds as m:ss, or h:mm:ss from an hour on.
std::string clockText(double seconds) {
  const long total = std::lround(std::max(seconds, 0.0));
  char text[32];
  if (total >= 3600)
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
  else
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  return text;
}

}  // namespace

std::string progressLine(int done, int total, double elapsedSeconds) {
  total = std::max(total, 1);
  done = std::clamp(done, 0, total);
  const int percent = static_cast<int>(100LL * done / total);
  const int filled = static_cast<int>(static_cast<long long>(kBarWidth) * done / total);
  const double fps = elapsedSeconds > 0.0 ? done / elapsedSeconds : 0.0;
  std::string timing;
  if (done == total)
    timing = clockText(elapsedSeconds) + " taken";
  else if (done > 0 && fps > 0.0)
    timing = clockText((total - done) / fps) + " left";
  else
    timing = "--:-- left";
  char text[160];
  std::snprintf(text, sizeof text, "[%s%s] %3d%%  %d/%d frames  %.1f fps  %s",
                std::string(filled, '#').c_str(), std::string(kBarWidth - filled, '-').c_str(),
                percent, done, total, fps, timing.c_str());
  return text;
}

ProgressBar::ProgressBar(int total)
    : total_(total),
      terminal_(isatty(STDERR_FILENO) == 1),
      start_(Clock::now()),
      lastShown_(start_) {}

void ProgressBar::update(int done) {
  const Clock::time_point now = Clock::now();
  const auto interval = terminal_ ? std::chrono::milliseconds(200) : std::chrono::seconds(5);
  const bool last = done >= total_;
  if (shownDone_ || (!last && shownOnce_ && now - lastShown_ < interval)) return;
  lastShown_ = now;
  shownOnce_ = true;
  shownDone_ = last;
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  const std::string line = progressLine(done, total_, elapsed);
  if (terminal_)
    std::fprintf(stderr, "\r%s\033[K%s", line.c_str(), last ? "\n" : "");
  else
    std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}
