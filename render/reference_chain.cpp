// The benchmark's minimal chain.
#include "render/reference_chain.h"

#include "render/gl.h"
#include "render/program_link.h"
#include "render/render_resources.h"
#include "render/render_targets.h"

namespace {

// The least a full-screen pass does: one texture read a pixel.
const char* const kCopySource =
    "uniform sampler2D source;\n"
    "in vec2 texCoord;\n"
    "out vec4 fragColor;\n"
    "void main() { fragColor = texture(source, texCoord); }\n";

TextureName makeTexture(int width, int height) {
  TextureName texture;
  glGenTextures(1, &texture.value);
  glBindTexture(GL_TEXTURE_2D, texture.value);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  return texture;
}

}  // namespace

ReferenceChain::ReferenceChain(int width, int height, int samples)
    : width_(width), height_(height) {
  colorRenderbuffer_ = makeRenderbuffer(width, height, samples, GL_RGBA8);
  depthRenderbuffer_ = makeRenderbuffer(width, height, samples, GL_DEPTH_COMPONENT24);
  glGenFramebuffers(1, &targetFramebuffer_.value);
  glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer_.value);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                            colorRenderbuffer_.value);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                            depthRenderbuffer_.value);
  for (int i = 0; i < 3; ++i) {
    textures_[i] = makeTexture(width, height);
    glGenFramebuffers(1, &textureFramebuffers_[i].value);
    glBindFramebuffer(GL_FRAMEBUFFER, textureFramebuffers_[i].value);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textures_[i].value,
                           0);
  }
  const ShaderName vertex = compileShaderText(ShaderStage::Vertex, kScreenQuadVertexSource);
  const ShaderName fragment = compileShaderText(ShaderStage::Fragment, kCopySource);
  program_ = linkProgram(vertex, fragment);
  deleteShader(vertex);
  deleteShader(fragment);
  sourceLocation_ = activeUniforms(program_).find("source");
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

ReferenceChain::~ReferenceChain() {
  deleteProgram(program_);
  for (int i = 0; i < 3; ++i) {
    glDeleteFramebuffers(1, &textureFramebuffers_[i].value);
    glDeleteTextures(1, &textures_[i].value);
  }
  glDeleteFramebuffers(1, &targetFramebuffer_.value);
  glDeleteRenderbuffers(1, &depthRenderbuffer_.value);
  glDeleteRenderbuffers(1, &colorRenderbuffer_.value);
}

void ReferenceChain::fullScreenPass(const RenderResources& renderer, TextureName source,
                                    FramebufferName destination) {
  glBindFramebuffer(GL_FRAMEBUFFER, destination.value);
  glBindTexture(GL_TEXTURE_2D, source.value);
  renderer.drawFullScreenQuad();
}

void ReferenceChain::draw(const RenderResources& renderer) {
  glViewport(0, 0, width_, height_);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);

  glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer_.value);
  glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, targetFramebuffer_.value);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, textureFramebuffers_[0].value);
  glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_LINEAR);

  glUseProgram(program_.value);
  glActiveTexture(GL_TEXTURE0);
  glUniform1i(sourceLocation_, 0);
  fullScreenPass(renderer, textures_[0], textureFramebuffers_[1]);
  fullScreenPass(renderer, textures_[1], textureFramebuffers_[2]);
  glUseProgram(0);

  glBindFramebuffer(GL_READ_FRAMEBUFFER, textureFramebuffers_[2].value);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
