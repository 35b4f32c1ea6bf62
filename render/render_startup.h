// The renderer's part of the startup sequence: the buffer-swap hook, the GL
// extension entry points, the render size checked against the driver's
// limits, the three render-target pairs sized from the render and viewport
// sizes, and the default filters of the bound 2-D texture.
#pragma once

#include <array>
#include <string>

#include "render/render_resources.h"

struct TargetPairSize {
  int index;
  int width;
  int height;
  int samples;
};

// Pair 0: the full render size with 4 samples when antialiased, else 0;
// pair 1: half the viewport; pair 2: a quarter of the render size (divisions
// truncate toward zero). The post-processing passes draw into textures
// attached to the texture framebuffers of pairs 1 and 2.
std::array<TargetPairSize, 3> startupTargetPairs(int renderWidth, int renderHeight,
                                                 int viewportWidth, int viewportHeight,
                                                 bool antialiased);

// The driver's largest sizes that bound the render size: the targets are
// renderbuffers and textures of the render size, and the full-size passes
// set a viewport of it.
struct RenderLimits {
  int renderbuffer = 0;  // pixels a side
  int texture = 0;       // pixels a side
  int viewportWidth = 0;
  int viewportHeight = 0;
};
RenderLimits queryRenderLimits();
// Empty when a width x height render fits every limit; else the message that
// names the first limit it passes.
std::string renderSizeBeyondLimits(int width, int height, const RenderLimits& limits);

// With the GL context current: stores swapBuffers and the render size,
// queries the GL vendor, runs glewInit, refuses a render size beyond the
// driver's limits, creates the three startup pairs, then sets the min and
// mag filters of the bound 2-D texture to GL_LINEAR. Returns what stopped it
// (a size beyond the limits, or the first pair the driver could not
// complete), before anything of the render size is allocated; empty when the
// renderer started.
std::string startRenderer(RenderResources& renderer, void (*swapBuffers)(double), int renderWidth,
                          int renderHeight, int viewportWidth, int viewportHeight,
                          bool antialiased);
