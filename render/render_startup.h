// The renderer's part of the startup sequence: the buffer-swap hook, the GL
// entry points and the check of the context, the render size checked against
// the driver's limits, the three render-target pairs sized from the render
// and viewport sizes, and the screen quad.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/load_failure.h"
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

// What the context is, as the driver names it: "OpenGL 4.5 (Core Profile)
// Mesa 22.3.6, core profile".
std::string contextDescription();

// With the GL context current: stores swapBuffers and the render size, loads
// the GL entry points and checks that the context is OpenGL 3.3 or later with
// the core profile (the failure names what the context is), refuses a render
// size beyond the driver's limits, then creates the three startup pairs and
// the screen quad. Returns what stopped it (the context, a size beyond the
// limits, or the first pair the driver could not complete), before anything
// of the render size is allocated where it can.
std::optional<LoadFailure> startRenderer(RenderResources& renderer, void (*swapBuffers)(double),
                                         int renderWidth, int renderHeight, int viewportWidth,
                                         int viewportHeight, bool antialiased);
