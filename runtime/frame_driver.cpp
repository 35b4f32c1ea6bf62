// The frame driver.
#include "runtime/frame_driver.h"

#include <algorithm>
#include <optional>

#include "core/random.h"
#include "core/timeline.h"
#include "demo/parts.h"
#include "platform/platform.h"
#include "runtime/camera_tracks.h"
#include "runtime/cue_table.h"
#include "runtime/demo_state.h"
#include "runtime/music.h"
#include "runtime/statistics.h"
#include "runtime/timer.h"

namespace {

// The window of show time in which a part in slot 1 is drawn instead of slot 0.
constexpr double kSlotOneFrom = 51.6;
constexpr double kSlotOneUntil = 66.3;

}  // namespace

double bookmarkTime(int bookmark) {
  static const double kTimes[] = {32.2, 74.1, 130.0, 209.0, 296.88};
  if (bookmark < 1 || bookmark > 5) return -1.0;
  return kTimes[bookmark - 1];
}

double fadeLevel(double elapsed, double rate) { return std::clamp(elapsed * rate, 0.0, 1.0); }

int fadeVolume(double level) { return static_cast<int>(255.0 - 255.0 * level); }

FrameResult runFrame(DemoState& demo, double clockSeconds) {
  // The step from the previous reading; never negative. A start time moves
  // the first frame straight there. A paused show stands still; a seek moves
  // the show clock to its target, back or on. The delta stays the reading's
  // step, also on a jump: the tuning keys and the statistics move by a
  // normal frame, not by the seek's distance.
  demo.clock.frameDelta = clockSeconds - demo.clock.lastTimerValue;
  const double clockOffset = demo.clock.demoTime - demo.clock.lastTimerValue;
  demo.clock.lastTimerValue = clockSeconds;
  const bool steppedBack = demo.clock.frameDelta < 0.0;
  if (steppedBack || demo.clock.paused) demo.clock.frameDelta = 0.0;
  std::optional<double> jumpTo;
  if (demo.clock.seekTarget)
    jumpTo = *demo.clock.seekTarget;
  else if (demo.clock.frameCount == 0 && demo.clock.startTime > 0.0)
    jumpTo = demo.clock.demoTime + demo.clock.frameDelta + demo.clock.startTime;
  const bool jumping = jumpTo.has_value();
  demo.clock.seekTarget.reset();
  const bool plainStep = !steppedBack && !demo.clock.paused && !jumping;

  // The same demo time gives the same random sequence.
  if (demo.music.enabled) {
    demo.random.seed(static_cast<uint32_t>(static_cast<int>(demo.clock.demoTime * 1000000.0)));
    for (int i = 0; i < 50; ++i) demo.random.next();
  }

  // The frame rate statistics.
  if (demo.directing.statsEnabled)
    recordStatistics(demo.directing.statistics,
                     1.0 / std::max(demo.clock.frameDelta, double(0.00001f)), demo.clock.demoTime);

  // The frame input: no camera offset, the wheel and the right button.
  FrameInput& input = demo.input.frameInput;
  input.cameraX = input.cameraY = input.cameraZ = 0.0;
  input.wheelClicks = demo.input.wheelCount;
  input.rightButton = demo.input.mouseRightDown ? 1 : 0;
  demo.clock.frameCount += 1;

  // The cue of the time before the advance; then the advance. An offline
  // reading is the frame's exact show time: a plain step puts the demo clock
  // at the reading plus the offset a start, seek or pause left (none in a
  // capture), so over any number of frames no rounding adds up and frame n
  // stands exactly where its frame time says. The played show sums its deltas.
  input.cue = cueAt(demo.cueTable, demo.clock.demoTime);
  if (jumping)
    demo.clock.demoTime = *jumpTo;
  else if (demo.clock.exactClock && plainStep)
    demo.clock.demoTime = clockSeconds + clockOffset;
  else
    demo.clock.demoTime += demo.clock.frameDelta;

  // Keys as 0/1 integers.
  for (int i = 0; i < kKeyCount; ++i) input.keys[i] = demo.input.keys[i] ? 1 : 0;

  // Music and spectrum. After a jump the music goes on from the frame's
  // time before the frame is drawn, so it keeps step with the clock from
  // here; the output still plays the old place, so the frame reads the
  // track's spectrum at its time, as offline frames do. A paused show keeps
  // its spectrum, so its picture holds.
  if (jumping) seekMusic(demo.music, demo.clock.demoTime);
  if (demo.music.enabled && (jumping || !demo.clock.paused)) {
    if (jumping)
      demo.music.spectrum = spectrumAtTime(demo.music, demo.clock.demoTime);
    else
      updateSpectrum(demo.music, demo.clock.demoTime);
    if (demo.music.spectrum) std::copy_n(demo.music.spectrum, kSpectrumSize, input.spectrum);
  }

  // The part draws the frame at the show time after the advance.
  FrameRecord frame;
  frame.time = demo.clock.demoTime;
  std::copy_n(input.spectrum, kSpectrumSize, frame.spectrum);
  frame.adjustA = input.adjustA;
  frame.adjustB = input.adjustB;
  frame.cameraX = input.cameraX;
  frame.cameraY = input.cameraY;
  frame.cameraZ = input.cameraZ;
  // Slot 1 draws from 51.6 to 66.3 s when it holds a part, slot 0 otherwise;
  // an empty chosen slot draws nothing.
  int slot = 0;
  if (demo.clock.demoTime >= kSlotOneFrom && demo.clock.demoTime <= kSlotOneUntil &&
      demo.partSlots.slot[1])
    slot = 1;
  if (parts* part = demo.partSlots.slot[slot]) part->drawFrame(frame, demo.renderer, demo.random);

  // Camera tracks: record this frame's key, follow the digit jump keys.
  if (demo.directing.cameraRecord) recordKey(demo);
  if (demo.directing.cameraTracksEnabled) jumpKeys(demo);

  // The start bookmark, on the first frame. With the bookmark switch on (0 or
  // above) the music always follows the clock, also for a value that names no
  // preset time and leaves the clock as it is.
  if (demo.clock.frameCount == 1 && demo.directing.startBookmark >= 0) {
    const double bookmark = bookmarkTime(demo.directing.startBookmark);
    if (bookmark >= 0.0) demo.clock.demoTime = bookmark;
    seekMusic(demo.music, demo.clock.demoTime);
  }

  // The end of the show, or a quit request.
  if (demo.clock.demoTime > kShowEnd) return {ShowEnd::PastTheEnd, 0, "the end of the show"};
  if (input.trackFlagsB[kQuitTrackFlag]) return {ShowEnd::QuitFlag, 0, "the quit track flag"};

  // The end fade.
  if (demo.clock.fadingOut) {
    if (demo.directing.cameraTracksEnabled) saveTracks(demo, "state.txt");
    const double level =
        fadeLevel(demo.clock.demoTime - demo.clock.fadeStartTime, demo.options.fadeOutRate);
    if (demo.music.enabled) setMusicVolume(demo.music, fadeVolume(level));
    // The fade's grey quad, as the show composes it (a 50 x 50 billboard three
    // units in front of the eye under an identity projection), lies beyond the
    // near plane and is clipped whole: the end fade is heard, not seen, and
    // the frame keeps its picture. So nothing is drawn for it.
    if (level > 0.999) return {ShowEnd::FadeDone, 0, "the end fade"};
  }
  return {};
}
