// Offline rendering of single frames.
#include "app/offline_render.h"

#include <algorithm>
#include <cstdio>

#include "app/gl_window.h"
#include "app/stop_signals.h"
#include "platform/platform.h"
#include "platform/png_file.h"
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

int renderScreenshot(DemoState& demo, double t, const std::string& path) {
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
