// Frames into a window of any size through a render-size target.
#include "app/window_picture.h"

#include <GL/glew.h>

#include "platform/platform.h"
#include "render/render_resources.h"

namespace {

// The one window's target: its GL objects belong to the window's context.
struct PictureTarget {
  int windowWidth = 0;
  int windowHeight = 0;
  int renderWidth = 0;
  int renderHeight = 0;
  bool inUse = false;      // the frame is drawn into the target, not the window
  GLuint framebuffer = 0;  // render size; 0 until the window first differs from it
  GLuint color = 0;
  GLuint depth = 0;
  int width = 0;
  int height = 0;
};

PictureTarget target;

// The colour and depth the frame's last passes draw on, at the render size.
void createTarget(int width, int height) {
  if (!target.framebuffer) {
    glGenFramebuffersEXT(1, &target.framebuffer);
    glGenRenderbuffersEXT(1, &target.color);
    glGenRenderbuffersEXT(1, &target.depth);
  }
  glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, target.color);
  glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_RGBA8, width, height);
  glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, target.depth);
  glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
  glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target.framebuffer);
  glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                               target.color);
  glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                               target.depth);
  // The frame starts black, as a fresh window does.
  glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  target.width = width;
  target.height = height;
}

}  // namespace

void pictureWindowResized(RenderResources& renderer, int width, int height) {
  target.windowWidth = width;
  target.windowHeight = height;
  target.renderWidth = renderer.renderWidth;
  target.renderHeight = renderer.renderHeight;
  const bool fits = width == renderer.renderWidth && height == renderer.renderHeight;
  target.inUse = !fits && width > 0 && height > 0 && platform::hasGLContext();
  if (target.inUse && (target.width != target.renderWidth || target.height != target.renderHeight))
    createTarget(target.renderWidth, target.renderHeight);
  renderer.screenFramebuffer = target.inUse ? target.framebuffer : 0;
}

void showPicture() {
  if (!target.inUse) return;
  const ScreenRect rect = pictureRect();
  // The bars are cleared black, then the frame is scaled into the rectangle.
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, target.framebuffer);
  glBlitFramebufferEXT(0, 0, target.width, target.height, rect.x, rect.y, rect.x + rect.width,
                       rect.y + rect.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
  glPopAttrib();
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

ScreenRect pictureRect() {
  return letterboxRect(target.windowWidth, target.windowHeight, target.renderWidth,
                       target.renderHeight);
}

void forgetPictureTarget() { target = PictureTarget{}; }
