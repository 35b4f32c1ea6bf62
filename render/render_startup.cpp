// The renderer's part of the startup sequence.
#include "render/render_startup.h"

#include <algorithm>
#include <cstdio>

#include "render/gl.h"

namespace {

#ifdef __EMSCRIPTEN__
// WebGL 2 is one profile of one version, OpenGL ES 3.0, with its entry points
// in place: there is nothing to load and nothing else to check.
bool atLeast33() { return true; }
bool coreProfile() { return true; }
std::optional<LoadFailure> loadEntryPoints() { return std::nullopt; }
#else
bool coreProfile() {
  GLint mask = 0;
  glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &mask);
  return (mask & GL_CONTEXT_CORE_PROFILE_BIT) != 0;
}

bool atLeast33() {
  GLint major = 0, minor = 0;
  glGetIntegerv(GL_MAJOR_VERSION, &major);
  glGetIntegerv(GL_MINOR_VERSION, &minor);
  return major > 3 || (major == 3 && minor >= 3);
}

std::optional<LoadFailure> loadEntryPoints() {
  // GLEW looks the entry points up from the context's own list; a core
  // context has no extension string, and the lookup leaves an error behind.
  glewExperimental = GL_TRUE;
  const GLenum glew = glewInit();
  glGetError();
  // After GL's own entry points GLEW looks up the window system's; it finds
  // no GLX display where the context was made through EGL, which leaves GL's
  // entry points loaded.
  if (glew != GLEW_OK && glew != GLEW_ERROR_NO_GLX_DISPLAY)
    return LoadFailure{"ERROR", std::string("The GL entry points cannot be loaded: ") +
                                    reinterpret_cast<const char*>(glewGetErrorString(glew))};
  return std::nullopt;
}
#endif

}  // namespace

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
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &limits.renderbuffer);
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

std::string contextDescription() {
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
#ifdef __EMSCRIPTEN__
  return version ? version : "WebGL (no version)";
#else
  std::string text = "OpenGL ";
  text += version ? version : "(no version)";
  text += coreProfile() ? ", core profile" : ", not the core profile";
  return text;
#endif
}

std::optional<LoadFailure> startRenderer(RenderResources& renderer, void (*swapBuffers)(double),
                                         int renderWidth, int renderHeight, int viewportWidth,
                                         int viewportHeight, bool antialiased) {
  renderer.swapBuffers = swapBuffers;
  renderer.renderWidth = renderWidth;
  renderer.renderHeight = renderHeight;
  if (std::optional<LoadFailure> failure = loadEntryPoints()) return failure;
  if (!atLeast33() || !coreProfile())
    return LoadFailure{"ERROR", "Tessaly needs an OpenGL 3.3 core-profile context; this one is " +
                                    contextDescription()};
  const std::string beyond = renderSizeBeyondLimits(renderWidth, renderHeight, queryRenderLimits());
  if (!beyond.empty()) return LoadFailure{"ERROR", beyond};
  for (const TargetPairSize& pair :
       startupTargetPairs(renderWidth, renderHeight, viewportWidth, viewportHeight, antialiased)) {
    renderer.createTargetPair(pair.index, pair.width, pair.height, pair.samples);
    if (!renderer.creationFailure.empty()) return LoadFailure{"ERROR", renderer.creationFailure};
  }
  renderer.createScreenQuad();
  return std::nullopt;
}
