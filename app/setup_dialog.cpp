// Runs the setup dialog over the display-mode list and applies the user's choice.
#include "app/setup_dialog.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/display_modes.h"
#include "platform/dialog.h"
#include "platform/platform.h"
#include "runtime/show_options.h"

void enumerateDisplayModes(ShowOptions& options) {
  options.displayModes = filterDisplayModes(platform::listVideoModes());
}

namespace {

void applyScreen(ShowOptions& options, const ScreenChoice& choice) {
  options.renderWidth = options.viewportWidth = choice.width;
  options.renderHeight = options.viewportHeight = choice.height;
  options.displayWidth = choice.displayWidth;
  options.displayHeight = choice.displayHeight;
  options.fullscreen = choice.fullscreen;
  options.antialiased = choice.antialiased;
}

}  // namespace

platform::SetupOutcome runSetupDialog(ShowOptions& options) {
  const std::vector<DisplayMode> modes = offeredDisplayModes(options.displayModes);
  std::vector<std::string> labels;
  for (const DisplayMode& mode : modes) labels.push_back(displayModeLabel(mode));

  const platform::SetupDialogResult result =
      platform::runSetupDialog(labels, initialModeIndex(modes));
  switch (result.outcome) {
    case platform::SetupOutcome::NoDisplay:
      std::fprintf(stderr,
                   "Setup dialog: no display could be opened; running 1280 x 720 windowed\n");
      applyScreen(options, ScreenChoice{});
      break;
    case platform::SetupOutcome::Quit:
      break;
    case platform::SetupOutcome::Run:
      applyScreen(options, screenFromDialog(modes, result.selectedIndex, result.antialiased,
                                            result.windowed));
      break;
  }
  return result.outcome;
}
