// The texture table, the textures the show generates itself (the spectrum
// texture, depth and colour attachments, the seeded noise texture) and the
// upload of packed RGB pictures. A texture whose storage the driver refuses
// is recorded in creationFailure.
#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "core/random.h"
#include "render/gl.h"
#include "render/render_resources.h"

namespace {

constexpr uint32_t kNoiseSeed = 24234234;
constexpr int kNoiseWarmUpDraws = 10000;

// Byte count of a width x height image with the given bytes per texel; a
// negative size holds nothing (GL rejects it on upload).
size_t imageBytes(int width, int height, int bytesPerTexel) {
  return static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0)) *
         static_cast<size_t>(bytesPerTexel);
}

// Clears the GL error flags, so that noteRefusedStorage sees only the upload after it.
void clearGlErrors() {
  while (glGetError() != GL_NO_ERROR) {
  }
}

// After an upload: records in failure, unless it already holds one, a
// texture whose storage the driver refused (out of memory, or a size beyond
// its limits).
void noteRefusedStorage(std::string& failure, TextureId id, int width, int height) {
  const GLenum error = glGetError();
  clearGlErrors();
  if (error == GL_NO_ERROR || !failure.empty()) return;
  char text[160];
  std::snprintf(text, sizeof text, "Texture %d (%d x %d): the driver refused its storage (%s)", id,
                width, height,
                error == GL_OUT_OF_MEMORY ? "out of memory" : "a size it cannot hold");
  failure = text;
}

// Makes a fresh texture name for id and binds it.
GLuint generateAndBind(TextureName* table, TextureId id) {
  assert(id >= 0 && id < kTextureTableSize && "texture id outside the texture table");
  glGenTextures(1, &table[id].value);
  glBindTexture(GL_TEXTURE_2D, table[id].value);
  return table[id].value;
}

void setFilters(GLint filter) {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}

// Uploads tightly packed RGB rows: rows of width·3 bytes need not be
// multiples of four, so the default unpack alignment would read past the buffer.
void uploadPackedRgb(int width, int height, const unsigned char* bytes) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, bytes);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

}  // namespace

TextureName RenderResources::textureHandle(TextureId id) const {
  assert(id >= 0 && id < kTextureTableSize && "texture id outside the texture table");
  return textures[id];
}

void RenderResources::createSpectrumTexture(TextureId id, int width) {
  generateAndBind(textures, id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  setFilters(GL_LINEAR);
  clearGlErrors();
  uploadPackedRgb(width, 1, nullptr);
  noteRefusedStorage(creationFailure, id, width, 1);
}

void RenderResources::uploadSpectrum(TextureId id, int width, const unsigned char* rgbBytes) {
  glBindTexture(GL_TEXTURE_2D, textureHandle(id).value);
  uploadPackedRgb(width, 1, rgbBytes);
}

void RenderResources::createDepthTexture(TextureId id, int width, int height) {
  generateAndBind(textures, id);
  // Depth is read texel by texel; a depth texture is not filterable under GL ES.
  setFilters(GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  clearGlErrors();
  glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT,
               GL_UNSIGNED_INT, nullptr);
  noteRefusedStorage(creationFailure, id, width, height);
}

void RenderResources::createColorTexture(TextureId id, int width, int height, Random& random) {
  // Filled from the running generator sequence, byte by byte, with values 0..254.
  std::vector<unsigned char> bytes(imageBytes(width, height, 4));
  for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random.next() % 255);

  generateAndBind(textures, id);
  setFilters(GL_LINEAR);
  clearGlErrors();
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               bytes.data());
  noteRefusedStorage(creationFailure, id, width, height);
}

void RenderResources::createNoiseTexture(TextureId id, int width, int height, Random& random) {
  // A fixed seed makes the same pattern on every run. Each texel draws six
  // values and keeps only the last three; x is the outer loop.
  std::vector<unsigned char> bytes(imageBytes(width, height, 3));
  random.seed(kNoiseSeed);
  for (int i = 0; i < kNoiseWarmUpDraws; ++i) random.next();
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      random.next();
      random.next();
      random.next();
      unsigned char* texel = &bytes[(static_cast<size_t>(y) * width + x) * 3];
      texel[0] = static_cast<unsigned char>(random.next() % 256);
      texel[1] = static_cast<unsigned char>(random.next() % 256);
      texel[2] = static_cast<unsigned char>(random.next() % 256);
    }
  }

  createRgbTexture(id, width, height, bytes.data());
}

void RenderResources::createRgbTexture(TextureId id, int width, int height,
                                       const unsigned char* rgbBytes) {
  generateAndBind(textures, id);
  setFilters(GL_LINEAR);
  clearGlErrors();
  uploadPackedRgb(width, height, rgbBytes);
  noteRefusedStorage(creationFailure, id, width, height);
}

void RenderResources::clampTextureToEdge(TextureId id) {
  glBindTexture(GL_TEXTURE_2D, textureHandle(id).value);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}
