// The GL resources shared between the runtime and the part: the render size,
// the texture table, the sixteen render-target pairs, the show's two cameras
// and the outline font. The runtime owns one and hands it to the part by
// pointer.
//
// Operations are members, defined by concern: texture_table.cpp (the table,
// generated textures and RGB pictures), render_targets.cpp (target pairs,
// resolve), outline_font.cpp (the 3-D font).
#pragma once

#include <GL/glew.h>

#include <string>

#include "core/vector.h"

class FrameProfile;

using TextureId = int;
constexpr int kTextureTableSize = 10001;  // ids 0..9999 plus the spectrum texture
constexpr TextureId SPECTRUM_TEXTURE_ID = 10000;
constexpr int kTargetPairCount = 16;
constexpr int kFontGlyphCount = 256;

// Extent and advance of one glyph of the outline font, in font units (em = 1).
struct GlyphMetrics {
  float blackBoxX = 0.0f;
  float blackBoxY = 0.0f;
  float originX = 0.0f;
  float originY = 0.0f;
  float advanceX = 0.0f;
  float advanceY = 0.0f;
};

class RenderResources {
 public:
  // Presents the back buffer (the argument is ignored). Set at startup so the
  // part can show intermediate frames while it loads.
  void (*swapBuffers)(double) = nullptr;
  // The size the scene and the full-size passes render at, set at startup.
  int renderWidth = 0, renderHeight = 0;
  FrameProfile* frameProfile = nullptr;  // set by the benchmark: the passes are timed

  // Texture table: GL names by TextureId, 0 until created, never deleted.
  GLuint textures[kTextureTableSize] = {};

  // Render-target pairs: a multisample framebuffer with two colour
  // renderbuffers and a depth renderbuffer, and a texture framebuffer that
  // the multisample one resolves into.
  GLuint colorRenderbuffer0[kTargetPairCount] = {};
  GLuint colorRenderbuffer1[kTargetPairCount] = {};
  GLuint depthRenderbuffer[kTargetPairCount] = {};
  GLuint multisampleFramebuffer[kTargetPairCount] = {};
  GLuint textureFramebuffer[kTargetPairCount] = {};
  int targetSamples[kTargetPairCount] = {};  // as created; 0 is single-sampled

  // The first pair or texture the driver could not make whole (a pair whose
  // multisample framebuffer is incomplete, a texture whose storage it
  // refused), with what failed; empty while every one was made. The startup
  // ends the show on it.
  std::string creationFailure;

  Camera mainCamera;                                     // written by the camera script every frame
  Camera orbitCamera;                                    // circles the origin with the part's clock
  float markerX = 0.0f, markerY = 0.0f, markerZ = 0.0f;  // printed by the middle-button capture

  // The render-size target that stands in for the window while the window has
  // another size; 0 when the frame goes straight to the window.
  GLuint screenFramebuffer = 0;

  GLuint fontListBase = 0;
  GlyphMetrics glyphMetrics[kFontGlyphCount];

  // Texture table and generated textures.
  GLuint textureHandle(TextureId id) const;
  void bindTextureId(TextureId id) const;
  void createSpectrumTexture(TextureId id, int width);
  void uploadSpectrum(TextureId id, int width, const unsigned char* rgbBytes);
  void createDepthTexture(TextureId id, int width, int height);
  void createColorTexture(TextureId id, int width, int height);
  void createNoiseTexture(TextureId id, int width, int height);
  // A new texture of packed RGB texels (rows of 3 x width bytes, bottom row
  // first), linearly filtered, bound to GL_TEXTURE_2D afterwards.
  void createRgbTexture(TextureId id, int width, int height, const unsigned char* rgbBytes);

  // Render targets.
  void createTargetPair(int index, int width, int height, int samples);
  void attachColorTexture(int index, int attachment, TextureId id);
  void attachDepthTexture(int index, TextureId id);
  void bindForDrawing(int index, int count);
  // Binds the pair's texture framebuffer for drawing straight into the
  // textures attached to it, with the first count colour attachments selected.
  void bindTexturesForDrawing(int index, int count);
  void resolveTarget(int index, int width, int height, int colorCount, bool withDepth);
  // Binds the framebuffer the frame's last passes draw on: the window, or
  // screenFramebuffer while the window is not the render size.
  void bindScreen() const;
  // The colour buffer a readback of the frame reads from.
  GLenum screenColorBuffer() const;

  // 256 display lists of extruded glyphs 0..122.
  void buildOutlineFont();
};
