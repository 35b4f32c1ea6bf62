// Runs the setup dialog over the display-mode list and applies the user's choice.
#include "app/setup_dialog.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/display_modes.h"
#include "platform/dialog.h"
#include "platform/platform.h"
#include "runtime/demo_state.h"

void enumerateDisplayModes(DemoState& demo) {
  demo.displayModes = filterDisplayModes(platform::listVideoModes());
}

namespace {

void applyScreen(DemoState& demo, const ScreenChoice& choice) {
  demo.renderWidth = demo.viewportWidth = choice.width;
  demo.renderHeight = demo.viewportHeight = choice.height;
  demo.displayWidth = choice.displayWidth;
  demo.displayHeight = choice.displayHeight;
  demo.fullscreen = choice.fullscreen;
  demo.antialiased = choice.antialiased;
}

}  // namespace

platform::SetupOutcome runSetupDialog(DemoState& demo) {
  const std::vector<DisplayMode> modes = offeredDisplayModes(demo.displayModes);
  std::vector<std::string> labels;
  for (const DisplayMode& mode : modes) labels.push_back(displayModeLabel(mode));

  const platform::SetupDialogResult result =
      platform::runSetupDialog(labels, initialModeIndex(modes));
  switch (result.outcome) {
    case platform::SetupOutcome::NoDisplay:
      std::fprintf(stderr,
                   "Setup dialog: no display could be opened; running 1280 x 720 windowed\n");
      applyScreen(demo, ScreenChoice{});
      break;
    case platform::SetupOutcome::Quit:
      break;
    case platform::SetupOutcome::Run:
      applyScreen(
          demo, screenFromDialog(modes, result.selectedIndex, result.antialiased, result.windowed));
      break;
  }
  return result.outcome;
}
