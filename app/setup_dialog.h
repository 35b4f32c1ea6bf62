// Display-mode enumeration and the setup dialog, run before the GL window exists.
//
// enumerateDisplayModes fills demo.displayModes from the primary display.
// runSetupDialog shows the dialog and writes the choice into demo (render and
// viewport size, fullscreen, antialiased, extraOption); "Quit" or closing the
// dialog ends the process with exit code 0. Where no display can be opened it
// writes one line on stderr, keeps 1280 x 720 windowed and returns false.
#pragma once

void enumerateDisplayModes();
bool runSetupDialog();
