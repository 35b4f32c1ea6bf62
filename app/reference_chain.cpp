// The benchmark's minimal chain.
#include "app/reference_chain.h"

namespace {

// The least a full-screen pass does: one texture read a pixel.
const char* const kCopySource =
    "#version 120\n"
    "uniform sampler2D source;\n"
    "void main() { gl_FragColor = texture2D(source, gl_TexCoord[0].st); }\n";

GLuint makeTexture(int width, int height) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  return texture;
}

}  // namespace

ReferenceChain::ReferenceChain(int width, int height, int samples)
    : width_(width), height_(height) {
  glGenRenderbuffers(1, &colorRenderbuffer_);
  glBindRenderbuffer(GL_RENDERBUFFER, colorRenderbuffer_);
  glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width, height);
  glGenRenderbuffers(1, &depthRenderbuffer_);
  glBindRenderbuffer(GL_RENDERBUFFER, depthRenderbuffer_);
  glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24, width, height);
  glGenFramebuffers(1, &targetFramebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                            colorRenderbuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                            depthRenderbuffer_);
  for (int i = 0; i < 3; ++i) {
    textures_[i] = makeTexture(width, height);
    glGenFramebuffers(1, &textureFramebuffers_[i]);
    glBindFramebuffer(GL_FRAMEBUFFER, textureFramebuffers_[i]);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textures_[i], 0);
  }
  const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
  glShaderSource(shader, 1, &kCopySource, nullptr);
  glCompileShader(shader);
  program_ = glCreateProgram();
  glAttachShader(program_, shader);
  glLinkProgram(program_);
  glDeleteShader(shader);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

ReferenceChain::~ReferenceChain() {
  glDeleteProgram(program_);
  glDeleteFramebuffers(3, textureFramebuffers_);
  glDeleteTextures(3, textures_);
  glDeleteFramebuffers(1, &targetFramebuffer_);
  glDeleteRenderbuffers(1, &depthRenderbuffer_);
  glDeleteRenderbuffers(1, &colorRenderbuffer_);
}

void ReferenceChain::fullScreenPass(GLuint source, GLuint destinationFramebuffer) {
  glBindFramebuffer(GL_FRAMEBUFFER, destinationFramebuffer);
  glBindTexture(GL_TEXTURE_2D, source);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(-1, -1);
  glTexCoord2f(1, 0);
  glVertex2f(1, -1);
  glTexCoord2f(1, 1);
  glVertex2f(1, 1);
  glTexCoord2f(0, 1);
  glVertex2f(-1, 1);
  glEnd();
}

void ReferenceChain::draw() {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glViewport(0, 0, width_, height_);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer_);
  glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, targetFramebuffer_);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, textureFramebuffers_[0]);
  glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_LINEAR);

  glUseProgram(program_);
  glActiveTexture(GL_TEXTURE0);
  glUniform1i(glGetUniformLocation(program_, "source"), 0);
  fullScreenPass(textures_[0], textureFramebuffers_[1]);
  fullScreenPass(textures_[1], textureFramebuffers_[2]);
  glUseProgram(0);

  glBindFramebuffer(GL_READ_FRAMEBUFFER, textureFramebuffers_[2]);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);

  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}
