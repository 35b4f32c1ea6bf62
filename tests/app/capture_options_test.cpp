// The capture's options, its frame count and its progress bar text.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "capture/capture.h"
#include "capture/ffmpeg_pipe.h"
#include "capture/progress_bar.h"

TEST(CaptureOptions, DefaultsAndTheEndOfTheShow) {
  CommandLine line = parseCommandLine({"--capture", "out.mp4"});
  ASSERT_EQ(line.error, "");
  EXPECT_EQ(line.capturePath, "out.mp4");
  EXPECT_TRUE(line.noDialog);
  EXPECT_EQ(line.captureFps, 60);
  EXPECT_DOUBLE_EQ(line.start, 0.0);
  EXPECT_DOUBLE_EQ(line.captureStop, 205.0);

  line = parseCommandLine({"--stop", "300", "--fps", "30", "--start", "18", "--capture", "a.mp4"});
  ASSERT_EQ(line.error, "");
  EXPECT_EQ(line.captureFps, 30);
  EXPECT_DOUBLE_EQ(line.start, 18.0);
  EXPECT_DOUBLE_EQ(line.captureStop, 205.0);
}

TEST(CaptureOptions, RefusesWhatCannotBeCaptured) {
  EXPECT_NE(parseCommandLine({"--capture"}).error, "");
  EXPECT_NE(parseCommandLine({"--capture", "a.mp4", "--fps", "0"}).error, "");
  EXPECT_NE(parseCommandLine({"--capture", "a.mp4", "--fps", "29.97"}).error, "");
  EXPECT_NE(parseCommandLine({"--capture", "a.mp4", "--stop", "-3"}).error, "");
  EXPECT_NE(parseCommandLine({"--capture", "a.mp4", "--start", "22", "--stop", "22"}).error, "");
  EXPECT_NE(parseCommandLine({"--capture", "a.mp4", "--start", "205"}).error, "");
  EXPECT_NE(parseCommandLine({"--capture", "a.mp4", "--screenshot", "3", "b.png"}).error, "");
  // Capture timing without a capture would be silently ignored.
  EXPECT_NE(parseCommandLine({"--fps", "30"}).error, "");
  EXPECT_NE(parseCommandLine({"--stop", "30"}).error, "");
}

TEST(CaptureOptions, PresetPassesX264sNameAndDefaultsToTheUsualOne) {
  CommandLine line = parseCommandLine({"--capture", "a.mp4"});
  ASSERT_EQ(line.error, "");
  EXPECT_EQ(line.capturePreset, "");
  EXPECT_STREQ(VideoSettings().preset.c_str(), "medium");
  for (const char* preset : {"ultrafast", "veryfast", "medium", "veryslow"}) {
    line = parseCommandLine({"--preset", preset, "--capture", "a.mp4"});
    ASSERT_EQ(line.error, "") << preset;
    EXPECT_EQ(line.capturePreset, preset);
  }
}

TEST(CaptureOptions, AnUnknownPresetIsRefusedWithTheNamesThatWork) {
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"--capture", "a.mp4", "--preset", "placebo"},
                                             {"--capture", "a.mp4", "--preset", "Fast"},
                                             {"--capture", "a.mp4", "--preset", ""},
                                             {"--capture", "a.mp4", "--preset"}}) {
    const std::string error = parseCommandLine(arguments).error;
    EXPECT_NE(error.find("ultrafast superfast veryfast faster fast medium slow slower veryslow"),
              std::string::npos)
        << error;
  }
  // A preset without a capture would be silently ignored.
  EXPECT_NE(parseCommandLine({"--preset", "fast"}).error, "");
  EXPECT_NE(parseCommandLine({"--preset", "fast", "--screenshot", "3", "b.png"}).error, "");
}

TEST(CaptureOptions, HelpNamesEveryPresetAndWhatAFasterOneCosts) {
  const std::string help = usageText();
  for (const char* preset : kX264Presets) EXPECT_NE(help.find(preset), std::string::npos) << preset;
  EXPECT_NE(help.find("medium (the default)"), std::string::npos);
  EXPECT_NE(help.find("sooner"), std::string::npos);
  EXPECT_NE(help.find("file is larger"), std::string::npos);
}

TEST(CaptureFrames, WholeRangesGiveExactCountsAndPartialFramesCount) {
  EXPECT_EQ(captureFrameCount(18.0, 22.0, 30), 120);
  EXPECT_EQ(captureFrameCount(0.0, 205.0, 60), 12300);
  // 0.1 and 0.3 are not exact in binary: still two frames, not three.
  EXPECT_EQ(captureFrameCount(0.1, 0.3, 10), 2);
  EXPECT_EQ(captureFrameCount(1.0, 1.05, 10), 1);
  EXPECT_EQ(captureFrameCount(5.0, 5.0, 60), 0);
}

TEST(CaptureProgress, ShareFramesRateAndTime) {
  EXPECT_EQ(progressLine(30, 120, 10.0),
            "[#######-----------------------]  25%  30/120 frames  3.0 fps  0:30 left");
  EXPECT_EQ(progressLine(0, 120, 0.0),
            "[------------------------------]   0%  0/120 frames  0.0 fps  --:-- left");
  const std::string done = progressLine(12300, 12300, 3725.0);
  EXPECT_NE(done.find("[##############################] 100%"), std::string::npos) << done;
  EXPECT_NE(done.find("1:02:05 taken"), std::string::npos) << done;
}

// The line for all frames is shown once, however often the end is reported.
TEST(CaptureProgress, TheLastLineIsShownOnce) {
  testing::internal::CaptureStderr();
  ProgressBar bar(4);
  bar.update(4);
  bar.update(4);
  const std::string shown = testing::internal::GetCapturedStderr();
  size_t count = 0;
  for (size_t at = shown.find("100%"); at != std::string::npos; at = shown.find("100%", at + 1))
    ++count;
  EXPECT_EQ(count, 1u) << shown;
}
