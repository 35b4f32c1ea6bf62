// Display-mode enumeration and the setup dialog, run before the GL window exists.
//
// enumerateDisplayModes fills demo.options.displayModes from the primary display.
// runSetupDialog shows the dialog and writes the choice into demo (render and
// viewport size, fullscreen, antialiased) and returns Run;
// "Quit" or closing the dialog returns Quit, and the program then leaves with
// exit code 0. Where no display can be opened it writes one line on stderr,
// keeps 1280 x 720 windowed and returns NoDisplay.
#pragma once

#include "platform/dialog.h"

struct ShowOptions;

void enumerateDisplayModes(ShowOptions& options);
platform::SetupOutcome runSetupDialog(ShowOptions& options);
