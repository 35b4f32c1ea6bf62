// The show's pictures at moments that cover every scene from its first to its
// last seconds, the glow, the flashes and the fades, rendered by the program
// (--screenshot at 640 x 360) and compared with the committed reference
// pictures in pictures/. The same moment renders the same picture on one
// machine; across CPUs the software rasteriser may round a few edge samples
// differently, which costs far less than the threshold below.
//
// With TESSALY_UPDATE_REFERENCES=1 the test writes the references instead of
// comparing (tools/update-reference-frames). A change of look regenerates them
// in a commit of its own that says what changed and why.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "support/png_picture.h"

namespace {

// 40 dB is an RMS error of 2.55 levels of 255 over every sample: far above
// rounding noise (an identical render is infinite, one level off everywhere is
// 48 dB), below what a deliberate change costs: the final pass's grain ten
// times stronger measured 29 to 32 dB at every moment, its vignette a tenth
// darker 36 to 40 dB at the brightest ones.
constexpr double kMinimumPsnr = 40.0;
constexpr int kWidth = 640;

double psnr(const Picture& a, const Picture& b) {
  double squares = 0.0;
  for (size_t i = 0; i < a.rgb.size(); ++i) {
    const double d = static_cast<double>(a.rgb[i]) - b.rgb[i];
    squares += d * d;
  }
  if (squares == 0.0) return std::numeric_limits<double>::infinity();
  return 10.0 * std::log10(255.0 * 255.0 * a.rgb.size() / squares);
}

// Where two pictures differ, brightened eightfold so that small errors show.
Picture difference(const Picture& a, const Picture& b) {
  Picture out = a;
  for (size_t i = 0; i < a.rgb.size(); ++i)
    out.rgb[i] = static_cast<uint8_t>(std::min(255, 8 * std::abs(a.rgb[i] - b.rgb[i])));
  return out;
}

class ReferenceFrame : public testing::TestWithParam<const char*> {};

TEST_P(ReferenceFrame, MatchesItsReference) {
  const std::string time = GetParam();
  const std::string reference =
      TESSALY_SOURCE_DIR "/tests/reference_frames/pictures/" + time + ".png";
  const std::string rendered = testing::TempDir() + "tessaly_reference_" + time + ".png";
  const ProgramRun run = renderScreenshot(time, kWidth, rendered);
  ASSERT_EQ(run.status, 0) << "the program failed at " << time << ":\n" << run.output;
  const Picture picture = readPng(rendered);
  ASSERT_EQ(picture.width, kWidth) << rendered;
  ASSERT_EQ(picture.height, kWidth * 9 / 16) << rendered;

  if (std::getenv("TESSALY_UPDATE_REFERENCES")) {
    ASSERT_TRUE(writePng(reference, picture)) << "cannot write " << reference;
    return;
  }
  const Picture expected = readPng(reference);
  ASSERT_EQ(expected.rgb.size(), picture.rgb.size()) << "missing or wrong-sized " << reference;
  const double db = psnr(picture, expected);
  if (db < kMinimumPsnr) {
    const std::string diff = testing::TempDir() + "tessaly_reference_" + time + "_diff.png";
    writePng(diff, difference(picture, expected));
    ADD_FAILURE() << "show time " << time << ": " << db << " dB against " << reference
                  << " (at least " << kMinimumPsnr << " wanted); rendered " << rendered
                  << ", difference ×8 " << diff;
  }
}

// Without antialiasing the scene is drawn with one sample a pixel and the
// combine filters its edges: the same picture, with edges that differ.
TEST(ReferenceFrameWithoutAntialiasing, DiffersOnlyAtTheEdges) {
  const std::string rendered = testing::TempDir() + "tessaly_reference_no_aa.png";
  const ProgramRun run = renderScreenshot("12.5", kWidth, rendered, "--no-aa");
  ASSERT_EQ(run.status, 0) << "the program failed:\n" << run.output;
  const Picture picture = readPng(rendered);
  const Picture expected = readPng(TESSALY_SOURCE_DIR "/tests/reference_frames/pictures/12.5.png");
  ASSERT_EQ(expected.rgb.size(), picture.rgb.size());
  const double db = psnr(picture, expected);
  EXPECT_LT(db, 60.0) << "the picture did not change: is --no-aa ignored?";
  EXPECT_GT(db, 30.0) << "more than the edges changed";
}

// Opening (5, 12.5, its last second at 19.5), the first flash fading over the falling panels
// (20.4), falling panels (25, 33.5, their last second at 35.5), the tunnel's band, layers and
// letters (45 to 128, its last second at 131.4 before the dip), the finale's calm and its busy
// stretch (140 to 194, with the flying panels of its second assembly at 150.3 and 155), the
// closing fade (199). The last second of each scene shows a switch
// of scene moved earlier. Whole seconds catch the glow at its peak, the halves catch it off.
INSTANTIATE_TEST_SUITE_P(Show, ReferenceFrame,
                         testing::Values("5", "12.5", "19.5", "20.4", "25", "33.5", "35.5", "45",
                                         "52.5", "60.25", "76", "90.5", "110", "118", "128",
                                         "131.4", "140", "150.3", "155", "160.5", "180", "194",
                                         "199"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string name = std::string("t") + info.param;
                           for (char& c : name)
                             if (c == '.') c = '_';
                           return name;
                         });

}  // namespace
