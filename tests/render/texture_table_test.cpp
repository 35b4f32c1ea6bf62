// Generated textures read back from a live context: the seeded noise pattern,
// the colour attachments' random bytes and the re-sized spectrum texture.
// (Depth textures are read back in the render-target resolve tests.)
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/random.h"
#include "render/render_resources.h"
#include "support/gl_fixture.h"

namespace {

// The show's generator written out again, so the textures are checked against
// the sequence itself rather than against the code that made them.
class ReferenceGenerator {
 public:
  explicit ReferenceGenerator(uint32_t seed) : state_(seed) {}
  int next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

 private:
  uint32_t state_;
};

std::vector<unsigned char> expectedNoise(int width, int height) {
  ReferenceGenerator generator(24234234);
  for (int i = 0; i < 10000; ++i) generator.next();
  std::vector<unsigned char> bytes(static_cast<size_t>(width) * height * 3);
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      for (int skipped = 0; skipped < 3; ++skipped) generator.next();
      for (int channel = 0; channel < 3; ++channel) {
        bytes[(static_cast<size_t>(y) * width + x) * 3 + channel] =
            static_cast<unsigned char>(generator.next() % 256);
      }
    }
  }
  return bytes;
}

// Level 0 of the bound texture, tightly packed.
std::vector<unsigned char> readTexture(GLenum target, GLenum format, int width, int height,
                                       int bytesPerTexel) {
  std::vector<unsigned char> bytes(static_cast<size_t>(width) * height * bytesPerTexel);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(target, 0, format, GL_UNSIGNED_BYTE, bytes.data());
  return bytes;
}

GLint levelWidth(GLenum target) {
  GLint width = -1;
  glGetTexLevelParameteriv(target, 0, GL_TEXTURE_WIDTH, &width);
  return width;
}

class TextureTableTest : public GLTest {
 protected:
  std::unique_ptr<RenderResources> renderer = std::make_unique<RenderResources>();
  Random random;
};

TEST_F(TextureTableTest, NoiseTextureIsTheSeededSequenceOnEveryCreation) {
  // An odd width makes rows that are not a multiple of four bytes.
  renderer->createNoiseTexture(41, 7, 5, random);
  EXPECT_EQ(readTexture(GL_TEXTURE_2D, GL_RGB, 7, 5, 3), expectedNoise(7, 5));

  const std::vector<unsigned char> expected = expectedNoise(1024, 1024);
  renderer->createNoiseTexture(27, 1024, 1024, random);
  const GLuint first = renderer->textureHandle(27).value;
  EXPECT_EQ(readTexture(GL_TEXTURE_2D, GL_RGB, 1024, 1024, 3), expected);

  random.next();  // whatever ran before, the noise reseeds
  renderer->createNoiseTexture(27, 1024, 1024, random);
  EXPECT_NE(renderer->textureHandle(27).value, first);
  glBindTexture(GL_TEXTURE_2D, renderer->textureHandle(27).value);
  EXPECT_EQ(readTexture(GL_TEXTURE_2D, GL_RGB, 1024, 1024, 3), expected);
}

TEST_F(TextureTableTest, ColorTextureContinuesTheSequenceAndNeverHolds255) {
  random.seed(77);
  renderer->createColorTexture(0, 96, 64, random);
  std::vector<unsigned char> bytes = readTexture(GL_TEXTURE_2D, GL_RGBA, 96, 64, 4);

  ReferenceGenerator generator(77);
  std::vector<unsigned char> expected(bytes.size());
  for (unsigned char& byte : expected) byte = static_cast<unsigned char>(generator.next() % 255);
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 255), 0);
  EXPECT_EQ(*std::max_element(bytes.begin(), bytes.end()), 254);
}

TEST_F(TextureTableTest, SpectrumTextureTakesTheUploadedWidth) {
  renderer->createSpectrumTexture(SPECTRUM_TEXTURE_ID, 512);
  EXPECT_EQ(levelWidth(GL_TEXTURE_2D), 512);

  std::vector<unsigned char> spectrum(256 * 3);
  for (size_t i = 0; i < spectrum.size(); ++i) spectrum[i] = static_cast<unsigned char>(i / 3);
  GLuint other = 0;
  glGenTextures(1, &other);
  glBindTexture(GL_TEXTURE_2D, other);  // the upload must find its own texture
  renderer->uploadSpectrum(SPECTRUM_TEXTURE_ID, 256, spectrum.data());

  glBindTexture(GL_TEXTURE_2D, renderer->textureHandle(SPECTRUM_TEXTURE_ID).value);
  EXPECT_EQ(levelWidth(GL_TEXTURE_2D), 256);
  EXPECT_EQ(readTexture(GL_TEXTURE_2D, GL_RGB, 256, 1, 3), spectrum);
}

}  // namespace
