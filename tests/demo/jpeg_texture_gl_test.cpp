// The JPEG texture loaders under a live GL context: what lands in the
// texture (rows bottom-up, odd widths read tightly), the normal map, the
// asset records, the buffer swap, what a damaged file says and shows, and the
// failure a missing or broken file returns.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "assets/jpeg_rgb.h"
#include "assets/jpeg_test_support.h"
#include "demo/image_texture.h"
#include "render/render_resources.h"
#include "support/gl_fixture.h"

using namespace jpegtest;

namespace {

RenderResources renderer;
std::vector<LoadedImage> loaded;

int swapCalls = 0;
double swapValue = 0.0;
void recordSwap(double value) {
  ++swapCalls;
  swapValue = value;
}

class JpegTextureGL : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    dir = makeTempDir();
    setenv("TESSALY_BATCH", "1", 1);
  }
  void TearDown() override { run("rm -rf '" + dir + "'"); }

  std::string encode(const Image& image, const std::string& options, const std::string& name) {
    std::string in = dir + (image.channels == 1 ? "/in.pgm" : "/in.ppm");
    std::string out = dir + "/" + name;
    writePnm(in, image);
    EXPECT_EQ(run("cjpeg " + options + " '" + in + "' > '" + out + "'"), 0);
    return out;
  }

  // Level 0 of the texture bound to GL_TEXTURE_2D, read back tightly packed.
  static std::vector<uint8_t> readBack(int width, int height) {
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    return texels;
  }

  std::string dir;
};

}  // namespace

TEST_F(JpegTextureGL, PictureIsUploadedBottomRowFirst) {
  std::string path = encode(makePicture(5, 7, 3, 1), "-sample 2x2", "picture.jpg");
  Decoded decoded = decode(readFile(path));
  ASSERT_EQ(decoded.error, 0);
  RenderResources& r = renderer;
  r.swapBuffers = recordSwap;
  size_t records = loaded.size();
  EXPECT_FALSE(loadImageTexture(r, path.c_str(), 42, ImageUse::Picture, loaded));

  EXPECT_EQ(swapCalls, 1);
  EXPECT_EQ(swapValue, 0.1);
  ASSERT_NE(r.textures[42].value, 0u);
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), r.textures[42].value);
  std::vector<uint8_t> expected = decoded.image.pixels;
  flipRows(expected, 5, 7);
  EXPECT_EQ(readBack(5, 7), expected);

  ASSERT_EQ(loaded.size(), records + 1);
  const LoadedImage& record = loaded.back();
  EXPECT_EQ(record.path, path);
  EXPECT_EQ(record.slot, 42);
  EXPECT_EQ(record.width, 5);
  EXPECT_EQ(record.height, 7);
  EXPECT_EQ(record.kind, 0);

  // A greyscale file becomes grey RGB.
  std::string grey = encode(makePicture(3, 2, 1, 2), "", "grey.jpg");
  Decoded greyDecoded = decode(readFile(grey));
  EXPECT_FALSE(loadImageTexture(r, grey.c_str(), 43, ImageUse::Picture, loaded));
  std::vector<uint8_t> texels = readBack(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      for (int c = 0; c < 3; ++c)
        EXPECT_EQ(texels[((1 - y) * 3 + x) * 3 + c], greyDecoded.image.pixels[y * 3 + x]);
  r.swapBuffers = nullptr;
}

TEST_F(JpegTextureGL, NormalMapOfAFlatImagePointsUp) {
  Image flat{7, 3, 3, std::vector<uint8_t>(7 * 3 * 3, 90)};
  std::string path = encode(flat, "-sample 1x1", "flat.jpg");
  RenderResources& r = renderer;
  swapCalls = 0;
  r.swapBuffers = recordSwap;
  EXPECT_FALSE(loadImageTexture(r, path.c_str(), 44, ImageUse::NormalMap, loaded));
  EXPECT_EQ(swapCalls, 0);
  ASSERT_NE(r.textures[44].value, 0u);
  std::vector<uint8_t> texels = readBack(7, 3);
  for (size_t i = 0; i < texels.size(); i += 3) {
    EXPECT_EQ(texels[i], 127);
    EXPECT_EQ(texels[i + 1], 127);
    EXPECT_EQ(texels[i + 2], 255);
  }
  EXPECT_EQ(loaded.back().slot, 44);
  r.swapBuffers = nullptr;
}

