// The decoder's interface and output layout: line lengths, neutral colour,
// the call sequence, the byte streams, and the vector transform matching the
// scalar one sample for sample.
#include "assets/jpeg_decoder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "assets/jpeg_colour.h"
#include "assets/jpeg_idct.h"
#include "assets/jpeg_stream.h"
#include "assets/jpeg_test_support.h"

using namespace jpegtest;
using Bytes = std::vector<uint8_t>;

namespace {

class JpegDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override { dir = makeTempDir(); }
  void TearDown() override { run("rm -rf '" + dir + "'"); }

  Bytes encode(const Image& image, const std::string& options) {
    std::string in = dir + (image.channels == 1 ? "/in.pgm" : "/in.ppm");
    writePnm(in, image);
    EXPECT_EQ(run("cjpeg " + options + " '" + in + "' > '" + dir + "/out.jpg'"), 0);
    return readFile(dir + "/out.jpg");
  }

  std::string dir;
};

// A stream that counts the decoder's attach/detach calls and can fail reads.
class CountingStream : public jpeg_decoder_stream {
 public:
  CountingStream(Bytes data, bool failing) : data(std::move(data)), failing(failing) {}
  int read(uint8_t* buffer, int maxBytes, bool* endOfFile) override {
    if (failing) return -1;
    return memory.read(buffer, maxBytes, endOfFile);
  }
  void attach() override { ++attached; }
  void detach() override { ++detached; }
  Bytes data;
  bool failing;
  jpeg_decoder_memory_stream memory{data.data(), data.size()};
  int attached = 0, detached = 0;
};

}  // namespace

TEST_F(JpegDecoderTest, LineLengthsFollowTheImageWidthNotTheMcuGrid) {
  for (auto [w, h, sampling, bytes] :
       {std::tuple{1, 1, "2x2", 4}, {17, 5, "2x2", 68}, {17, 5, "1x2", 68}, {9, 3, "2x1", 36}}) {
    Bytes file = encode(makePicture(w, h, 3, 1), std::string("-sample ") + sampling);
    jpeg_decoder_memory_stream stream(file.data(), file.size());
    JpegDecoder decoder(&stream, true);
    ASSERT_EQ(decoder.begin(), 0);
    EXPECT_EQ(decoder.width(), w);
    EXPECT_EQ(decoder.height(), h);
    const uint8_t* line = nullptr;
    int length = 0;
    for (int row = 0; row < h; ++row) {
      ASSERT_EQ(decoder.decode(&line, &length), 0);
      EXPECT_EQ(length, bytes);
    }
    EXPECT_EQ(decoder.decode(&line, &length), 1);
    EXPECT_EQ(decoder.decode(&line, &length), 1);
  }
  Bytes grey = encode(makePicture(17, 3, 1, 1), "");
  jpeg_decoder_memory_stream stream(grey.data(), grey.size());
  JpegDecoder decoder(&stream, true);
  ASSERT_EQ(decoder.begin(), 0);
  const uint8_t* line = nullptr;
  int length = 0;
  ASSERT_EQ(decoder.decode(&line, &length), 0);
  EXPECT_EQ(length, 17);
  EXPECT_EQ(decoder.bytesPerPixel(), 1);
}

TEST_F(JpegDecoderTest, NeutralGreyStaysGrey) {
  Image flat{24, 16, 3, Bytes(24 * 16 * 3, 128)};
  for (const char* options :
       {"-sample 2x2", "-sample 1x1 -progressive", "-sample 2x1 -quality 100"}) {
    Decoded d = decode(encode(flat, options));
    ASSERT_EQ(d.error, 0);
    for (uint8_t v : d.image.pixels) ASSERT_EQ(v, 128) << options;
  }
}

TEST_F(JpegDecoderTest, CallSequence) {
  Bytes file = encode(makePicture(20, 20, 3, 2), "-progressive");
  jpeg_decoder_memory_stream stream(file.data(), file.size());
  JpegDecoder decoder(&stream, false);
  const uint8_t* line = nullptr;
  int length = 0;
  EXPECT_EQ(decoder.decode(&line, &length), -1);  // before begin
  ASSERT_EQ(decoder.begin(), 0);
  EXPECT_EQ(decoder.begin(), 0);  // a second call changes nothing
  int rows = 0;
  while (decoder.decode(&line, &length) == 0) ++rows;
  EXPECT_EQ(rows, 20);
  EXPECT_EQ(decoder.errorCode(), 0);
}

