// The window and GL context: creation, teardown and projection.
#include "app/gl_window.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cstdio>
#include <string>

#include "app/window_picture.h"
#include "platform/platform.h"

namespace {

using platform::BoxIcon;

// The window system's own reason goes to stderr beside the message, so a
// failure says what went wrong and not only which step failed.
void creationError(const char* text, bool fullscreen) {
  const std::string reason = platform::lastError();
  destroyMainWindow(fullscreen);
  if (!reason.empty()) std::fprintf(stderr, "tessaly: %s\n", reason.c_str());
  platform::messageBox("ERROR", text, BoxIcon::Exclamation);
}

void shutdownError(const char* text) {
  platform::messageBox("SHUTDOWN ERROR", text, BoxIcon::Information);
}

}  // namespace

bool createMainWindow(const char* title, int width, int height, int bits, bool& fullscreen,
                      const std::function<bool()>& startup) {
  if (!platform::initVideo()) {
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
    creationError("Can't Create A GL Rendering Context.", fullscreen);
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
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 0.1f, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void initGLState() {
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

void swapFrameBuffers(double) {
  showPicture();
  platform::swapWindow();
}