// A file cut short and one with a restart marker out of order still become
// textures with what they hold; the console names the file and the problem.
TEST_F(JpegTextureGL, DamagedFilesSayWhatIsWrongAndShowWhatTheyHold) {
  const int width = 16, height = 32, rowBytes = width * 3;  // four MCU rows of 8 lines
  // Loads the damaged bytes; returns what the console said. The texture must
  // hold the intact picture's first `rows` rows, upside down as uploaded.
  auto load = [&](std::vector<uint8_t> bytes, const std::string& path, int rows) {
    Image intact = decode(readFile(path)).image;
    writeFile(path, bytes);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(loadImageTexture(renderer, path.c_str(), 45, ImageUse::Picture, loaded));
    std::string said = testing::internal::GetCapturedStdout();
    std::vector<uint8_t> texels = readBack(width, height);
    flipRows(texels, width, height);
    EXPECT_TRUE(
        std::equal(texels.begin(), texels.begin() + rows * rowBytes, intact.pixels.begin()));
    return std::make_pair(said, texels);
  };

  std::string cut = encode(makePicture(width, height, 3, 5), "-sample 1x1", "cut.jpg");
  std::vector<uint8_t> bytes = readFile(cut);
  const long sos = findMarker(bytes, 0xDA);
  const long data = sos + 2 + ((bytes[sos + 2] << 8) | bytes[sos + 3]);
  bytes.resize(data + (bytes.size() - data) / 2);
  EXPECT_EQ(load(bytes, cut, 8).first, cut + ": the file ended early, the image is incomplete\n");

  std::string swapped =
      encode(makePicture(width, height, 3, 5), "-sample 1x1 -restart 1", "swapped.jpg");
  bytes = readFile(swapped);
  bytes[findMarker(bytes, 0xD1) + 1] = 0xD5;  // the marker after the second MCU row
  auto [said, texels] = load(bytes, swapped, 16);
  EXPECT_EQ(said, swapped +
                      ": restart marker missing or out of order (decoder error -228); the "
                      "rest of the image is black\n");
  EXPECT_TRUE(
      std::all_of(texels.begin() + 16 * rowBytes, texels.end(), [](uint8_t v) { return !v; }));
}

// A missing or broken file is returned as the failure that ends the show,
// captioned as its message box shows it, with the console's reason; no
// texture is made.
TEST_F(JpegTextureGL, MissingOrBrokenImagesAreReturnedAsFailures) {
  std::string missing = dir + "/absent.jpg";
  std::string broken = dir + "/broken.jpg";
  writeFile(broken, {0xFF, 0xD8, 0xFF, 0xC3, 0x00, 0x0B, 8, 0, 1, 0, 1, 1, 1, 0x11, 0});
  struct Case {
    const std::string& path;
    ImageUse use;
    const char* title;
    const char* said;
  } cases[] = {
      {missing, ImageUse::Picture, "Jpg", ": cannot open the image file\n"},
      {broken, ImageUse::Picture, "Jpg !", ": not a decodable JPEG image"},
      {missing, ImageUse::NormalMap, "Jpg !", ": cannot open the image file\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    testing::internal::CaptureStdout();
    const std::optional<LoadFailure> failure =
        loadImageTexture(renderer, c.path.c_str(), 46, c.use, loaded);
    const std::string said = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->title, c.title);
    EXPECT_EQ(failure->text, c.path);
    EXPECT_EQ(said.rfind(c.path + c.said, 0), 0u) << said;
    EXPECT_EQ(renderer.textures[46].value, 0u);
  }
}
