// The floor of a frame on this renderer: a minimal post-processing chain of
// the same shape as the show's, drawn with nothing of the show. A target with
// the scene's sample count is cleared, resolved into a texture, filtered by
// two full-screen passes that each copy one texture into another, and
// blitted onto the window. The benchmark times it beside the show's frames.
#pragma once

#include "render/gl_names.h"

class RenderResources;

class ReferenceChain {
 public:
  ReferenceChain(int width, int height, int samples);
  ~ReferenceChain();
  ReferenceChain(const ReferenceChain&) = delete;
  ReferenceChain& operator=(const ReferenceChain&) = delete;

  // Draws the chain once with the renderer's screen quad; the window's
  // framebuffer is bound on return.
  void draw(const RenderResources& renderer);

 private:
  void fullScreenPass(const RenderResources& renderer, TextureName source,
                      FramebufferName destination);

  int width_, height_;
  RenderbufferName colorRenderbuffer_, depthRenderbuffer_;
  FramebufferName targetFramebuffer_;
  TextureName textures_[3];
  FramebufferName textureFramebuffers_[3];
  ProgramName program_;
  int sourceLocation_ = -1;
};
