// The single teardown of the show.
#include "app/teardown.h"

#include <cstdio>

#include "app/gl_window.h"
#include "app/window_procedure.h"
#include "demo/parts.h"
#include "platform/platform.h"
#include "runtime/demo_state.h"
#include "runtime/music.h"
#include "runtime/statistics.h"

namespace {

// Puts the captured camera text on the clipboard and hands it to the
// clipboard manager, so it outlives the process; it is also printed on the
// debug console so it is never lost.
void handOverCapturedText(const DemoState& demo) {
  copyToClipboard(demo.input.clipboardText);
  platform::persistClipboard();
  if (!demo.input.clipboardText.empty()) std::printf("%s", demo.input.clipboardText.c_str());
}

}  // namespace

void tearDownShow(DemoState& demo, bool handOverText) {
  if (demo.music.enabled) closeMusic(demo.music);
  if (handOverText) handOverCapturedText(demo);
  if (demo.directing.statsEnabled) writeStatistics(demo.directing.statistics);
  destroyMainWindow(demo.options.fullscreen);
  // The part lets go of what it loaded and leaves its slot; its owner, the
  // program's entry, destroys it.
  if (demo.partSlots.slot[0]) demo.partSlots.slot[0]->release();
  demo.partSlots.slot[0] = nullptr;
}
