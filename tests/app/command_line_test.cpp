// The command line: screen choices, values and refusals.
#include <gtest/gtest.h>

#include "app/command_line.h"

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