TEST_F(JpegDecoderTest, StreamsAndReadErrors) {
  Bytes file = encode(makePicture(30, 10, 3, 5), "-sample 2x2");
  std::string path = dir + "/out.jpg";

  jpeg_decoder_file_stream missing;
  EXPECT_FALSE(missing.open((dir + "/absent.jpg").c_str()));
  uint8_t buffer[16];
  bool eof = false;
  EXPECT_EQ(missing.read(buffer, 16, &eof), -1);
  // A FIFO or a folder under the name is refused at once, not opened: a FIFO
  // would block the open until something writes to it.
  const std::string fifo = dir + "/fifo.jpg";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(missing.open(fifo.c_str()));
  EXPECT_FALSE(missing.open(dir.c_str()));

  jpeg_decoder_file_stream fileStream;
  ASSERT_TRUE(fileStream.open(path.c_str()));
  JpegDecoder fromFile(&fileStream, true);
  ASSERT_EQ(fromFile.begin(), 0);
  Decoded fromMemory = decode(file);
  for (int row = 0; row < 10; ++row) {
    const uint8_t* line = nullptr;
    int length = 0;
    ASSERT_EQ(fromFile.decode(&line, &length), 0);
    for (int x = 0; x < 30; ++x)
      for (int c = 0; c < 3; ++c)
        ASSERT_EQ(line[x * 4 + c], fromMemory.image.pixels[(row * 30 + x) * 3 + c]);
  }
  // Reading on after the end keeps reporting the end.
  eof = false;
  while (fileStream.read(buffer, 16, &eof) > 0) {
  }
  EXPECT_TRUE(eof);
  eof = false;
  EXPECT_EQ(fileStream.read(buffer, 16, &eof), 0);
  EXPECT_TRUE(eof);

  CountingStream failing(file, true);
  JpegDecoder broken(&failing, true);
  EXPECT_EQ(broken.errorCode(), jpeg_error::StreamReadError);
  EXPECT_EQ(broken.begin(), -1);
  EXPECT_EQ(failing.attached, 1);
  EXPECT_EQ(failing.detached, 1);

  CountingStream good(file, false);
  JpegDecoder fine(&good, true);
  EXPECT_EQ(fine.begin(), 0);
  EXPECT_EQ(good.detached, 0);
}

// The vector transform must give the scalar transform's samples for any
// coefficients, including values that overflow 32-bit intermediate results.
TEST_F(JpegDecoderTest, VectorTransformMatchesScalar) {
  if (!idctSimdAvailable()) GTEST_SKIP() << "no AVX2 on this processor";
  std::mt19937 random(7);
  for (int trial = 0; trial < 20000; ++trial) {
    int16_t coefficients[64] = {};
    uint16_t quant[64];
    int range = trial % 4 == 0 ? 32768 : trial % 4 == 1 ? 2048 : 128;
    int nonzero = 1 + random() % 64;
    for (int i = 0; i < nonzero; ++i)
      coefficients[random() % 64] =
          static_cast<int16_t>(static_cast<int>(random() % (2 * range)) - range);
    for (uint16_t& q : quant)
      q = static_cast<uint16_t>(trial % 3 == 0 ? random() : 1 + random() % 255);
    uint8_t scalar[64], vector[64];
    idctBlock(coefficients, quant, scalar, 8);
    idctBlockSimd(coefficients, quant, vector, 8);
    ASSERT_EQ(0, std::memcmp(scalar, vector, 64)) << "trial " << trial;
  }
  Bytes file = encode(makePicture(64, 40, 3, 9), "-quality 97 -sample 2x1");
  Decoded a = decode(file, true), b = decode(file, false);
  EXPECT_EQ(a.image.pixels, b.image.pixels);
}

// A DC-only block is flat: (DC + 4) >> 3 around 128, for both transforms.
TEST_F(JpegDecoderTest, TransformOfAFlatBlock) {
  uint16_t quant[64];
  std::fill_n(quant, 64, uint16_t(1));
  for (int dc : {-1024, -9, -4, -3, 0, 3, 4, 12, 1016}) {
    int16_t coefficients[64] = {static_cast<int16_t>(dc)};
    uint8_t out[64];
    idctBlock(coefficients, quant, out, 8);
    int expected = std::clamp(((dc + 4) >> 3) + 128, 0, 255);
    for (uint8_t v : out) ASSERT_EQ(v, expected) << dc;
  }
}

