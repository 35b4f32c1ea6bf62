// The render-size target that stands in for the window while the window has
// another size: the frame's last passes draw into it, and at the swap it is
// scaled into a rectangle of the window with black around it.
#pragma once

#include "render/gl_names.h"

struct ScreenTarget {
  FramebufferName framebuffer;  // none until first made
  RenderbufferName color;
  RenderbufferName depth;
  int width = 0;
  int height = 0;
};

// Makes the target width x height (again, at a new size) and clears it black,
// as a fresh window starts.
void sizeScreenTarget(ScreenTarget& target, int width, int height);
// Clears the window black and scales the target into the rectangle
// (x, y, width, height) of it, counted from the bottom left.
void showScreenTarget(const ScreenTarget& target, int x, int y, int width, int height);
