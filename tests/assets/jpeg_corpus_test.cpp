// Decodes a corpus made at test time by the reference encoder (cjpeg,
// jpegtran) from generated pictures, and compares the jpegdecode tool's output
// with the reference decoder (djpeg, integer transform, no fancy upsampling).
// Our transform runs rows first, so a few samples differ by rounding: grey by
// at most 1, colour by at most 3, and only a small share of them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "assets/jpeg_test_support.h"

using namespace jpegtest;

namespace {

constexpr double kMaxOffFraction = 0.06;

struct Tally {
  int files = 0;
  int maxColour = 0, maxGrey = 0;
  double worstOff = 0.0;
  ~Tally() {
    std::printf("[ figures  ] %d files, max difference colour %d grey %d, worst share off %.2f%%\n",
                files, maxColour, maxGrey, 100.0 * worstOff);
  }
};

class JpegCorpus : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = makeTempDir();
    for (auto [w, h] : {std::pair{67, 45}, {1, 1}, {17, 9}, {33, 17}, {1000, 1}, {1, 1000}}) {
      std::string size = std::to_string(w) + "x" + std::to_string(h);
      writePnm(dir + "/c" + size + ".ppm", makePicture(w, h, 3, w + h));
      writePnm(dir + "/g" + size + ".pgm", makePicture(w, h, 1, w * h));
    }
  }
  static void TearDownTestSuite() { run("rm -rf '" + dir + "'"); }

  static std::string source(char kind, const std::string& size) {
    return dir + "/" + kind + size + (kind == 'c' ? ".ppm" : ".pgm");
  }

  // Runs a reference program that writes a JPEG to stdout; returns the file.
  static std::string make(const std::string& command, const std::string& input,
                          const std::string& name) {
    std::string out = dir + "/" + name + ".jpg";
    EXPECT_EQ(run(command + " '" + input + "' > '" + out + "' 2>/dev/null"), 0) << command;
    return out;
  }

  // The jpegdecode tool against djpeg on one file.
  void check(const std::string& jpeg, Tally& tally) {
    SCOPED_TRACE(jpeg);
    std::string ours = jpeg + ".ours.pnm", ref = jpeg + ".ref.pnm";
    ASSERT_EQ(run(std::string(JPEGDECODE_PATH) + " '" + jpeg + "' '" + ours + "'"), 0);
    ASSERT_EQ(run("djpeg -dct int -nosmooth -pnm '" + jpeg + "' > '" + ref + "'"), 0);
    Image a, b;
    ASSERT_TRUE(readPnm(ours, a));
    ASSERT_TRUE(readPnm(ref, b));
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    ASSERT_EQ(a.channels, b.channels);
    Difference d = compare(a, b);
    EXPECT_LE(d.maxDifference, a.channels == 1 ? 1 : 3);
    EXPECT_LE(d.offFraction, kMaxOffFraction);
    ++tally.files;
    (a.channels == 1 ? tally.maxGrey : tally.maxColour) =
        std::max(a.channels == 1 ? tally.maxGrey : tally.maxColour, d.maxDifference);
    tally.worstOff = std::max(tally.worstOff, d.offFraction);
  }

  static std::string dir;
};

std::string JpegCorpus::dir;

const char* const kSizes[] = {"67x45", "1x1", "17x9", "33x17", "1000x1", "1x1000"};
const char* const kSamplings[] = {"1x1", "2x1", "1x2", "2x2"};

// The colour scan script splits DC and AC bands and refines both by
// successive approximation; the grey one does the same for one component.
const char* const kColourScans =
    "0,1,2: 0-0, 0, 1;\n0: 1-5, 0, 2;\n2: 1-63, 0, 1;\n1: 1-63, 0, 1;\n0: 6-63, 0, 2;\n"
    "0: 1-63, 2, 1;\n0,1,2: 0-0, 1, 0;\n2: 1-63, 1, 0;\n1: 1-63, 1, 0;\n0: 1-63, 1, 0;\n";
const char* const kGreyScans =
    "0: 0-0, 0, 1;\n0: 1-9, 0, 1;\n0: 10-63, 0, 0;\n0: 0-0, 1, 0;\n"
    "0: 1-9, 1, 0;\n";

}  // namespace

