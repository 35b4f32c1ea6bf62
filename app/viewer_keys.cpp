// F2, F11 and the transport's keys.
#include "app/viewer_keys.h"

#include <cstdio>

#include "app/frame_overlay.h"
#include "app/transport.h"
#include "platform/platform.h"
#include "runtime/demo_state.h"

namespace {

// The window system answers with a size message, which moves the picture
// into the new letterbox rectangle. The cursor hides in fullscreen as it does
// when the show starts there.
void toggleFullscreen() {
  const bool fullscreen = !platform::windowFullscreen();
  if (!platform::setDesktopFullscreen(fullscreen)) {
    std::fprintf(stderr, "tessaly: cannot switch to %s: %s\n",
                 fullscreen ? "fullscreen" : "a window", platform::lastError().c_str());
    return;
  }
  platform::showCursor(!fullscreen);
}

}  // namespace

void viewerKeyPressed(DemoState& demo, int key) {
  if (key == platform::vk::F11) toggleFullscreen();
  if (key == platform::vk::F2) toggleFrameOverlay(demo.renderer);
  transportKeyPressed(demo.clock, demo.music, key);
}
