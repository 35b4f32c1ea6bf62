// Offline rendering: frames at chosen show times, with the clock and the
// spectrum taken from the frame times instead of the wall clock and the
// sound output, so the same time always gives the same picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Switches the demo clock to frame-driven time. Call after the window exists.
void beginOfflineClock();
// Runs one frame through the frame driver so that it ends at show time t.
void runOfflineFrame(double t);
// The window's back buffer as tightly packed RGB rows, top row first.
std::vector<uint8_t> readWindowPixels(int width, int height);
// Renders the frame at show time t after two warm-up frames 1/60 s apart and
// writes the window's picture to path. Returns the process exit code.
int renderScreenshot(double t, const std::string& path);