TEST_F(JpegCorpus, SamplingsAndGreyscaleAtEverySize) {
  Tally tally;
  for (std::string size : kSizes) {
    for (std::string s : kSamplings)
      check(make("cjpeg -sample " + s, source('c', size), "s" + s + "_" + size), tally);
    check(make("cjpeg -grayscale", source('c', size), "gray_" + size), tally);
    check(make("cjpeg", source('g', size), "pgm_" + size), tally);
  }
}

TEST_F(JpegCorpus, QualitiesAndOptimizedTables) {
  Tally tally;
  for (int q : {10, 25, 50, 75, 90, 100}) {
    std::string qs = std::to_string(q);
    for (std::string opt : {"", " -optimize"}) {
      std::string tag = qs + (opt.empty() ? "" : "o");
      check(make("cjpeg -sample 2x2 -quality " + qs + opt, source('c', "67x45"), "q420_" + tag),
            tally);
      check(make("cjpeg -sample 1x1 -quality " + qs + opt, source('c', "33x17"), "q444_" + tag),
            tally);
      check(make("cjpeg -quality " + qs + opt, source('g', "67x45"), "qg_" + tag), tally);
    }
  }
}

TEST_F(JpegCorpus, ProgressiveDefaultAndCustomScripts) {
  Tally tally;
  writeText(dir + "/colour.scans", kColourScans);
  writeText(dir + "/grey.scans", kGreyScans);
  for (std::string size : {"67x45", "17x9", "1x1", "1000x1", "1x1000"}) {
    for (std::string s : kSamplings) {
      check(make("cjpeg -progressive -sample " + s, source('c', size), "p" + s + "_" + size),
            tally);
      check(make("cjpeg -scans '" + dir + "/colour.scans' -sample " + s, source('c', size),
                 "ps" + s + "_" + size),
            tally);
    }
    check(make("cjpeg -progressive", source('g', size), "pg_" + size), tally);
    check(make("cjpeg -scans '" + dir + "/grey.scans'", source('g', size), "psg_" + size), tally);
  }
  // One scan per component of a sequential frame.
  writeText(dir + "/seq.scans", "0: 0-63, 0, 0;\n1: 0-63, 0, 0;\n2: 0-63, 0, 0;\n");
  check(make("cjpeg -scans '" + dir + "/seq.scans' -sample 2x2", source('c', "67x45"), "seqscans"),
        tally);
}

TEST_F(JpegCorpus, RestartIntervalsInMcusAndRows) {
  Tally tally;
  for (std::string size : {"67x45", "33x17", "1000x1", "1x1000"}) {
    for (std::string r : {"1", "2", "1b", "3b", "7b"}) {
      check(make("cjpeg -sample 2x2 -restart " + r, source('c', size), "r420_" + r + "_" + size),
            tally);
      check(make("cjpeg -sample 2x1 -restart " + r, source('c', size), "r422_" + r + "_" + size),
            tally);
      check(make("cjpeg -restart " + r, source('g', size), "rg_" + r + "_" + size), tally);
      check(make("cjpeg -progressive -sample 2x2 -restart " + r, source('c', size),
                 "rp_" + r + "_" + size),
            tally);
    }
  }
  std::string base = make("cjpeg -sample 1x2", source('c', "67x45"), "rbase");
  check(make("jpegtran -restart 2b -optimize", base, "rtran"), tally);
  check(make("jpegtran -progressive -restart 1", base, "rtranp"), tally);
}

