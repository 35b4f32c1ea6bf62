// Pause, seek and loop.
#include "app/transport.h"

#include <algorithm>

#include "core/timeline.h"
#include "platform/platform.h"
#include "runtime/demo_state.h"
#include "runtime/frame_driver.h"
#include "runtime/music.h"

namespace {

// Seeks count from a seek still waiting for its frame, so two quick presses
// go twice as far.
void seekBy(DemoState& demo, double seconds) {
  seekShow(demo, demo.clock.seekTarget.value_or(demo.clock.demoTime) + seconds);
}

}  // namespace

void transportKeyPressed(DemoState& demo, int key) {
  namespace vk = platform::vk;
  // Once the end fade has begun the show is on its way out.
  if (demo.fadingOut) return;
  switch (key) {
    case vk::Space:
      if (demo.clock.paused)
        resumeShow(demo);
      else
        pauseShow(demo);
      return;
    case vk::Left:
      seekBy(demo, -kShortSeek);
      return;
    case vk::Right:
      seekBy(demo, kShortSeek);
      return;
    case vk::PageUp:
      seekBy(demo, -kLongSeek);
      return;
    case vk::PageDown:
      seekBy(demo, kLongSeek);
      return;
    case vk::Home:
      seekShow(demo, 0.0);
      resumeShow(demo);
      return;
  }
}

void pauseShow(DemoState& demo) {
  demo.clock.paused = true;
  // The key came after the held frame; the music goes back to it as it falls silent.
  pauseMusic(demo.music, true);
  seekMusic(demo.music, demo.clock.demoTime);
}

void resumeShow(DemoState& demo) {
  if (!demo.clock.paused) return;
  demo.clock.paused = false;
  pauseMusic(demo.music, false);
  // The music stood a few milliseconds past the held frame (it fades out as
  // it pauses); the next frame starts it where the clock stands.
  if (!demo.clock.seekTarget) demo.clock.seekTarget = demo.clock.demoTime;
}

void seekShow(DemoState& demo, double t) { demo.clock.seekTarget = std::clamp(t, 0.0, kShowEnd); }

bool showGoesOn(DemoState& demo, const FrameResult& frame, bool endAsked) {
  if (frame.end == ShowEnd::None) return true;
  // Escape's fade runs on the show's clock from where it began: a restart
  // would take the clock back behind that point and hold the fade, and the
  // keys with it, for another whole show.
  if (frame.end != ShowEnd::PastTheEnd || !demo.loop || demo.fadingOut || endAsked) return false;
  seekShow(demo, 0.0);
  return true;
}
