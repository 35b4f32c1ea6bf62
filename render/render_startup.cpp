// The renderer's part of the startup sequence.
#include "render/render_startup.h"

std::array<TargetPairSize, 3> startupTargetPairs(int renderWidth, int renderHeight,
                                                 int viewportWidth, int viewportHeight,
                                                 bool antialiased) {
  return {{{0, renderWidth, renderHeight, antialiased ? 4 : 0},
           {1, viewportWidth / 2, viewportHeight / 2, 0},
           {2, renderWidth / 4, renderHeight / 4, 0}}};
}

void startRenderer(RenderResources& renderer, void (*swapBuffers)(double), int renderWidth,
                   int renderHeight, int viewportWidth, int viewportHeight, bool antialiased) {
  renderer.swapBuffers = swapBuffers;
  renderer.renderWidth = renderWidth;
  renderer.renderHeight = renderHeight;
  glGetString(GL_VENDOR);
  // A failed glewInit leaves the framebuffer entry points null; the render
  // targets report that once and drawing stays on the window.
  glewInit();
  for (const TargetPairSize& pair :
       startupTargetPairs(renderWidth, renderHeight, viewportWidth, viewportHeight, antialiased)) {
    renderer.createTargetPair(pair.index, pair.width, pair.height, pair.samples);
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}
