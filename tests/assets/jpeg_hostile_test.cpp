// Hostile, damaged and unsupported input: every case must end with its error
// code (or decode) without touching memory it does not own. Run these under
// the sanitizer build (TESSALY_SANITIZE=ON) as well.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "assets/jpeg_decoder.h"
#include "assets/jpeg_stream.h"
#include "assets/jpeg_test_support.h"

using namespace jpegtest;
using Bytes = std::vector<uint8_t>;

namespace {

class JpegHostile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = makeTempDir();
    writePnm(dir + "/c.ppm", makePicture(40, 24, 3, 3));
    writePnm(dir + "/g.pgm", makePicture(40, 24, 1, 4));
    baseline = encode("cjpeg -sample 2x2", "c.ppm");
    progressive = encode("cjpeg -progressive -sample 2x1", "c.ppm");
    restarts = encode("cjpeg -restart 1b -sample 2x2", "c.ppm");
    grey = encode("cjpeg", "g.pgm");
  }
  static void TearDownTestSuite() { run("rm -rf '" + dir + "'"); }

  static Bytes encode(const std::string& command, const std::string& input) {
    std::string out = dir + "/out.jpg";
    EXPECT_EQ(run(command + " '" + dir + "/" + input + "' > '" + out + "' 2>/dev/null"), 0);
    return readFile(out);
  }

  // A copy of file with segment inserted right after the start-of-image marker.
  static Bytes afterSoi(const Bytes& file, const Bytes& segment) {
    Bytes out(file.begin(), file.begin() + 2);
    out.insert(out.end(), segment.begin(), segment.end());
    out.insert(out.end(), file.begin() + 2, file.end());
    return out;
  }

  // A copy of file with the byte `offset` after the n-th marker `code` replaced.
  static Bytes patched(const Bytes& file, int code, int offset, uint8_t value, int nth = 0) {
    Bytes out = file;
    long at = findMarker(file, code, nth);
    EXPECT_GE(at, 0) << "marker " << code;
    if (at >= 0) out[at + offset] = value;
    return out;
  }

  static std::string dir;
  static Bytes baseline, progressive, restarts, grey;
};

std::string JpegHostile::dir;
Bytes JpegHostile::baseline, JpegHostile::progressive, JpegHostile::restarts, JpegHostile::grey;

constexpr int SOF0 = 0xC0, SOF2 = 0xC2, DHT = 0xC4, DQT = 0xDB, SOS = 0xDA;

}  // namespace

TEST_F(JpegHostile, JunkBeforeTheStartOfImage) {
  Bytes junk(100, 'j');
  junk.insert(junk.end(), baseline.begin(), baseline.end());
  Decoded a = decode(junk), b = decode(baseline);
  ASSERT_EQ(a.error, 0);
  EXPECT_EQ(a.image.pixels, b.image.pixels);

  Bytes far(600, 'j');
  far.insert(far.end(), baseline.begin(), baseline.end());
  EXPECT_EQ(decode(far).error, jpeg_error::NoStartOfImage);

  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I',  'H',  'D',  'R', 0,
               0,    0,   1,   0,   0,    0,    1,    8,    2, 0, 0, 0,  0x90, 0x77, 0x53, 0xDE};
  EXPECT_EQ(decode(png).error, jpeg_error::NoStartOfImage);
  EXPECT_EQ(decode({}).error, jpeg_error::NoStartOfImage);
  // SOI followed by something that is not a marker.
  EXPECT_EQ(decode({0xFF, 0xD8, 0x00, 0x01}).error, jpeg_error::NoStartOfImage);
}

TEST_F(JpegHostile, UnsupportedCodingProcessesAndFormats) {
  EXPECT_EQ(decode(patched(baseline, SOF0, 1, 0xC3)).error, jpeg_error::UnsupportedFrame);
  EXPECT_EQ(decode(patched(baseline, SOF0, 1, 0xCA)).error, jpeg_error::UnsupportedFrame);
  EXPECT_EQ(decode(encode("cjpeg -arithmetic", "c.ppm")).error, jpeg_error::ArithmeticCoding);
  EXPECT_EQ(decode(afterSoi(baseline, {0xFF, 0xCC, 0x00, 0x04, 0x00, 0x10})).error,
            jpeg_error::ArithmeticCoding);
  EXPECT_EQ(decode(patched(baseline, SOF0, 4, 12)).error, jpeg_error::BadPrecision);
}

