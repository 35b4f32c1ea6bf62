// Runs the setup dialog over the display-mode list and applies the user's choice.
#include "app/setup_dialog.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/display_modes.h"
#include "platform/dialog.h"
#include "platform/platform.h"
#include "runtime/demo_state.h"

void enumerateDisplayModes() { demo.displayModes = filterDisplayModes(platform::listVideoModes()); }

namespace {

void applyScreen(const ScreenChoice& choice) {
  demo.renderWidth = demo.viewportWidth = choice.width;
  demo.renderHeight = demo.viewportHeight = choice.height;
  demo.displayWidth = choice.displayWidth;
  demo.displayHeight = choice.displayHeight;
  demo.fullscreen = choice.fullscreen;
  demo.antialiased = choice.antialiased;
  // The dialog has no control for the extra option, so it is always off.
  demo.extraOption = false;
}

}  // namespace

bool runSetupDialog() {
  const std::vector<DisplayMode> modes = offeredDisplayModes(demo.displayModes);
  std::vector<std::string> labels;
  for (const DisplayMode& mode : modes) labels.push_back(displayModeLabel(mode));

  const platform::SetupDialogResult result =
      platform::runSetupDialog(labels, initialModeIndex(modes));
  switch (result.outcome) {
    case platform::SetupOutcome::NoDisplay:
      std::fprintf(stderr,
                   "Setup dialog: no display could be opened; running 1280 x 720 windowed\n");
      applyScreen(ScreenChoice{});
      return false;
    case platform::SetupOutcome::Quit:
      std::exit(0);
    case platform::SetupOutcome::Run:
      break;
  }
  applyScreen(screenFromDialog(modes, result.selectedIndex, result.antialiased, result.windowed));
  return true;
}
