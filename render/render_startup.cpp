// The renderer's part of the startup sequence.
#include "render/render_startup.h"

#include <algorithm>
#include <cstdio>

std::array<TargetPairSize, 3> startupTargetPairs(int renderWidth, int renderHeight,
                                                 int viewportWidth, int viewportHeight,
                                                 bool antialiased) {
  return {{{0, renderWidth, renderHeight, antialiased ? 4 : 0},
           {1, viewportWidth / 2, viewportHeight / 2, 0},
           {2, renderWidth / 4, renderHeight / 4, 0}}};
}

RenderLimits queryRenderLimits() {
  RenderLimits limits;
  GLint viewport[2] = {};
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &limits.renderbuffer);
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limits.texture);
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
  limits.viewportWidth = viewport[0];
  limits.viewportHeight = viewport[1];
  return limits;
}

std::string renderSizeBeyondLimits(int width, int height, const RenderLimits& limits) {
  const int side = std::max(width, height);
  char text[200];
  const char* format =
      "The render size %d x %d is larger than the driver's largest %s, %d x %d pixels";
  if (side > limits.renderbuffer) {
    std::snprintf(text, sizeof text, format, width, height, "renderbuffer", limits.renderbuffer,
                  limits.renderbuffer);
  } else if (side > limits.texture) {
    std::snprintf(text, sizeof text, format, width, height, "texture", limits.texture,
                  limits.texture);
  } else if (width > limits.viewportWidth || height > limits.viewportHeight) {
    std::snprintf(text, sizeof text, format, width, height, "viewport", limits.viewportWidth,
                  limits.viewportHeight);
  } else {
    return {};
  }
  return text;
}

std::string startRenderer(RenderResources& renderer, void (*swapBuffers)(double), int renderWidth,
                          int renderHeight, int viewportWidth, int viewportHeight,
                          bool antialiased) {
  renderer.swapBuffers = swapBuffers;
  renderer.renderWidth = renderWidth;
  renderer.renderHeight = renderHeight;
  glGetString(GL_VENDOR);
  // A failed glewInit leaves the framebuffer entry points null; the render
  // targets report that once and drawing stays on the window.
  glewInit();
  std::string failure = renderSizeBeyondLimits(renderWidth, renderHeight, queryRenderLimits());
  if (!failure.empty()) return failure;
  for (const TargetPairSize& pair :
       startupTargetPairs(renderWidth, renderHeight, viewportWidth, viewportHeight, antialiased)) {
    renderer.createTargetPair(pair.index, pair.width, pair.height, pair.samples);
    if (!renderer.creationFailure.empty()) return renderer.creationFailure;
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  return {};
}
