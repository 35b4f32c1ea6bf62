// Render-target pairs: a multisample framebuffer drawn into and a
// texture-backed framebuffer it is resolved into with a framebuffer blit.
//
// A pair whose multisample framebuffer the driver cannot complete when it is
// created (a size beyond what it can hold) is recorded in creationFailure,
// which ends the show at startup. Later problems are reported once on stderr
// and drawing goes on: a framebuffer incomplete then draws nothing visible,
// and without the framebuffer extensions every operation leaves drawing on
// the window.
#include <algorithm>
#include <cstdio>
#include <string>

#include "render/render_resources.h"

namespace {

constexpr int kMaxColorAttachments = 3;
constexpr GLenum kColorAttachments[kMaxColorAttachments] = {
    GL_COLOR_ATTACHMENT0_EXT, GL_COLOR_ATTACHMENT1_EXT, GL_COLOR_ATTACHMENT2_EXT};

bool incompleteReported[kTargetPairCount] = {};
bool missingExtensionsReported = false;

int clampPair(int index) { return std::clamp(index, 0, kTargetPairCount - 1); }

const char* statusName(GLenum status) {
  switch (status) {
    case GL_FRAMEBUFFER_COMPLETE_EXT:
      return "complete";
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT:
      return "incomplete attachment";
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT:
      return "missing attachment";
    case GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT:
      return "attachments differ in size";
    case GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT:
      return "attachments differ in format";
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT:
      return "draw buffer without attachment";
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT:
      return "read buffer without attachment";
    case GL_FRAMEBUFFER_UNSUPPORTED_EXT:
      return "format combination unsupported";
    case GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE_EXT:
      return "attachments differ in sample count";
    default:
      return "unknown status";
  }
}

// True when the entry points every operation here needs were loaded. The
// first time they are missing, says so on stderr.
bool framebuffersAvailable(int pair) {
  if (glGenFramebuffersEXT && glGenRenderbuffersEXT && glRenderbufferStorageMultisampleEXT &&
      glBlitFramebufferEXT && glDrawBuffers) {
    return true;
  }
  if (!missingExtensionsReported) {
    missingExtensionsReported = true;
    std::fprintf(stderr,
                 "Render target pair %d: the framebuffer object, multisample and blit "
                 "extensions are missing; drawing goes to the window\n",
                 pair);
  }
  return false;
}

// What is wrong with the framebuffer bound to target, naming the pair and
// the status; empty when it is complete.
std::string incompleteStatus(int pair, GLenum target, const char* which) {
  const GLenum status = glCheckFramebufferStatusEXT(target);
  if (status == GL_FRAMEBUFFER_COMPLETE_EXT) return {};
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

GLuint makeRenderbuffer(int width, int height, int samples, GLenum format) {
  GLuint name = 0;
  glGenRenderbuffersEXT(1, &name);
  glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, name);
  glRenderbufferStorageMultisampleEXT(GL_RENDERBUFFER_EXT, samples, format, width, height);
  return name;
}

}  // namespace

void RenderResources::createTargetPair(int index, int width, int height, int samples) {
  index = clampPair(index);
  if (!framebuffersAvailable(index)) return;
  targetSamples[index] = samples;
  colorRenderbuffer0[index] = makeRenderbuffer(width, height, samples, GL_RGBA8);
  colorRenderbuffer1[index] = makeRenderbuffer(width, height, samples, GL_RGBA8);
  depthRenderbuffer[index] = makeRenderbuffer(width, height, samples, GL_DEPTH_COMPONENT24);

  glGenFramebuffersEXT(1, &multisampleFramebuffer[index]);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, multisampleFramebuffer[index]);
  glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                               colorRenderbuffer0[index]);
  glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT1_EXT, GL_RENDERBUFFER_EXT,
                               colorRenderbuffer1[index]);
  glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                               depthRenderbuffer[index]);
  const std::string problem = incompleteStatus(index, GL_FRAMEBUFFER_EXT, "multisample");
  if (!problem.empty() && creationFailure.empty()) {
    char size[96];
    std::snprintf(size, sizeof size, " at %d x %d with %d samples; the renderer cannot hold it",
                  width, height, samples);
    creationFailure = problem + size;
    incompleteReported[index] = true;
  }

  // The texture framebuffer gets its attachments later, from the texture table.
  glGenFramebuffersEXT(1, &textureFramebuffer[index]);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, textureFramebuffer[index]);
}

void RenderResources::attachColorTexture(int index, int attachment, TextureId id) {
  index = clampPair(index);
  if (!framebuffersAvailable(index)) return;
  attachment = std::clamp(attachment, 0, kMaxColorAttachments - 1);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, textureFramebuffer[index]);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, kColorAttachments[attachment], GL_TEXTURE_2D,
                            textureHandle(id), 0);
}

void RenderResources::attachDepthTexture(int index, TextureId id) {
  index = clampPair(index);
  if (!framebuffersAvailable(index)) return;
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, textureFramebuffer[index]);
  glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D,
                            textureHandle(id), 0);
}

void RenderResources::bindForDrawing(int index, int count) {
  index = clampPair(index);
  if (!framebuffersAvailable(index)) return;
  count = std::clamp(count, 1, kMaxColorAttachments);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, multisampleFramebuffer[index]);
  glDrawBuffers(count, kColorAttachments);
  checkStatus(index, GL_FRAMEBUFFER_EXT, "multisample");
}

void RenderResources::bindTexturesForDrawing(int index, int count) {
  index = clampPair(index);
  if (!framebuffersAvailable(index)) return;
  count = std::clamp(count, 1, kMaxColorAttachments);
  glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, textureFramebuffer[index]);
  glDrawBuffers(count, kColorAttachments);
  checkStatus(index, GL_FRAMEBUFFER_EXT, "texture");
}

void RenderResources::resolveTarget(int index, int width, int height, int colorCount,
                                    bool withDepth) {
  index = clampPair(index);
  if (!framebuffersAvailable(index)) return;
  colorCount = std::clamp(colorCount, 1, kMaxColorAttachments);
  // Source and destination rectangles are equal: the blit averages the
  // samples and never scales.
  for (int i = 0; i < colorCount; ++i) {
    glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, multisampleFramebuffer[index]);
    glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, textureFramebuffer[index]);
    glDrawBuffer(kColorAttachments[i]);
    glReadBuffer(kColorAttachments[i]);
    checkStatus(index, GL_READ_FRAMEBUFFER_EXT, "multisample");
    checkStatus(index, GL_DRAW_FRAMEBUFFER_EXT, "texture");
    glBlitFramebufferEXT(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
  }
  if (withDepth) {
    glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, multisampleFramebuffer[index]);
    glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, textureFramebuffer[index]);
    glBlitFramebufferEXT(0, 0, width, height, 0, 0, width, height, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
  }
}

void RenderResources::bindScreen() const {
  // Without the extensions drawing never left the window.
  if (glBindFramebufferEXT) glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, screenFramebuffer);
}

GLenum RenderResources::screenColorBuffer() const {
  return screenFramebuffer ? GL_COLOR_ATTACHMENT0_EXT : GL_BACK;
}
