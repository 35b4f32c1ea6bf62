// A capture split into ranges: the split itself, the command line a range's
// process gets read back by the program's own parser, the sshlogin file of
// a capture farm, and the lines a range reports on.
#include "capture/capture_ranges.h"

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "capture/capture_farm.h"

// The ranges cover every frame once, in order, as evenly as whole frames
// allow; there are never more ranges than frames.
TEST(CaptureRanges, SplitCoversEveryFrameOnceInOrder) {
  for (int frames : {1, 2, 7, 10, 12300}) {
    for (int jobs : {1, 2, 3, 8, 1000}) {
      const int ranges = rangeCount(frames, jobs);
      EXPECT_EQ(ranges, std::min(frames, jobs));
      int next = 0;
      for (int index = 1; index <= ranges; ++index) {
        const FrameRange range = frameRange(frames, index, ranges);
        EXPECT_EQ(range.first, next) << frames << " frames, range " << index << " of " << ranges;
        EXPECT_GE(range.count, frames / ranges);
        EXPECT_LE(range.count, frames / ranges + 1);
        next = range.first + range.count;
      }
      EXPECT_EQ(next, frames) << frames << " frames in " << ranges;
    }
  }
  // Ten frames from 100 s at 10 fps: the joint of two ranges is at 100.5 s.
  EXPECT_EQ(frameRange(10, 2, 2).first, 5);
  EXPECT_EQ(rangeCount(0, 4), 1);
}

// What a range's process is told reads back as the same capture: the same
// start and stop to the last bit (so the same frame times), its range, and
// the choices the whole capture was made with.
TEST(CaptureRanges, ARangesCommandLineReadsBackAsTheSameCapture) {
  RangeSettings settings;
  settings.capture.start = 0.1 + 0.2;  // not a short decimal
  settings.capture.stop = 100.0 / 3.0;
  settings.capture.fps = 24;
  settings.capture.preset = "veryfast";
  settings.width = 322;
  settings.antialiased = false;
  const std::vector<std::string> args = rangeArguments(settings, 3, 7, "/tmp/a b/range-3.mp4");
  const CommandLine line = parseCommandLine(args);
  ASSERT_EQ(line.error, "");
  EXPECT_EQ(line.capturePath, "/tmp/a b/range-3.mp4");
  EXPECT_EQ(line.start, settings.capture.start);
  EXPECT_EQ(line.captureStop, settings.capture.stop);
  EXPECT_EQ(line.captureFps, 24);
  EXPECT_EQ(line.capturePreset, "veryfast");
  EXPECT_EQ(line.width, 322);
  EXPECT_EQ(line.antialiased, false);
  EXPECT_EQ(line.rangeIndex, 3);
  EXPECT_EQ(line.rangeCount, 7);
  EXPECT_FALSE(line.captureJobs);
}

TEST(CaptureRanges, OptionsThatCannotWorkAreRefused) {
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {"--jobs", "2"},
           {"--range", "1/2"},
           {"--sshloginfile", "machines"},
           {"--capture", "a.mp4", "--jobs", "0"},
           {"--capture", "a.mp4", "--jobs", "1.5"},
           {"--capture", "a.mp4", "--jobs"},
           {"--capture", "a.mp4", "--range", "3/2"},
           {"--capture", "a.mp4", "--range", "0/2"},
           {"--capture", "a.mp4", "--range", "1/2x"},
           {"--capture", "a.mp4", "--range", "2"},
           {"--capture", "a.mp4", "--range", "1/2", "--jobs", "2"},
           {"--capture", "a.mp4", "--sshloginfile", ""}}) {
    EXPECT_NE(parseCommandLine(arguments).error, "") << testing::PrintToString(arguments);
  }
  const CommandLine line =
      parseCommandLine({"--capture", "a.mp4", "--jobs", "4", "--sshloginfile", "machines"});
  EXPECT_EQ(line.error, "");
  EXPECT_EQ(line.captureJobs, 4);
  EXPECT_EQ(line.sshLoginFile, "machines");
}

// GNU parallel's own lines, with every machine's ranges at once written out.
TEST(CaptureFarm, TheLoginFileGivesMachinesAndTheirRangesAtOnce) {
  const LoginFile file = parseLoginFile(
      "# the render farm\n"
      "\n"
      "render1\n"
      "  8/alice@render2.example.net  \n"
      "@fast/4/ssh -p 2222 render3\n"
      "@slow/render4\n");
  ASSERT_EQ(file.error, "");
  EXPECT_EQ(file.logins,
            (std::vector<std::string>{"1/render1", "8/alice@render2.example.net",
                                      "@fast/4/ssh -p 2222 render3", "@slow/1/render4"}));
  EXPECT_EQ(file.slots, 14);

  // This machine without ssh would render where nothing is sent or returned.
  EXPECT_NE(parseLoginFile("render1\n:\n").error.find("line 2"), std::string::npos);
  EXPECT_NE(parseLoginFile("2/:\n").error.find("localhost"), std::string::npos);
  EXPECT_NE(parseLoginFile("# nobody\n\n").error, "");
  EXPECT_NE(parseLoginFile("0/render1\n").error, "");
  EXPECT_NE(parseLoginFile("@group\n").error, "");
}

TEST(CaptureRanges, ProgressAndVersionLinesReadBack) {
  RangeReport report = parseRangeLine(rangeProgressLine(17, 40));
  EXPECT_EQ(report.kind, RangeReport::Kind::Progress);
  EXPECT_EQ(report.done, 17);
  report = parseRangeLine(rangeVersionLine("1.0.0"));
  EXPECT_EQ(report.kind, RangeReport::Kind::Version);
  EXPECT_EQ(report.version, "1.0.0");
  // Anything else a range prints is a message, not a report.
  for (const char* line : {"tessaly: capturing 1.000 s", "tessaly-range: 3/4 framesets",
                           "17/40 frames", "Cannot open mesh file x.obj", ""})
    EXPECT_EQ(parseRangeLine(line).kind, RangeReport::Kind::None) << line;
}
