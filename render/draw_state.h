// The pipeline state a draw depends on. Nothing is saved and restored around
// a pass: each pass sets what it needs, so no state leaks from one into the
// next.
#pragma once

#include <string>

struct Viewport {
  int x = 0, y = 0, width = 0, height = 0;
};

void setViewport(const Viewport& viewport);
// What the first frame may assume: depth test on with a less-or-equal test,
// a black clear colour.
void initGLState();
// For the scene: the depth test on (less or equal) and written, no blending,
// no face culling.
void setSceneState();
// For a full-screen pass: no depth test, no blending.
void setPassState();
// Clears the bound framebuffer's colour to (r, g, b, a) and its depth to 1.
void clearColorAndDepth(float r, float g, float b, float a);
// Waits until the GL has drawn everything queued.
void finishRendering();
// The renderer's name as the driver gives it ("llvmpipe (LLVM 15.0.6, 256 bits)").
std::string rendererName();
