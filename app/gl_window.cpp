// The window and GL context: creation, teardown and projection.
#include "app/gl_window.h"

#include <cstdio>
#include <string>

#include "app/window_picture.h"
#include "platform/platform.h"
#include "render/draw_state.h"
#include "render/render_startup.h"

namespace {

using platform::BoxIcon;

// The window system's own reason goes to stderr beside the message, so a
// failure says what went wrong and not only which step failed.
void creationError(const char* text, bool fullscreen,
                   const std::string& reason = platform::lastError()) {
  destroyMainWindow(fullscreen);
  if (!reason.empty()) std::fprintf(stderr, "tessaly: %s\n", reason.c_str());
  platform::messageBox("ERROR", text, BoxIcon::Exclamation);
}

// Why the driver refused the core-profile context: what it offers instead
// (a context made without asking for a version), or its own reason when it
// offers nothing.
std::string refusedContextReason() {
  const std::string reason = platform::lastError();
  if (!platform::createDefaultGLContext()) return reason;
  const std::string offered = contextDescription();
  platform::destroyGLContext();
  return "the show needs an OpenGL 3.3 core-profile context; the driver offers " + offered;
}

void shutdownError(const char* text) {
  platform::messageBox("SHUTDOWN ERROR", text, BoxIcon::Information);
}

}  // namespace

bool createMainWindow(const char* title, int width, int height, int bits, bool& fullscreen,
                      const std::function<bool()>& startup) {
  if (!platform::initVideo()) {
    std::fprintf(stderr, "tessaly: %s\n", platform::lastError().c_str());
    platform::messageBox("ERROR", "Failed To Register The Window Class.", BoxIcon::Exclamation);
    return false;
  }
  if (fullscreen && !platform::setFullscreenMode(width, height, bits)) {
    const bool windowed = platform::askYesNo(
        "Ravok GL",
        "The Requested Fullscreen Mode Is Not Supported \n by your Video Card. Or it may be that "
        "this demo \nwas made for 16:9 aspect ratio only. \n \nUse Windowed Mode Instead?",
        true);
    if (!windowed) {
      platform::messageBox("ERROR", "Program Will Now Close.", BoxIcon::Stop);
      return false;
    }
    fullscreen = false;
  }
  if (fullscreen) platform::showCursor(false);

  if (!platform::createWindow(title, 50, 50, width, height, fullscreen)) {
    creationError("Window Creation Error.", fullscreen);
    return false;
  }
  if (!platform::choosePixelFormat()) {
    creationError("Can't Find A Suitable PixelFormat (1).", fullscreen);
    return false;
  }
  if (!platform::createGLContext()) {
    creationError("Can't Create A GL Rendering Context.", fullscreen, refusedContextReason());
    return false;
  }
  if (!platform::makeContextCurrent()) {
    creationError("Can't Activate The GL Rendering Context.", fullscreen);
    return false;
  }
  resizeViewport(width, height);
  initGLState();
  return startup();
}

void destroyMainWindow(bool fullscreen) {
  if (fullscreen) {
    platform::restoreDisplayMode();
    platform::showCursor(true);
  }
  forgetPictureTarget();
  if (platform::hasGLContext()) {
    if (!platform::releaseContext()) shutdownError("Release Of DC And RC Failed.");
    if (!platform::destroyGLContext()) shutdownError("Release Rendering Context Failed.");
  }
  if (platform::hasWindow() && !platform::destroyWindow()) {
    shutdownError("Could Not Release hWnd.");
  }
}

void resizeViewport(int width, int height) {
  if (height == 0) height = 1;
  setViewport({0, 0, width, height});
}

void swapFrameBuffers(double) {
  showPicture();
  platform::swapWindow();
}
