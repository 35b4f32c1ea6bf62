// A show in a small window, opened as the program opens it: a window of the
// given size whose creation runs the show's startup with the part the test
// owns (the show's own part_start, or a stand-in). The test tears it down
// with tearDownShow (app/teardown.h).
#pragma once

#include <optional>

#include "app/gl_window.h"
#include "app/main_loop.h"
#include "core/load_failure.h"
#include "demo/parts.h"
#include "runtime/demo_state.h"

inline bool openShowWindow(DemoState& demo, parts& content, int width, int height) {
  demo.partSlots.slot[0] = &content;
  std::optional<LoadFailure> failure;
  return createMainWindow("Tessaly", width, height, 32, demo.options.fullscreen,
                          [&] { return startShow(demo, failure); });
}
