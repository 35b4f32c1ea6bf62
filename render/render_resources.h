// The GL resources shared between the runtime and the part: the render size,
// the texture table, the sixteen render-target pairs, the show's two cameras,
// the screen quad, the flat-colour program and the outline font. The runtime
// owns one and hands it to the part by pointer.
//
// Operations are members, defined by concern: texture_table.cpp (the table,
// generated textures and RGB pictures), render_targets.cpp (target pairs,
// resolve, the screen), screen_quad.cpp (the quad and the flat quads),
// outline_font.cpp (the 3-D font). No GL type appears here: names are typed
// (render/gl_names.h) and only render/'s sources include GL.
#pragma once

#include <cstdint>
#include <string>

#include "core/vector.h"
#include "render/gl_names.h"
#include "render/matrix.h"

class FrameProfile;
class Random;

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

// The outline font's glyphs as triangles in one vertex buffer: glyph c is
// the `count` vertices from `first` on.
struct OutlineFont {
  GlyphMetrics metrics[kFontGlyphCount];
  int32_t first[kFontGlyphCount] = {};
  int32_t count[kFontGlyphCount] = {};
  VertexArrayName vertexArray;
  BufferName vertexBuffer;
};

// The one quad every full-screen pass draws, and the program of one colour
// the flat quads and the overlay's letters are drawn with.
struct ScreenQuad {
  VertexArrayName vertexArray;
  BufferName vertexBuffer;
  ProgramName flatProgram;
  int flatTransform = -1;  // uniform locations of the flat program
  int flatColour = -1;
};

// How a flat quad or text is laid over what is drawn.
enum class Blend { Off, Add, Alpha };

class RenderResources {
 public:
  // Presents the back buffer (the argument is ignored). Set at startup so the
  // part can show intermediate frames while it loads.
  void (*swapBuffers)(double) = nullptr;
  // The size the scene and the full-size passes render at, set at startup.
  int renderWidth = 0, renderHeight = 0;
  FrameProfile* frameProfile = nullptr;  // set by the benchmark: the passes are timed

  // Texture table: GL names by TextureId, 0 until created, never deleted.
  TextureName textures[kTextureTableSize] = {};

  // Render-target pairs: a multisample framebuffer with two colour
  // renderbuffers and a depth renderbuffer, and a texture framebuffer that
  // the multisample one resolves into.
  RenderbufferName colorRenderbuffer0[kTargetPairCount] = {};
  RenderbufferName colorRenderbuffer1[kTargetPairCount] = {};
  RenderbufferName depthRenderbuffer[kTargetPairCount] = {};
  FramebufferName multisampleFramebuffer[kTargetPairCount] = {};
  FramebufferName textureFramebuffer[kTargetPairCount] = {};
  int targetSamples[kTargetPairCount] = {};  // as created; 0 is single-sampled

  // The first pair or texture the driver could not make whole (a pair whose
  // multisample framebuffer is incomplete, a texture whose storage it
  // refused), with what failed; empty while every one was made. The startup
  // ends the show on it.
  std::string creationFailure;

  Camera mainCamera;                                     // written by the camera script every frame
  Camera orbitCamera;                                    // circles the origin with the show time
  float markerX = 0.0f, markerY = 0.0f, markerZ = 0.0f;  // printed by the middle-button capture

  // The render-size target that stands in for the window while the window has
  // another size; none while the frame goes straight to the window.
  FramebufferName screenFramebuffer;

  ScreenQuad screenQuad;
  OutlineFont font;

  // Texture table and generated textures.
  TextureName textureHandle(TextureId id) const;
  // The spectrum texture: width x 1 RGB texels that repeat along s, sampled
  // as a 2-D texture ("texture1d_dsp").
  void createSpectrumTexture(TextureId id, int width);
  void uploadSpectrum(TextureId id, int width, const unsigned char* rgbBytes);
  void createDepthTexture(TextureId id, int width, int height);
  // The colour and noise textures' contents come from the show's generator:
  // the colour textures continue its sequence, the noise texture reseeds it.
  void createColorTexture(TextureId id, int width, int height, Random& random);
  void createNoiseTexture(TextureId id, int width, int height, Random& random);
  // A new texture of packed RGB texels (rows of 3 x width bytes, bottom row
  // first), linearly filtered.
  void createRgbTexture(TextureId id, int width, int height, const unsigned char* rgbBytes);
  // Keeps the texture's s and t from repeating beyond its edges.
  void clampTextureToEdge(TextureId id);

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

  // The screen quad and the flat-colour program; made at startup.
  void createScreenQuad();
  // The quad covering the viewport, with the program that is current.
  void drawFullScreenQuad() const;
  // The quad (-1,-1)..(1,1) at z = 0 moved by transform, in one colour.
  void drawFlatQuad(const Mat4& transform, float r, float g, float b, float a, Blend blend) const;

  // The outline font: glyphs 0..122 extruded, built once into a vertex buffer.
  void buildOutlineFont();
  // Draws text with its baseline's start at the origin of transform, one em
  // a unit, in one colour.
  void drawText(const char* text, const Mat4& transform, float r, float g, float b) const;
};
