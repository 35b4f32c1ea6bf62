// Filtering, labelling and preselecting display modes, and the 16:9 size of a choice.
#include "app/display_modes.h"

#include <cmath>
#include <cstdio>

namespace {

// Landscape, at most 2047 pixels wide and an aspect ratio of at most 1.8.
// A mode with a zero or negative side is never acceptable.
bool acceptable(int w, int h) {
  if (w <= 0 || h <= 0) return false;
  const double wide = static_cast<double>(w) / h;
  const double tall = static_cast<double>(h) / w;
  return wide <= 1.8 && tall <= 1.8 && w <= 2047 && h <= 2047 && h <= w;
}

bool contains(const std::vector<DisplayMode>& modes, int w, int h) {
  for (const DisplayMode& mode : modes) {
    if (mode.width == w && mode.height == h) return true;
  }
  return false;
}

int lastIndexOf(const std::vector<DisplayMode>& modes, int w, int h) {
  int found = -1;
  for (size_t i = 0; i < modes.size(); ++i) {
    if (modes[i].width == w && modes[i].height == h) found = static_cast<int>(i);
  }
  return found;
}

}  // namespace

std::vector<DisplayMode> filterDisplayModes(const std::vector<platform::VideoMode>& modes) {
  std::vector<DisplayMode> kept;
  for (const platform::VideoMode& mode : modes) {
    if (acceptable(mode.width, mode.height) && !contains(kept, mode.width, mode.height)) {
      kept.push_back({mode.width, mode.height});
    }
  }
  return kept;
}

std::vector<DisplayMode> offeredDisplayModes(const std::vector<DisplayMode>& modes) {
  if (modes.empty()) return {{1280, 720}};
  return modes;
}

std::string displayModeLabel(const DisplayMode& mode) {
  const double ratio = static_cast<double>(mode.width) / mode.height;
  const char* format = " %d x %d       ";
  if (std::fabs(ratio - 1.6) < 0.01) {
    format = " %d x %d  (16:10)";
  } else if (std::fabs(ratio - 16.0 / 9.0) < 0.01) {
    format = " %d x %d  (16:9)";
  }
  char label[64];
  std::snprintf(label, sizeof label, format, mode.width, mode.height);
  return label;
}

int initialModeIndex(const std::vector<DisplayMode>& modes) {
  const int hd = lastIndexOf(modes, 1280, 720);
  if (hd > 0) return hd;
  const int xga = lastIndexOf(modes, 1024, 768);
  return xga >= 0 ? xga : 0;
}

int renderHeightForWidth(int width) {
  return static_cast<int>(static_cast<float>(width / (16.0 / 9.0)));
}

ScreenChoice screenFromDialog(const std::vector<DisplayMode>& modes, int index, bool antialiased,
                              bool windowed) {
  if (index < 0 || index >= static_cast<int>(modes.size())) index = 0;
  ScreenChoice choice;
  choice.width = modes[index].width;
  choice.height = renderHeightForWidth(choice.width);
  choice.displayWidth = modes[index].width;
  choice.displayHeight = modes[index].height;
  choice.fullscreen = !windowed;
  choice.antialiased = antialiased;
  return choice;
}