TEST_F(JpegHostile, FrameLimits) {
  writePnm(dir + "/wide.pgm", makePicture(8193, 8, 1, 1));
  EXPECT_EQ(decode(encode("cjpeg", "wide.pgm")).error, jpeg_error::BadWidth);
  writePnm(dir + "/tall.pgm", makePicture(8, 8193, 1, 1));
  EXPECT_EQ(decode(encode("cjpeg", "tall.pgm")).error, jpeg_error::BadHeight);
  writePnm(dir + "/edge.pgm", makePicture(8192, 8, 1, 1));
  Decoded edge = decode(encode("cjpeg", "edge.pgm"));
  EXPECT_EQ(edge.error, 0);
  EXPECT_EQ(edge.image.width, 8192);

  Bytes zeroHeight = patched(baseline, SOF0, 5, 0);
  zeroHeight[findMarker(baseline, SOF0) + 6] = 0;
  EXPECT_EQ(decode(zeroHeight).error, jpeg_error::BadHeight);
  EXPECT_EQ(decode(patched(baseline, SOF0, 3, 18)).error, jpeg_error::BadFrameLength);

  // Frames with 4, 2 and 5 components: the header is read, the frame set-up refuses.
  auto frame = [](int count) {
    Bytes f = {0xFF, 0xD8, 0xFF, 0xC0, 0, static_cast<uint8_t>(8 + 3 * count),
               8,    0,    8,    0,    8, static_cast<uint8_t>(count)};
    for (int i = 0; i < count; ++i) f.insert(f.end(), {static_cast<uint8_t>(i + 1), 0x11, 0});
    f.insert(f.end(), {0xFF, 0xD9});
    return f;
  };
  EXPECT_EQ(decode(frame(4)).error, jpeg_error::UnsupportedComponents);
  EXPECT_EQ(decode(frame(2)).error, jpeg_error::UnsupportedComponents);
  EXPECT_EQ(decode(frame(5)).error, jpeg_error::TooManyComponents);
}

TEST_F(JpegHostile, UnsupportedSampling) {
  EXPECT_EQ(decode(encode("cjpeg -sample 1x1,2x2,1x1", "c.ppm")).error,
            jpeg_error::UnsupportedSampling);
  EXPECT_EQ(decode(encode("cjpeg -sample 4x1", "c.ppm")).error, jpeg_error::UnsupportedSampling);
  EXPECT_EQ(decode(encode("cjpeg -sample 2x2,1x1,2x1", "c.ppm")).error,
            jpeg_error::UnsupportedSampling);
}

