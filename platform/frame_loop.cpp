// The desktop's frame loop: passes on the calling thread, as fast as the
// buffer swap allows.
#include "platform/platform.h"

namespace platform {

int runFrameLoop(const std::function<bool()>& pass, const std::function<int()>& done) {
  while (pass()) {
  }
  return done();
}

// The desktop draws the overlay's text into the picture.
bool showOverlayText(const std::vector<std::string>&) { return false; }

void tellShowTime(double) {}

void tellTimeline(const std::vector<ShowSection>&, double) {}

std::optional<double> takeSeekRequest() { return std::nullopt; }

}  // namespace platform