// Single-coefficient blocks, every position at every amplitude up to 1023,
// against the exact transform in double precision (the coefficient times
// its two cosines): every sample lies within 0.54 levels of the exact value,
// limited to 0..255. The fixed-point transform's own rounding, rows kept to
// a quarter level, costs at most 0.534; any of its twelve constants three
// units off costs more somewhere.
TEST(JpegTransform, SingleCoefficientBlocksFollowTheCosines) {
  const double pi = std::acos(-1.0);
  double basis[8][8];  // basis[frequency][x]
  for (int u = 0; u < 8; ++u)
    for (int x = 0; x < 8; ++x)
      basis[u][x] = (u ? 1.0 : std::sqrt(0.5)) * std::cos((2 * x + 1) * u * pi / 16);
  uint16_t quant[64];
  std::fill_n(quant, 64, uint16_t(1));
  for (int v = 0; v < 8; ++v) {
    for (int u = 0; u < 8; ++u) {
      double worst = 0.0;
      for (int amplitude = -1023; amplitude <= 1023; ++amplitude) {
        int16_t coefficients[64] = {};
        coefficients[v * 8 + u] = static_cast<int16_t>(amplitude);
        uint8_t out[64];
        idctBlock(coefficients, quant, out, 8);
        for (int y = 0; y < 8; ++y)
          for (int x = 0; x < 8; ++x) {
            const double exact = amplitude * basis[u][x] * basis[v][y] / 4 + 128;
            worst = std::max(worst, std::fabs(out[y * 8 + x] - std::clamp(exact, 0.0, 255.0)));
          }
      }
      EXPECT_LE(worst, 0.54) << "coefficient (" << u << ", " << v << ")";
    }
  }
}

// Every (Cb, Cr) pair at mid grey against the conversion's formula in double
// precision, limited to 0..255: R = Y + 1.402 Cr', G = Y - 0.34414 Cb' -
// 0.71414 Cr', B = Y + 1.772 Cb' (Cb' = Cb - 128, Cr' = Cr - 128). Every byte
// is the rounded value, give or take what the tables' 16-bit fixed point
// (at most 128 times a constant's rounding error, 0.0013) moves next to a half.
TEST(JpegColour, ConversionFollowsTheFormulaForEveryChromaPair) {
  YCbCrTables tables;
  buildYCbCrTables(tables);
  Bytes cb(256), cr(256), luma(256, 128), rgb(256 * 4);
  for (int i = 0; i < 256; ++i) cb[i] = static_cast<uint8_t>(i);
  for (int red = 0; red < 256; ++red) {
    std::fill(cr.begin(), cr.end(), static_cast<uint8_t>(red));
    convertYCbCrLine(tables, luma.data(), cb.data(), cr.data(), 256, 1, rgb.data());
    for (int blue = 0; blue < 256; ++blue) {
      const double kb = blue - 128, kr = red - 128;
      const double exact[3] = {128 + 1.402 * kr, 128 - 0.34414 * kb - 0.71414 * kr,
                               128 + 1.772 * kb};
      for (int c = 0; c < 3; ++c)
        ASSERT_LE(std::fabs(rgb[blue * 4 + c] - std::clamp(exact[c], 0.0, 255.0)), 0.5013)
            << "channel " << c << " of Cb " << blue << ", Cr " << red;
    }
  }
}

// Every (Cb, Cr) pair at several luma levels, with and without horizontal
// replication: the vector conversion gives the table conversion's bytes.
TEST(JpegColour, VectorConversionMatchesTables) {
  if (!colourSimdAvailable()) GTEST_SKIP() << "no AVX2 on this processor";
  YCbCrTables tables;
  buildYCbCrTables(tables);
  Bytes cb(256), cr(256), luma(512);
  Bytes scalar(512 * 4), vector(512 * 4);
  for (int y : {0, 1, 77, 128, 200, 254, 255}) {
    for (int red = 0; red < 256; ++red) {
      for (int i = 0; i < 256; ++i) {
        cb[i] = static_cast<uint8_t>(i);
        cr[i] = static_cast<uint8_t>(red);
      }
      for (int i = 0; i < 512; ++i) luma[i] = static_cast<uint8_t>((y + i % 3) & 255);
      for (int lumaH : {1, 2}) {
        convertYCbCrLine(tables, luma.data(), cb.data(), cr.data(), 256, lumaH, scalar.data());
        convertYCbCrLineSimd(luma.data(), cb.data(), cr.data(), 256, lumaH, vector.data());
        ASSERT_EQ(0, std::memcmp(scalar.data(), vector.data(), 256 * lumaH * 4))
            << "y " << y << " cr " << red << " lumaH " << lumaH;
      }
    }
  }
  // Neutral chroma leaves luma untouched.
  convertYCbCrLine(tables, luma.data(), Bytes(8, 128).data(), Bytes(8, 128).data(), 8, 1,
                   scalar.data());
  for (int i = 0; i < 8; ++i)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(scalar[i * 4 + c], luma[i]);
}
