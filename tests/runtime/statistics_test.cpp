// The frame-rate statistics: the table per tenth of a second, the in-place
// smoothing and the log's lines.
#include "runtime/statistics.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/scratch_folder.h"

namespace {

Statistics statistics;

std::vector<std::string> readLines(const std::string& path) {
  std::istringstream text(readText(path));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

// The three lines of entry j: time, frame rate, value.
std::vector<std::string> entryLines(const std::vector<std::string>& log, int j) {
  return {log[1 + 3 * j], log[2 + 3 * j], log[3 + 3 * j]};
}

using Lines = std::vector<std::string>;

TEST(Statistics, LogHoldsTheSmoothedTableOfTenthsOfASecond) {
  ScratchFolder folder;
  openStatistics(statistics, "stats.log", 240.0);
  recordStatistics(statistics, 42.0, 1.04);    // entry 10
  recordStatistics(statistics, 99.0, 239.95);  // the last entry, outside the smoothed range
  recordStatistics(statistics, 75.0, 240.0);   // beyond the table: ignored
  recordStatistics(statistics, 75.0, -3.0);
  writeStatistics(statistics);

  const Lines log = readLines("stats.log");
  ASSERT_EQ(log.size(), 1u + 3u * 2400u);
  EXPECT_EQ(log[0], "2400");
  EXPECT_EQ(entryLines(log, 6), (Lines{"0.6", "0", "0"}));
  // The spike of 42 at entry 10 spreads backwards through the forward
  // weights (2/21, 3/21, 6/21) and forwards through already smoothed values:
  // entry 8 mixes in entry 7's smoothed 2, which an out-of-place pass would not.
  EXPECT_EQ(entryLines(log, 7), (Lines{"0.7", "2", "0"}));
  EXPECT_EQ(entryLines(log, 8)[1], "3.28571");  // (6 + 12/21) / 2
  EXPECT_EQ(entryLines(log, 10)[0], "1.04");
  EXPECT_EQ(entryLines(log, 2399), (Lines{"239.95", "99", "0"}));

  // The table is freed with the log: a second write has nothing to write.
  std::filesystem::remove("stats.log");
  writeStatistics(statistics);
  EXPECT_FALSE(std::filesystem::exists("stats.log"));
}

TEST(Statistics, AnUnopenableLogWritesNothing) {
  ScratchFolder folder;
  openStatistics(statistics, "c://logs//varnholt2.log", 240.0);
  recordStatistics(statistics, 60.0, 1.0);
  writeStatistics(statistics);
  EXPECT_FALSE(std::filesystem::exists("c:"));
}

}  // namespace
