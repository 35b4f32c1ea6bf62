// The texture loaders' CPU side: decoder lines to RGB rows (greyscale
// expanded, rows after a failure black), the bottom-up row order, and the
// wrapped Sobel normal map.
#include <gtest/gtest.h>

#include <random>

#include "assets/jpeg_decoder.h"
#include "assets/jpeg_rgb.h"
#include "assets/jpeg_stream.h"
#include "assets/jpeg_test_support.h"
#include "assets/normal_map.h"

using namespace jpegtest;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes encodeWith(const Image& image, const std::string& options) {
  std::string dir = makeTempDir();
  std::string in = dir + (image.channels == 1 ? "/in.pgm" : "/in.ppm");
  writePnm(in, image);
  EXPECT_EQ(run("cjpeg " + options + " '" + in + "' > '" + dir + "/out.jpg'"), 0);
  Bytes bytes = readFile(dir + "/out.jpg");
  run("rm -rf '" + dir + "'");
  return bytes;
}

Bytes rgbRows(const Bytes& file, bool* complete) {
  jpeg_decoder_memory_stream stream(file.data(), file.size());
  JpegDecoder decoder(&stream, true);
  EXPECT_EQ(decoder.begin(), 0);
  Bytes rgb(static_cast<size_t>(decoder.width()) * decoder.height() * 3, 0);
  *complete = decodeRgbRows(decoder, rgb);
  return rgb;
}

Bytes heights(int width, int height, const std::vector<int>& red) {
  Bytes rgb(static_cast<size_t>(width) * height * 3, 0);
  for (size_t i = 0; i < red.size(); ++i) rgb[i * 3] = static_cast<uint8_t>(red[i]);
  return rgb;
}

}  // namespace

TEST(JpegRgbRows, ColourAndGreyLinesBecomePackedRgb) {
  Bytes colour = encodeWith(makePicture(21, 11, 3, 2), "-sample 2x2");
  bool complete = false;
  Bytes rgb = rgbRows(colour, &complete);
  EXPECT_TRUE(complete);
  Decoded reference = decode(colour);
  EXPECT_EQ(rgb, reference.image.pixels);

  Bytes grey = encodeWith(makePicture(13, 7, 1, 4), "");
  rgb = rgbRows(grey, &complete);
  EXPECT_TRUE(complete);
  Decoded greyReference = decode(grey);
  for (size_t i = 0; i < greyReference.image.pixels.size(); ++i)
    for (int c = 0; c < 3; ++c) ASSERT_EQ(rgb[i * 3 + c], greyReference.image.pixels[i]);
}

TEST(JpegRgbRows, RowsAfterAFailureStayBlack) {
  Bytes file = encodeWith(makePicture(16, 32, 3, 3), "-sample 1x1");
  // Corrupt the data from the third MCU row on: 16 x 8 pixels per row, 3 blocks each.
  long sos = findMarker(file, 0xDA);
  long data = sos + 2 + ((file[sos + 2] << 8) | file[sos + 3]);
  long corruptFrom = data + (static_cast<long>(file.size()) - data) / 2;
  for (long i = corruptFrom; i + 3 < static_cast<long>(file.size()); i += 2) {
    file[i] = 0xFF;
    file[i + 1] = 0x00;
  }
  bool complete = true;
  Bytes rgb = rgbRows(file, &complete);
  EXPECT_FALSE(complete);
  const size_t rowBytes = 16 * 3;
  EXPECT_NE(std::count(rgb.begin(), rgb.begin() + rowBytes * 8, 0),
            static_cast<long>(rowBytes * 8));
  EXPECT_TRUE(std::all_of(rgb.end() - rowBytes * 8, rgb.end(), [](uint8_t v) { return v == 0; }));
}

TEST(JpegRgbRows, FlipPutsTheFirstDecodedRowLast) {
  Bytes rgb(2 * 3 * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i / 6);  // row number
  flipRows(rgb, 2, 3);
  EXPECT_EQ(rgb, (Bytes{2, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(NormalMap, FlatAndSinglePixelImagesPointStraightUp) {
  for (auto [w, h] : {std::pair{1, 1}, {5, 3}}) {
    Bytes map = sobelNormalMap(heights(w, h, std::vector<int>(w * h, 200)).data(), w, h);
    for (size_t i = 0; i < map.size(); i += 3) {
      EXPECT_EQ(map[i], 127);
      EXPECT_EQ(map[i + 1], 127);
      EXPECT_EQ(map[i + 2], 255);
    }
  }
}

// Heights rising by 10 per pixel: on the right the slope tilts the normal
// to -x, rising downwards tilts it to +y (rows are stored top to bottom).
TEST(NormalMap, SlopesGiveTheExpectedTilt) {
  std::vector<int> ramp;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) ramp.push_back(10 * x);
  Bytes map = sobelNormalMap(heights(5, 5, ramp).data(), 5, 5);
  const uint8_t* centre = &map[(2 * 5 + 2) * 3];
  EXPECT_EQ(centre[0], 89);
  EXPECT_EQ(centre[1], 127);
  EXPECT_EQ(centre[2], 249);

  std::vector<int> down;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) down.push_back(10 * y);
  map = sobelNormalMap(heights(5, 5, down).data(), 5, 5);
  centre = &map[(2 * 5 + 2) * 3];
  EXPECT_EQ(centre[0], 127);
  EXPECT_EQ(centre[1], 165);
  EXPECT_EQ(centre[2], 249);
}

// The neighbourhood wraps: shifting the height image cyclically shifts the
// normal map the same way, so an edge at the border behaves like one inside.
TEST(NormalMap, WrapsAroundTheEdges) {
  const int w = 9, h = 6;
  std::mt19937 random(3);
  std::vector<int> red(w * h);
  for (int& v : red) v = static_cast<int>(random() % 256);
  Bytes base = sobelNormalMap(heights(w, h, red).data(), w, h);
  for (auto [dx, dy] : {std::pair{1, 0}, {0, 1}, {4, 5}}) {
    std::vector<int> shifted(w * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) shifted[((y + dy) % h) * w + (x + dx) % w] = red[y * w + x];
    Bytes map = sobelNormalMap(heights(w, h, shifted).data(), w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int c = 0; c < 3; ++c)
          ASSERT_EQ(map[(((y + dy) % h) * w + (x + dx) % w) * 3 + c], base[(y * w + x) * 3 + c]);
  }
}
