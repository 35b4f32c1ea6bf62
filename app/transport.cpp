// Pause, seek and loop.
#include "app/transport.h"

#include <algorithm>

#include "core/timeline.h"
#include "platform/platform.h"
#include "runtime/frame_driver.h"
#include "runtime/music.h"
#include "runtime/show_clock.h"

namespace {

// Seeks count from a seek still waiting for its frame, so two quick presses
// go twice as far.
void seekBy(ShowClock& clock, double seconds) {
  seekShow(clock, clock.seekTarget.value_or(clock.demoTime) + seconds);
}

}  // namespace

void transportKeyPressed(ShowClock& clock, Music& music, int key) {
  namespace vk = platform::vk;
  // Once the end fade has begun the show is on its way out.
  if (clock.fadingOut) return;
  switch (key) {
    case vk::Space:
      if (clock.paused)
        resumeShow(clock, music);
      else
        pauseShow(clock, music);
      return;
    case vk::Left:
      seekBy(clock, -kShortSeek);
      return;
    case vk::Right:
      seekBy(clock, kShortSeek);
      return;
    case vk::PageUp:
      seekBy(clock, -kLongSeek);
      return;
    case vk::PageDown:
      seekBy(clock, kLongSeek);
      return;
    case vk::Home:
      seekShow(clock, 0.0);
      resumeShow(clock, music);
      return;
  }
}

void pauseShow(ShowClock& clock, Music& music) {
  clock.paused = true;
  // The key came after the held frame; the music goes back to it as it falls silent.
  pauseMusic(music, true);
  seekMusic(music, clock.demoTime);
}

void resumeShow(ShowClock& clock, Music& music) {
  if (!clock.paused) return;
  clock.paused = false;
  pauseMusic(music, false);
  // The music stood a few milliseconds past the held frame (it fades out as
  // it pauses); the next frame starts it where the clock stands.
  if (!clock.seekTarget) clock.seekTarget = clock.demoTime;
}

void seekShow(ShowClock& clock, double t) { clock.seekTarget = std::clamp(t, 0.0, kShowEnd); }

bool showGoesOn(ShowClock& clock, bool loop, const FrameResult& frame, bool endAsked) {
  if (frame.end == ShowEnd::None) return true;
  // Escape's fade runs on the show's clock from where it began: a restart
  // would take the clock back behind that point and hold the fade, and the
  // keys with it, for another whole show.
  if (frame.end != ShowEnd::PastTheEnd || !loop || clock.fadingOut || endAsked) return false;
  seekShow(clock, 0.0);
  return true;
}
