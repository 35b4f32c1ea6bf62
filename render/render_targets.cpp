// Render-target pairs: a multisample framebuffer drawn into and a
// texture-backed framebuffer it is resolved into with a framebuffer blit;
// and the screen, the framebuffer the frame's last passes draw on.
//
// A pair whose multisample framebuffer the driver cannot complete when it is
// created (a size beyond what it can hold) is recorded in creationFailure,
// which ends the show at startup. Later problems are reported once on stderr,
// with the pair and the status, and drawing goes on: a framebuffer incomplete
// then draws nothing visible.
#include "render/render_targets.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "render/gl.h"
#include "render/render_resources.h"

namespace {

constexpr int kMaxColorAttachments = 3;
constexpr GLenum kColorAttachments[kMaxColorAttachments] = {
    GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1, GL_COLOR_ATTACHMENT2};

bool incompleteReported[kTargetPairCount] = {};

int clampPair(int index) { return std::clamp(index, 0, kTargetPairCount - 1); }

const char* statusName(GLenum status) {
  switch (status) {
    case GL_FRAMEBUFFER_COMPLETE:
      return "complete";
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT:
      return "incomplete attachment";
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT:
      return "missing attachment";
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER:
      return "draw buffer without attachment";
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER:
      return "read buffer without attachment";
    case GL_FRAMEBUFFER_UNSUPPORTED:
      return "format combination unsupported";
    case GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE:
      return "attachments differ in sample count";
    default:
      return "unknown status";
  }
}

// What is wrong with the framebuffer bound to target, naming the pair and
// the status; empty when it is complete.
std::string incompleteStatus(int pair, GLenum target, const char* which) {
  const GLenum status = glCheckFramebufferStatus(target);
  if (status == GL_FRAMEBUFFER_COMPLETE) return {};
  char text[160];
  std::snprintf(text, sizeof text,
                "Render target pair %d: %s framebuffer incomplete, status 0x%04X (%s)", pair, which,
                status, statusName(status));
  return text;
}

// Checks the framebuffer bound to target; the first incomplete status of a
// pair is reported on stderr with the pair and the status.
void checkStatus(int pair, GLenum target, const char* which) {
  if (incompleteReported[pair]) return;
  const std::string problem = incompleteStatus(pair, target, which);
  if (problem.empty()) return;
  incompleteReported[pair] = true;
  std::fprintf(stderr, "%s\n", problem.c_str());
}

// Selects colour attachment `attachment` alone for drawing: GL ES takes the
// i-th draw buffer only as attachment i or none.
void drawIntoAttachment(int attachment) {
  GLenum buffers[kMaxColorAttachments] = {GL_NONE, GL_NONE, GL_NONE};
  buffers[attachment] = kColorAttachments[attachment];
  glDrawBuffers(attachment + 1, buffers);
}

}  // namespace

RenderbufferName makeRenderbuffer(int width, int height, int samples, unsigned format) {
  RenderbufferName name;
  glGenRenderbuffers(1, &name.value);
  glBindRenderbuffer(GL_RENDERBUFFER, name.value);
  glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
  return name;
}

void RenderResources::createTargetPair(int index, int width, int height, int samples) {
  index = clampPair(index);
  targetSamples[index] = samples;
  colorRenderbuffer0[index] = makeRenderbuffer(width, height, samples, GL_RGBA8);
  colorRenderbuffer1[index] = makeRenderbuffer(width, height, samples, GL_RGBA8);
  depthRenderbuffer[index] = makeRenderbuffer(width, height, samples, GL_DEPTH_COMPONENT24);

  glGenFramebuffers(1, &multisampleFramebuffer[index].value);
  glBindFramebuffer(GL_FRAMEBUFFER, multisampleFramebuffer[index].value);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                            colorRenderbuffer0[index].value);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_RENDERBUFFER,
                            colorRenderbuffer1[index].value);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                            depthRenderbuffer[index].value);
  const std::string problem = incompleteStatus(index, GL_FRAMEBUFFER, "multisample");
  if (!problem.empty() && creationFailure.empty()) {
    char size[96];
    std::snprintf(size, sizeof size, " at %d x %d with %d samples; the renderer cannot hold it",
                  width, height, samples);
    creationFailure = problem + size;
    incompleteReported[index] = true;
  }

  // The texture framebuffer gets its attachments later, from the texture table.
  glGenFramebuffers(1, &textureFramebuffer[index].value);
  glBindFramebuffer(GL_FRAMEBUFFER, textureFramebuffer[index].value);
}

void RenderResources::attachColorTexture(int index, int attachment, TextureId id) {
  index = clampPair(index);
  attachment = std::clamp(attachment, 0, kMaxColorAttachments - 1);
  glBindFramebuffer(GL_FRAMEBUFFER, textureFramebuffer[index].value);
  glFramebufferTexture2D(GL_FRAMEBUFFER, kColorAttachments[attachment], GL_TEXTURE_2D,
                         textureHandle(id).value, 0);
}

void RenderResources::attachDepthTexture(int index, TextureId id) {
  index = clampPair(index);
  glBindFramebuffer(GL_FRAMEBUFFER, textureFramebuffer[index].value);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D,
                         textureHandle(id).value, 0);
}

void RenderResources::bindForDrawing(int index, int count) {
  index = clampPair(index);
  count = std::clamp(count, 1, kMaxColorAttachments);
  glBindFramebuffer(GL_FRAMEBUFFER, multisampleFramebuffer[index].value);
  glDrawBuffers(count, kColorAttachments);
  checkStatus(index, GL_FRAMEBUFFER, "multisample");
}

void RenderResources::bindTexturesForDrawing(int index, int count) {
  index = clampPair(index);
  count = std::clamp(count, 1, kMaxColorAttachments);
  glBindFramebuffer(GL_FRAMEBUFFER, textureFramebuffer[index].value);
  glDrawBuffers(count, kColorAttachments);
  checkStatus(index, GL_FRAMEBUFFER, "texture");
}

void RenderResources::resolveTarget(int index, int width, int height, int colorCount,
                                    bool withDepth) {
  index = clampPair(index);
  colorCount = std::clamp(colorCount, 1, kMaxColorAttachments);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, multisampleFramebuffer[index].value);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, textureFramebuffer[index].value);
  // Source and destination rectangles are equal: the blit averages the
  // samples and never scales.
  for (int i = 0; i < colorCount; ++i) {
    glReadBuffer(kColorAttachments[i]);
    drawIntoAttachment(i);
    checkStatus(index, GL_READ_FRAMEBUFFER, "multisample");
    checkStatus(index, GL_DRAW_FRAMEBUFFER, "texture");
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
  }
  if (withDepth)
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
}

void RenderResources::bindScreen() const {
  glBindFramebuffer(GL_FRAMEBUFFER, screenFramebuffer.value);
}