// Colour coded as RGB is not converted: cjpeg -rgb writes an Adobe marker
// with transform 0 and components named 'R', 'G', 'B'. The variants take the
// marker away (the names decide), set its transform to 1 (YCbCr after all),
// give a YCbCr file a hand-built Adobe marker with transform 0 instead of its
// JFIF marker (numbered components, RGB), and give the RGB file a JFIF marker
// (which means YCbCr whatever the names say).
TEST_F(JpegCorpus, RgbCodedColourFollowsTheMarkersAndComponentNames) {
  using Bytes = std::vector<uint8_t>;
  auto adobe = [](uint8_t transform) {
    return Bytes{0xFF, 0xEE, 0, 14, 'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, transform};
  };
  const Bytes jfif = {0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
  // Saves file with the segment of marker `code` replaced by `segment`.
  auto replaced = [&](const Bytes& file, int code, const Bytes& segment, const std::string& name) {
    long at = findMarker(file, code);
    if (at < 0) {
      ADD_FAILURE() << name << ": no marker " << code;
      return std::string("/nonexistent");
    }
    Bytes out(file.begin(), file.begin() + at);
    out.insert(out.end(), segment.begin(), segment.end());
    out.insert(out.end(), file.begin() + at + 2 + ((file[at + 2] << 8) | file[at + 3]), file.end());
    writeFile(dir + "/" + name + ".jpg", out);
    return dir + "/" + name + ".jpg";
  };

  Tally tally;
  for (std::string size : {"67x45", "17x9", "1x1"}) {
    for (std::string options : {"-rgb", "-rgb -sample 2x1", "-rgb -sample 2x2 -progressive"}) {
      std::string name = "rgb" + std::to_string(options.size()) + "_" + size;
      std::string file = make("cjpeg " + options, source('c', size), name);
      check(file, tally);
      Bytes bytes = readFile(file);
      check(replaced(bytes, 0xEE, adobe(1), name + "_t1"), tally);
      check(replaced(bytes, 0xEE, {}, name + "_names"), tally);
      check(replaced(bytes, 0xEE, jfif, name + "_jfif"), tally);
    }
    Bytes ycc = readFile(make("cjpeg -sample 1x1", source('c', size), "ycc_" + size));
    check(replaced(ycc, 0xE0, adobe(0), "yccadobe_" + size), tally);
  }
}

// jpegtran rewrites the same coefficients as a progressive file, so both
// files must decode to identical pixels.
TEST_F(JpegCorpus, ProgressiveTwinDecodesToTheSamePixels) {
  writeText(dir + "/twin.scans", kColourScans);
  for (std::string s : kSamplings) {
    SCOPED_TRACE(s);
    std::string sequential = make("cjpeg -sample " + s, source('c', "67x45"), "twin" + s);
    for (std::string how :
         {std::string("jpegtran -progressive"), "jpegtran -scans '" + dir + "/twin.scans'"}) {
      std::string progressive = make(how, sequential, "twinp" + s);
      Decoded a = decode(readFile(sequential)), b = decode(readFile(progressive));
      ASSERT_EQ(a.error, 0);
      ASSERT_EQ(b.error, 0);
      EXPECT_EQ(a.image.pixels, b.image.pixels) << how;
    }
  }
  std::string grey = make("cjpeg", source('g', "33x17"), "twing");
  Decoded a = decode(readFile(grey)),
          b = decode(readFile(make("jpegtran -progressive", grey, "twingp")));
  ASSERT_EQ(b.error, 0);
  EXPECT_EQ(a.image.pixels, b.image.pixels);
}

// The tool prints the code on stdout and names the error on stderr, for an
// error in the headers and for one in the middle of the image.
TEST_F(JpegCorpus, ToolReportsTheErrorCodeAndFails) {
  std::string png = dir + "/not.jpg";
  writeFile(png, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'});
  std::string swapped = make("cjpeg -restart 1b", source('c', "67x45"), "swapped");
  std::vector<uint8_t> bytes = readFile(swapped);
  bytes[findMarker(bytes, 0xD1) + 1] = 0xD3;
  writeFile(swapped, bytes);
  for (auto [file, code, words] : {std::tuple{png, "-217\n", "no start-of-image marker"},
                                   {swapped, "-228\n", "restart marker missing or out of order"}}) {
    std::string out = dir + "/tool.txt", err = dir + "/tool.err";
    EXPECT_EQ(run(std::string(JPEGDECODE_PATH) + " '" + file + "' /dev/null > '" + out + "' 2> '" +
                  err + "'"),
              1);
    std::vector<uint8_t> printed = readFile(out), said = readFile(err);
    EXPECT_EQ(std::string(printed.begin(), printed.end()), code);
    EXPECT_NE(std::string(said.begin(), said.end()).find(words), std::string::npos) << file;
  }
}
