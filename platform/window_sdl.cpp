// Window, GL context and display modes on SDL2.
#include <SDL.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace platform {
namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
bool videoStarted = false;
bool fullscreenModeWanted = false;
SDL_DisplayMode wantedMode = {};

}  // namespace

bool initVideo() {
  if (videoStarted) return true;
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  // Without a display SDL falls back to drivers that show nothing: the show
  // would play unseen. Only a run that asks for one by name gets it.
  const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if ((driver == "offscreen" || driver == "dummy") && !(asked && driver == asked)) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_SetError(
        "no display to show the window on: DISPLAY and WAYLAND_DISPLAY name none that can be "
        "opened (SDL found only its invisible \"%s\" video driver)",
        driver.c_str());
    return false;
  }
  videoStarted = true;
  SDL_DisableScreenSaver();
  return true;
}

bool videoAvailable() { return videoStarted; }

bool setFullscreenMode(int width, int height, int bitsPerPixel) {
  if (!initVideo()) return false;
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
    if (mode.w == width && mode.h == height &&
        static_cast<int>(SDL_BITSPERPIXEL(mode.format)) >= bitsPerPixel - 8) {
      wantedMode = mode;
      fullscreenModeWanted = true;
      return true;
    }
  }
  return false;
}

void restoreDisplayMode() {
  if (window && fullscreenModeWanted) SDL_SetWindowFullscreen(window, 0);
  fullscreenModeWanted = false;
}

bool createWindow(const char* title, int x, int y, int width, int height, bool fullscreen) {
  if (!initVideo()) return false;
  // SDL refuses a larger window with a bare "Window is too large."; the
  // reason names the size and the limit.
  constexpr int kLargestWindowSide = 16384;
  if (width > kLargestWindowSide || height > kLargestWindowSide) {
    SDL_SetError("a window of %d x %d pixels is larger than the window system allows, %d x %d",
                 width, height, kLargestWindowSide, kLargestWindowSide);
    return false;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE;
  if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN;
  window = SDL_CreateWindow(title, fullscreen ? 0 : x, fullscreen ? 0 : y, width, height, flags);
  if (!window) return false;
  if (fullscreen && fullscreenModeWanted) SDL_SetWindowDisplayMode(window, &wantedMode);
  SDL_RaiseWindow(window);
  return true;
}

bool setDesktopFullscreen(bool fullscreen) {
  if (!window) return false;
  if (SDL_SetWindowFullscreen(window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
    return false;
  if (!fullscreen) fullscreenModeWanted = false;
  return true;
}

bool windowFullscreen() {
  return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

void drawableSize(int& width, int& height) {
  width = height = 0;
  if (window) SDL_GL_GetDrawableSize(window, &width, &height);
}

bool choosePixelFormat() {
  // The surface is chosen when the window is created; confirm it is usable
  // for an RGBA8 double-buffered GL surface.
  return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL) != 0;
}

bool createGLContext() {
  if (!window) return false;
  context = SDL_GL_CreateContext(window);
  if (!context) {
    const std::string reason = SDL_GetError();
    SDL_SetError("the driver refused an OpenGL 3.3 core-profile context (%s)", reason.c_str());
    return false;
  }
  // A swap interval of 1 paces the loop by the display where the driver allows it.
  SDL_GL_SetSwapInterval(1);
  return true;
}

bool createDefaultGLContext() {
  if (!window) return false;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, 0);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  context = SDL_GL_CreateContext(window);
  return context != nullptr;
}

bool setSwapInterval(int interval) { return context && SDL_GL_SetSwapInterval(interval) == 0; }

int swapInterval() { return context ? SDL_GL_GetSwapInterval() : 0; }

bool makeContextCurrent() { return window && context && SDL_GL_MakeCurrent(window, context) == 0; }

void swapWindow() {
  if (window) SDL_GL_SwapWindow(window);
}

bool releaseContext() { return !window || SDL_GL_MakeCurrent(window, nullptr) == 0; }

bool destroyGLContext() {
  if (context) SDL_GL_DeleteContext(context);
  context = nullptr;
  return true;
}

bool destroyWindow() {
  if (window) SDL_DestroyWindow(window);
  window = nullptr;
  return true;
}

std::string lastError() { return SDL_GetError(); }

bool hasWindow() { return window != nullptr; }
bool hasGLContext() { return context != nullptr; }

void showCursor(bool visible) {
  if (videoStarted) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

std::vector<VideoMode> listVideoModes() {
  std::vector<VideoMode> modes;
  if (!initVideo()) return modes;
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, i, &mode) == 0)
      modes.push_back({mode.w, mode.h, static_cast<int>(SDL_BITSPERPIXEL(mode.format))});
  }
  return modes;
}

}  // namespace platform
