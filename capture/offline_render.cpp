// Offline rendering of single frames.
#include "capture/offline_render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "capture/stop_signals.h"
#include "platform/platform.h"
#include "platform/png_file.h"
#include "platform/sound.h"
#include "render/frame_readback.h"
#include "runtime/demo_state.h"
#include "runtime/frame_driver.h"
#include "runtime/music.h"

OfflineClock beginOfflineClock(DemoState& demo) {
  demo.clock.lastTimerValue = 0.0;
  demo.clock.exactClock = true;
  if (demo.music.enabled) useOfflineSpectrum(demo.music, true);
  return {};
}

FrameResult runOfflineFrame(DemoState& demo, OfflineClock& clock, double t) {
  clock.seconds = std::max(clock.seconds, t);
  return runFrame(demo, clock.seconds);
}

bool offlineStopRequested() {
  platform::WindowMessage message;
  bool stop = stopSignalCaught();
  while (platform::peekMessage(message)) {
    if (message.type == platform::MessageType::Close ||
        message.type == platform::MessageType::Quit ||
        (message.type == platform::MessageType::KeyDown && message.key == platform::vk::Escape))
      stop = true;
  }
  return stop;
}

bool soundtrackReaches(const DemoState& demo, double until, const std::string& job) {
  if (!demo.music.enabled) return true;
  const int64_t held = platform::soundLength(demo.music.stream);
  const int64_t needed = std::llround(until * platform::kMixRate);
  if (held >= needed) return true;
  std::error_code error;
  std::fprintf(stderr,
               "tessaly: cannot %s: the soundtrack %s in %s holds %.3f s of sound (the file is "
               "damaged or cut short); this needs it to %.3f s\n",
               job.c_str(), musicFileName(), std::filesystem::current_path(error).c_str(),
               static_cast<double>(held) / platform::kMixRate, until);
  return false;
}

int renderScreenshot(DemoState& demo, double t, const std::string& path) {
  if (!soundtrackReaches(demo, t, "render the screenshot " + path)) return 1;
  OfflineClock clock = beginOfflineClock(demo);
  for (double warmUp : {t - 2.0 / 60.0, t - 1.0 / 60.0})
    runOfflineFrame(demo, clock, std::max(warmUp, 0.0));
  runOfflineFrame(demo, clock, t);
  const std::vector<uint8_t> pixels =
      readWindowPixels(demo.renderer, demo.options.renderWidth, demo.options.renderHeight);
  std::string error;
  if (!platform::writePng(path, pixels.data(), demo.options.renderWidth, demo.options.renderHeight,
                          error)) {
    std::fprintf(stderr, "tessaly: cannot write the screenshot %s\n", error.c_str());
    return 1;
  }
  return 0;
}
