// The renderer's part of the startup sequence: the buffer-swap hook, the GL
// extension entry points, the three render-target pairs sized from the render
// and viewport sizes, and the default filters of the bound 2-D texture.
#pragma once

#include <array>

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

// With the GL context current: stores swapBuffers and the render size,
// queries the GL vendor, runs glewInit, creates the three startup pairs, then sets the
// min and mag filters of the bound 2-D texture to GL_LINEAR.
void startRenderer(RenderResources& renderer, void (*swapBuffers)(double), int renderWidth,
                   int renderHeight, int viewportWidth, int viewportHeight, bool antialiased);
