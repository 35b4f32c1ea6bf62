// The browser's window: the page's canvas with a WebGL 2 context.
//
// The canvas's drawing buffer has the render size; the page scales it into
// the window with bars (letterboxed) by its style, so the program always
// draws the picture straight into it. Fullscreen is the page's stage element
// in the browser's fullscreen; a request outside a user's event waits for the
// next one, as browsers allow fullscreen only then.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <string>

#include "platform/platform.h"

namespace platform {

namespace {

constexpr const char* kCanvas = "#canvas";
constexpr const char* kStage = "#stage";

struct WebWindow {
  bool open = false;
  EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
  std::string error;
};

WebWindow window;

EmscriptenWebGLContextAttributes contextAttributes(int majorVersion) {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.majorVersion = majorVersion;
  attributes.minorVersion = 0;
  attributes.alpha = EM_FALSE;
  attributes.depth = EM_TRUE;
  attributes.stencil = EM_FALSE;
  attributes.antialias = EM_FALSE;  // the show antialiases its own targets
  attributes.preserveDrawingBuffer = EM_FALSE;
  return attributes;
}

}  // namespace

bool initVideo() { return true; }
bool videoAvailable() { return true; }

// The page shows the picture at whatever size the screen has: no mode changes.
bool setFullscreenMode(int, int, int) { return true; }
void restoreDisplayMode() {}

bool createWindow(const char* title, int, int, int width, int height, bool fullscreen) {
  emscripten_set_window_title(title);
  if (emscripten_set_canvas_element_size(kCanvas, width, height) != EMSCRIPTEN_RESULT_SUCCESS) {
    window.error = "the page has no canvas";
    return false;
  }
  window.open = true;
  if (fullscreen && !windowFullscreen()) setDesktopFullscreen(true);
  return true;
}

bool setDesktopFullscreen(bool fullscreen) {
  if (!fullscreen) return emscripten_exit_fullscreen() == EMSCRIPTEN_RESULT_SUCCESS;
  const EMSCRIPTEN_RESULT result = emscripten_request_fullscreen(kStage, EM_TRUE);
  return result == EMSCRIPTEN_RESULT_SUCCESS || result == EMSCRIPTEN_RESULT_DEFERRED;
}

bool windowFullscreen() {
  EmscriptenFullscreenChangeEvent status;
  return emscripten_get_fullscreen_status(&status) == EMSCRIPTEN_RESULT_SUCCESS &&
         status.isFullscreen;
}

void drawableSize(int& width, int& height) {
  emscripten_get_canvas_element_size(kCanvas, &width, &height);
}

bool choosePixelFormat() { return window.open; }

bool createGLContext() {
  const EmscriptenWebGLContextAttributes attributes = contextAttributes(2);
  window.context = emscripten_webgl_create_context(kCanvas, &attributes);
  if (window.context <= 0) {
    window.context = 0;
    window.error = "the browser offers no WebGL 2 context";
    return false;
  }
  return true;
}

// What the browser offers when it refuses WebGL 2: WebGL 1, or nothing.
bool createDefaultGLContext() {
  const EmscriptenWebGLContextAttributes attributes = contextAttributes(1);
  window.context = emscripten_webgl_create_context(kCanvas, &attributes);
  if (window.context <= 0) {
    window.context = 0;
    return false;
  }
  return true;
}

// Frames follow the browser's animation callback, which waits for the display.
bool setSwapInterval(int interval) { return interval == 1; }
int swapInterval() { return 1; }

bool makeContextCurrent() {
  return window.context &&
         emscripten_webgl_make_context_current(window.context) == EMSCRIPTEN_RESULT_SUCCESS;
}

// The browser presents the canvas when the animation callback returns.
void swapWindow() {}

bool releaseContext() {
  return emscripten_webgl_make_context_current(0) == EMSCRIPTEN_RESULT_SUCCESS;
}

bool destroyGLContext() {
  if (!window.context) return true;
  const bool ok = emscripten_webgl_destroy_context(window.context) == EMSCRIPTEN_RESULT_SUCCESS;
  window.context = 0;
  return ok;
}

bool destroyWindow() {
  window.open = false;
  return true;
}

bool hasWindow() { return window.open; }
bool hasGLContext() { return window.context != 0; }
std::string lastError() { return window.error; }

void showCursor(bool visible) {
  EM_ASM({ Module.canvas.style.cursor = $0 ? "" : "none"; }, visible);
}

// The screen the page is on, in CSS pixels, as its one mode.
std::vector<VideoMode> listVideoModes() {
  const int width = EM_ASM_INT({ return screen.width; });
  const int height = EM_ASM_INT({ return screen.height; });
  return {{width, height, 32}};
}

}  // namespace platform
