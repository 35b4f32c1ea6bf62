// The command line: screen choices, values and refusals.
#include "app/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, NoArgumentsShowsTheDialog) {
  const CommandLine line = parseCommandLine({});
  EXPECT_FALSE(line.any);
  EXPECT_FALSE(line.noDialog);
  EXPECT_TRUE(line.error.empty());
}

TEST(CommandLine, ScreenChoicesSkipTheDialog) {
  CommandLine line = parseCommandLine({"--fullscreen", "--width", "1366"});
  EXPECT_TRUE(line.any);
  EXPECT_TRUE(line.noDialog);
  EXPECT_TRUE(line.fullscreen.value_or(false));
  EXPECT_EQ(line.width.value_or(0), 1366);
  line = parseCommandLine({"--windowed"});
  EXPECT_FALSE(line.fullscreen.value_or(true));
}

TEST(CommandLine, StartAndDataTakeTheirValues) {
  const CommandLine line = parseCommandLine({"--start", "32.2", "--data", "/tmp/pack"});
  EXPECT_DOUBLE_EQ(line.start, 32.2);
  EXPECT_EQ(line.dataDir, "/tmp/pack");
  EXPECT_FALSE(line.noDialog);
}

TEST(CommandLine, RefusesUnknownFlagsAndBadValues) {
  EXPECT_NE(parseCommandLine({"--bogus"}).error, "");
  EXPECT_NE(parseCommandLine({"--width"}).error, "");
  EXPECT_NE(parseCommandLine({"--width", "12x"}).error, "");
  EXPECT_NE(parseCommandLine({"--width", "1280.5"}).error, "");
  EXPECT_NE(parseCommandLine({"--start", "-1"}).error, "");
  EXPECT_NE(parseCommandLine({"--start", "nan"}).error, "");
  EXPECT_NE(parseCommandLine({"--data"}).error, "");
}

TEST(CommandLine, AntialiasingAndTheBenchmark) {
  EXPECT_FALSE(parseCommandLine({}).antialiased.has_value());
  EXPECT_FALSE(parseCommandLine({"--no-aa"}).antialiased.value_or(true));
  EXPECT_TRUE(parseCommandLine({"--no-aa", "--aa"}).antialiased.value_or(false));
  const CommandLine line = parseCommandLine({"--benchmark", "--frames", "3", "--width", "640"});
  EXPECT_TRUE(line.benchmark);
  EXPECT_TRUE(line.noDialog);
  EXPECT_EQ(line.benchmarkFrames, 3);
  EXPECT_EQ(line.error, "");
  EXPECT_NE(parseCommandLine({"--frames", "3"}).error, "");
  EXPECT_NE(parseCommandLine({"--benchmark", "--frames", "0"}).error, "");
  EXPECT_NE(parseCommandLine({"--benchmark", "--screenshot", "3", "b.png"}).error, "");
}

// An option followed by another option has no value: nothing is written
// under an option's name, and a screenshot is a PNG by its name too.
TEST(CommandLine, ValuesNeverBeginWithADashAndScreenshotsArePngs) {
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"--screenshot", "10", "--help"},
                                             {"--screenshot", "10", "-x"},
                                             {"--capture", "--version"},
                                             {"--data", "--no-dialog"},
                                             {"--sshloginfile", "-f", "--capture", "a.mp4"},
                                             {"--screenshot", "10", "x.jpg"},
                                             {"--screenshot", "10", ".png"}})
    EXPECT_NE(parseCommandLine(arguments).error, "") << arguments[0] << " " << arguments[1];
  EXPECT_EQ(parseCommandLine({"--screenshot", "10", "./-x.PNG"}).screenshotPath, "./-x.PNG");
  EXPECT_EQ(parseCommandLine({"--capture", "./-x.mp4"}).capturePath, "./-x.mp4");
}
