// Frames into a window of any size through a render-size target.
#include "app/window_picture.h"

#include "platform/platform.h"
#include "render/render_resources.h"
#include "render/screen_target.h"

namespace {

// The one window's target: its GL objects belong to the window's context.
struct PictureTarget {
  int windowWidth = 0;
  int windowHeight = 0;
  int renderWidth = 0;
  int renderHeight = 0;
  bool inUse = false;  // the frame is drawn into the target, not the window
  ScreenTarget screen;
};

PictureTarget target;

}  // namespace

void pictureWindowResized(RenderResources& renderer, int width, int height) {
  target.windowWidth = width;
  target.windowHeight = height;
  target.renderWidth = renderer.renderWidth;
  target.renderHeight = renderer.renderHeight;
  const bool fits = width == renderer.renderWidth && height == renderer.renderHeight;
  target.inUse = !fits && width > 0 && height > 0 && platform::hasGLContext();
  if (target.inUse &&
      (target.screen.width != target.renderWidth || target.screen.height != target.renderHeight))
    sizeScreenTarget(target.screen, target.renderWidth, target.renderHeight);
  renderer.screenFramebuffer = target.inUse ? target.screen.framebuffer : FramebufferName{};
}

void showPicture() {
  if (!target.inUse) return;
  const ScreenRect rect = pictureRect();
  showScreenTarget(target.screen, rect.x, rect.y, rect.width, rect.height);
}

ScreenRect pictureRect() {
  return letterboxRect(target.windowWidth, target.windowHeight, target.renderWidth,
                       target.renderHeight);
}

void forgetPictureTarget() { target = PictureTarget{}; }
