// The window's stand-in target.
#include "render/screen_target.h"

#include "render/gl.h"

void sizeScreenTarget(ScreenTarget& target, int width, int height) {
  if (!target.framebuffer.value) {
    glGenFramebuffers(1, &target.framebuffer.value);
    glGenRenderbuffers(1, &target.color.value);
    glGenRenderbuffers(1, &target.depth.value);
  }
  glBindRenderbuffer(GL_RENDERBUFFER, target.color.value);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, target.depth.value);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer.value);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                            target.color.value);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                            target.depth.value);
  glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  target.width = width;
  target.height = height;
}

void showScreenTarget(const ScreenTarget& target, int x, int y, int width, int height) {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer.value);
  glBlitFramebuffer(0, 0, target.width, target.height, x, y, x + width, y + height,
                    GL_COLOR_BUFFER_BIT, GL_LINEAR);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