TEST_F(JpegHostile, MalformedSegments) {
  struct Case {
    const char* what;
    Bytes segment;
    int code;
  };
  Bytes bigCounts = {0xFF, 0xC4, 0x01, 0x13, 0x00};
  for (int i = 0; i < 16; ++i) bigCounts.push_back(16);  // 256 symbols
  bigCounts.resize(bigCounts.size() + 256, 0);
  const Case cases[] = {
      {"256 Huffman symbols", bigCounts, jpeg_error::TooManySymbols},
      {"DC table slot 8",
       {0xFF, 0xC4, 0x00, 0x13, 0x08, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       jpeg_error::BadHuffmanSlot},
      {"AC table 4 is slot 8",
       {0xFF, 0xC4, 0x00, 0x13, 0x14, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       jpeg_error::BadHuffmanSlot},
      {"DHT shorter than 2", {0xFF, 0xC4, 0x00, 0x01}, jpeg_error::BadDhtLength},
      {"DHT cut inside counts", {0xFF, 0xC4, 0x00, 0x05, 0x00, 1, 0}, jpeg_error::BadDhtLength},
      {"DHT cut inside symbols",
       {0xFF, 0xC4, 0x00, 0x13, 0x00, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       jpeg_error::BadDhtLength},
      {"DQT shorter than 2", {0xFF, 0xDB, 0x00, 0x01}, jpeg_error::BadDqtLength},
      {"DQT table 4", {0xFF, 0xDB, 0x00, 0x43, 0x04}, jpeg_error::BadQuantIndex},
      {"DQT cut short", {0xFF, 0xDB, 0x00, 0x10, 0x00}, jpeg_error::DqtTooShort},
      {"16-bit DQT cut short", {0xFF, 0xDB, 0x00, 0x43, 0x10}, jpeg_error::DqtTooShort},
      {"APP1 length 1", {0xFF, 0xE1, 0x00, 0x01}, jpeg_error::BadSegmentLength},
      {"DRI length 5", {0xFF, 0xDD, 0x00, 0x05, 0, 1, 0}, jpeg_error::BadDriLength},
      {"RST0 in the headers", {0xFF, 0xD0}, jpeg_error::UnexpectedMarker},
      {"TEM in the headers", {0xFF, 0x01}, jpeg_error::UnexpectedMarker},
      {"JPG in the headers", {0xFF, 0xC8, 0x00, 0x02}, jpeg_error::UnexpectedMarker},
      {"EOI before the frame", {0xFF, 0xD9}, jpeg_error::UnexpectedMarker},
  };
  for (const Case& c : cases) {
    Decoded d = decode(afterSoi(baseline, c.segment));
    EXPECT_EQ(d.error, c.code) << c.what;
  }
}

TEST_F(JpegHostile, ScanHeadersAndUndefinedTables) {
  const long sosLength = 4;  // offsets inside the SOS segment: count at 4, first component at 5
  EXPECT_EQ(decode(patched(baseline, SOS, 3, 13)).error, jpeg_error::BadScanHeader);
  EXPECT_EQ(decode(patched(baseline, SOS, sosLength, 0)).error, jpeg_error::BadScanHeader);
  EXPECT_EQ(decode(patched(baseline, SOS, 5, 9)).error, jpeg_error::BadScanComponent);
  EXPECT_EQ(decode(patched(baseline, SOS, 6, 0x33)).error, jpeg_error::UndefinedHuffmanTable);
  EXPECT_EQ(decode(patched(baseline, SOS, 6, 0x90)).error, jpeg_error::UndefinedHuffmanTable);
  EXPECT_EQ(decode(patched(baseline, SOF0, 12, 3)).error, jpeg_error::UndefinedQuantTable);
  EXPECT_EQ(decode(patched(baseline, SOF0, 12, 7)).error, jpeg_error::UndefinedQuantTable);
  // A file whose Huffman tables were removed entirely.
  Bytes noTables = baseline;
  for (long at; (at = findMarker(noTables, DHT)) >= 0;) {
    long length = (noTables[at + 2] << 8) | noTables[at + 3];
    noTables.erase(noTables.begin() + at, noTables.begin() + at + 2 + length);
  }
  EXPECT_EQ(decode(noTables).error, jpeg_error::UndefinedHuffmanTable);
  Bytes noQuant = baseline;
  for (long at; (at = findMarker(noQuant, DQT)) >= 0;) {
    long length = (noQuant[at + 2] << 8) | noQuant[at + 3];
    noQuant.erase(noQuant.begin() + at, noQuant.begin() + at + 2 + length);
  }
  EXPECT_EQ(decode(noQuant).error, jpeg_error::UndefinedQuantTable);
}

TEST_F(JpegHostile, ProgressiveScanParameters) {
  // First scan of the default script: DC of all components, Ss=0 Se=0 Ah=0 Al=1.
  const int count = progressive[findMarker(progressive, SOS) + 4];
  const int ss = 5 + 2 * count, se = ss + 1, approx = ss + 2;
  EXPECT_EQ(decode(patched(progressive, SOS, se, 5)).error, jpeg_error::BadSpectralSelection);
  EXPECT_EQ(decode(patched(progressive, SOS, ss, 1)).error, jpeg_error::BadSpectralSelection);
  EXPECT_EQ(decode(patched(progressive, SOS, se, 64)).error, jpeg_error::BadSpectralSelection);
  EXPECT_EQ(decode(patched(progressive, SOS, approx, 0x31)).error, jpeg_error::BadSuccessiveApprox);
  // An AC scan may hold one component only: give the interleaved DC scan an AC band.
  Bytes acInterleaved = patched(progressive, SOS, ss, 1);
  acInterleaved[findMarker(progressive, SOS) + se] = 5;
  EXPECT_EQ(decode(acInterleaved).error, jpeg_error::BadSpectralSelection);
}

TEST_F(JpegHostile, RestartMarkersMustComeInOrder) {
  Decoded clean = decode(restarts);
  ASSERT_EQ(clean.error, 0);
  long second = findMarker(restarts, 0xD1);
  ASSERT_GT(second, 0);
  Bytes swapped = restarts;
  swapped[second + 1] = 0xD3;
  Decoded d = decode(swapped);
  EXPECT_EQ(d.error, jpeg_error::BadRestartMarker);
  Bytes missing = restarts;
  missing[second + 1] = 0x00;  // now stuffed data, the marker is gone
  EXPECT_EQ(decode(missing).error, jpeg_error::BadRestartMarker);

  Bytes prog = encode("cjpeg -progressive -restart 1b", "c.ppm");
  ASSERT_EQ(decode(prog).error, 0);
  long third = findMarker(prog, 0xD2);
  ASSERT_GT(third, 0);
  prog[third + 1] = 0xD5;
  EXPECT_EQ(decode(prog).error, jpeg_error::BadRestartMarker);
}

TEST_F(JpegHostile, CorruptEntropyDataStopsTheRowAndTheStateIsKept) {
  Bytes corrupt = baseline;
  long sos = findMarker(baseline, SOS);
  long data = sos + 2 + ((baseline[sos + 2] << 8) | baseline[sos + 3]);
  // All-ones codes of 16 bits are no code of any table.
  for (long i = data; i + 1 < static_cast<long>(corrupt.size()) - 2; i += 2) {
    corrupt[i] = 0xFF;
    corrupt[i + 1] = 0x00;
  }
  jpeg_decoder_memory_stream stream(corrupt.data(), corrupt.size());
  JpegDecoder decoder(&stream, true);
  ASSERT_EQ(decoder.errorCode(), 0);
  ASSERT_EQ(decoder.begin(), 0);
  const uint8_t* line = nullptr;
  int length = 0;
  EXPECT_EQ(decoder.decode(&line, &length), jpeg_error::CorruptData);
  EXPECT_EQ(decoder.errorCode(), jpeg_error::CorruptData);
  EXPECT_EQ(decoder.decode(&line, &length), -1);
  EXPECT_EQ(decoder.begin(), -1);
  EXPECT_EQ(decoder.errorCode(), jpeg_error::CorruptData);
}

// Cuts every test file at many points. Each prefix either fails with one of
// the decoder's codes or decodes every line; a cut inside the entropy data
// of a file without restart markers is not an error. Every cut that takes
// away data the image needs is reported as an early end: all of them up to
// the end-of-image marker, which the one-scan baseline and grey files can
// do without while the multi-scan progressive file needs it.
TEST_F(JpegHostile, TruncatedFilesDecodeWithoutCrashingAndSayTheyEndedEarly) {
  const std::set<int> known = {-200, -201, -202, -203, -204, -205, -206, -207, -208, -209, -210,
                               -211, -212, -213, -215, -216, -217, -218, -219, -221, -222, -223,
                               -225, -226, -227, -228, -229, -230, -231, -232, -233};
  for (const Bytes* file : {&baseline, &progressive, &restarts, &grey}) {
    long sos = findMarker(*file, SOS);
    long dataStart = sos + 2 + (((*file)[sos + 2] << 8) | (*file)[sos + 3]);
    const size_t needed = file->size() - (file == &progressive ? 0 : 2);
    std::vector<size_t> cuts;
    for (size_t cut = 0; cut < file->size(); cut += (cut < 700 ? 1 : 37)) cuts.push_back(cut);
    for (size_t end = file->size() - 3; end <= file->size(); ++end) cuts.push_back(end);
    for (size_t cut : cuts) {
      Bytes prefix(file->begin(), file->begin() + cut);
      Decoded d = decode(prefix);
      SCOPED_TRACE(cut);
      EXPECT_EQ(d.endedEarly, cut >= 2 && cut < needed);  // shorter than FF D8 is no JPEG
      if (d.error) {
        EXPECT_TRUE(known.count(d.error)) << d.error;
      } else {
        EXPECT_EQ(d.linesDelivered, d.image.height);
      }
      if (file == &baseline && static_cast<long>(cut) > dataStart) {
        EXPECT_EQ(d.error, 0);
      }
    }
  }
}
