// Frame-rate statistics per tenth of a second of demo time, written to a log
// at teardown. Runs only with the statistics developer switch.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/output_file.h"

struct StatisticsEntry {
  double time;
  double frameRate;
  int32_t value;
};

// The table and its log; the show's state holds one.
struct Statistics {
  std::vector<StatisticsEntry> table;
  platform::StagedTextFile logFile;  // moved onto its name once written whole
};

// Opens the log (text, truncating) and builds a table of duration × 10
// entries, entry j starting at {j / 10, 0, 0}. A log that cannot be opened
// leaves the stream failed: the table is still kept and the writes go nowhere.
void openStatistics(Statistics& statistics, const char* path, double duration);
// Stores the frame rate of the tenth of a second that time falls in; times
// outside the table are ignored.
void recordStatistics(Statistics& statistics, double frameRate, double time);
// Writes the entry count, smooths the frame rates in place and writes each
// entry as three lines (time, frame rate, value); then closes the log and
// frees the table. Does nothing when no table was opened.
void writeStatistics(Statistics& statistics);
