// The floor of a frame on this renderer: a minimal post-processing chain of
// the same shape as the show's, drawn with nothing of the show. A target with
// the scene's sample count is cleared, resolved into a texture, filtered by
// two full-screen passes that each copy one texture into another, and
// blitted onto the window. The benchmark times it beside the show's frames.
#pragma once

#include <GL/glew.h>

class ReferenceChain {
 public:
  ReferenceChain(int width, int height, int samples);
  ~ReferenceChain();
  ReferenceChain(const ReferenceChain&) = delete;
  ReferenceChain& operator=(const ReferenceChain&) = delete;

  // Draws the chain once; the window's framebuffer is bound on return.
  void draw();

 private:
  void fullScreenPass(GLuint source, GLuint destinationFramebuffer);

  int width_, height_;
  GLuint colorRenderbuffer_ = 0, depthRenderbuffer_ = 0, targetFramebuffer_ = 0;
  GLuint textures_[3] = {};
  GLuint textureFramebuffers_[3] = {};
  GLuint program_ = 0;
};
