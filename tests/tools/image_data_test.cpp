// The committed images: up to date with the generator, baseline JPEG, the
// noise tiles seamlessly with detail at several scales, the blob is a soft spot.
#include <gtest/gtest.h>

// jpeglib.h needs size_t and FILE declared before it.
// clang-format off
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/imagegen/jpeg_encode.h"
#include "tools/imagegen/show_images.h"

using imagegen::GreyImage;

namespace {

std::vector<uint8_t> readBytes(const std::string& name) {
  std::ifstream in(std::string(TESSALY_SOURCE_DIR) + "/data/textures/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::string text = bytes.str();
  return std::vector<uint8_t>(text.begin(), text.end());
}

// Red channel of a committed JPEG, decoded by the reference library.
GreyImage decodeRed(const std::vector<uint8_t>& bytes) {
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), bytes.size());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  GreyImage image{static_cast<int>(info.output_width), static_cast<int>(info.output_height), {}};
  std::vector<JSAMPLE> row(static_cast<size_t>(image.width) * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    for (int x = 0; x < image.width; ++x) image.pixels.push_back(row[3 * x]);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return image;
}

// Mean absolute difference between pixels `step` apart horizontally and
// vertically, with coordinates wrapping only when `wrap` is set; with
// onlyAcrossEdge the pairs that straddle the image border alone are measured.
double meanStep(const GreyImage& im, int step, bool onlyAcrossEdge) {
  double sum = 0;
  long count = 0;
  for (int y = 0; y < im.height; ++y) {
    for (int x = 0; x < im.width; ++x) {
      bool acrossX = x + step >= im.width, acrossY = y + step >= im.height;
      if (onlyAcrossEdge ? acrossX : !acrossX) {
        sum += std::abs(im.at(x, y) - im.at((x + step) % im.width, y));
        ++count;
      }
      if (onlyAcrossEdge ? acrossY : !acrossY) {
        sum += std::abs(im.at(x, y) - im.at(x, (y + step) % im.height));
        ++count;
      }
    }
  }
  return sum / count;
}

}  // namespace

TEST(ImageData, CommittedFilesAreTheGeneratorsBaselineOutputAndItIsDeterministic) {
  std::vector<imagegen::NamedImage> first = imagegen::buildShowImages();
  std::vector<imagegen::NamedImage> second = imagegen::buildShowImages();
  ASSERT_EQ(first.size(), 2u);
  for (size_t i = 0; i < first.size(); ++i) {
    const std::string& name = first[i].fileName;
    std::vector<uint8_t> bytes =
        imagegen::encodeBaselineJpeg(first[i].image, imagegen::kShowJpegQuality);
    EXPECT_EQ(bytes, imagegen::encodeBaselineJpeg(second[i].image, imagegen::kShowJpegQuality))
        << name;
    EXPECT_EQ(bytes, readBytes(name)) << name << " is stale: rebuild the regenerate_images target";
    // Baseline: a SOF0 frame and no progressive SOF2.
    std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("\xFF\xC0"), std::string::npos) << name;
    EXPECT_EQ(text.find("\xFF\xC2"), std::string::npos) << name;
  }
}

TEST(ImageData, NoiseTilesSeamlesslyWithDetailAtSeveralScales) {
  GreyImage noise = decodeRed(readBytes("noise.jpg"));
  ASSERT_EQ(noise.width, noise.height);
  ASSERT_GE(noise.width, 256);
  // Pixels facing each other across the border differ like any neighbours.
  double inside = meanStep(noise, 1, false), across = meanStep(noise, 1, true);
  EXPECT_GT(inside, 0.5);
  EXPECT_LT(across, 1.5 * inside);
  // Fine detail and large shapes: differences keep growing with distance.
  double near = meanStep(noise, 2, false), middle = meanStep(noise, 16, false),
         far = meanStep(noise, 96, false);
  EXPECT_GT(middle, 2 * near);
  EXPECT_GT(far, 1.3 * middle);
  // Uses most of the height range.
  auto [low, high] = std::minmax_element(noise.pixels.begin(), noise.pixels.end());
  EXPECT_LT(*low, 20);
  EXPECT_GT(*high, 235);
}

TEST(ImageData, RawNoiseWrapsForAnySeedAndSize) {
  for (uint32_t seed : {1u, 9u}) {
    GreyImage raw = imagegen::tileableNoise(128, 4, 0.5, seed);
    EXPECT_LT(meanStep(raw, 1, true), 1.3 * meanStep(raw, 1, false) + 0.5) << seed;
  }
}

TEST(ImageData, BlobIsWhiteInTheCentreAndFadesToBlackAtTheEdges) {
  GreyImage blob = decodeRed(readBytes("blob41b.jpg"));
  int c = blob.width / 2;
  EXPECT_GT(blob.at(c, c), 245);
  for (int k : {0, blob.width - 1}) {
    EXPECT_LT(blob.at(k, c), 8);
    EXPECT_LT(blob.at(c, k), 8);
    EXPECT_LT(blob.at(k, k), 8);
  }
  // Falls steadily from the centre outward (within the encoder's rounding).
  for (int x = c; x + 8 < blob.width; x += 8) EXPECT_GE(blob.at(x, c) + 3, blob.at(x + 8, c));
  EXPECT_GT(blob.at(c + blob.width / 4, c), 100);
}
