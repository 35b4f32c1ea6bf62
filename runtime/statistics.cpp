// The frame-rate statistics table and its log.
#include "runtime/statistics.h"

namespace {

// Each frame rate from i = 3 on becomes the mean of a forward and a backward
// weighted average over three neighbours (weights 10, 6, 3, 2 out of 21). The
// pass runs in place, so the backward neighbours are already smoothed.
void smoothFrameRates(std::vector<StatisticsEntry>& table) {
  const int count = static_cast<int>(table.size());
  auto f = [&table](int i) -> double& { return table[i].frameRate; };
  for (int i = 3; i < count - 3; ++i) {
    const double forward = (10 * f(i) + 6 * f(i + 1) + 3 * f(i + 2) + 2 * f(i + 3)) / 21;
    const double backward = (10 * f(i) + 6 * f(i - 1) + 3 * f(i - 2) + 2 * f(i - 3)) / 21;
    f(i) = (forward + backward) / 2;
  }
}

}  // namespace

void openStatistics(Statistics& statistics, const char* path, double duration) {
  std::vector<StatisticsEntry>& table = statistics.table;
  statistics.logFile.open(path);
  const int count = static_cast<int>(duration * 10);
  table.clear();
  for (int j = 0; j < count; ++j) table.push_back({j / 10.0, 0.0, 0});
}

void recordStatistics(Statistics& statistics, double frameRate, double time) {
  std::vector<StatisticsEntry>& table = statistics.table;
  // The index truncates toward zero, so times just below 0 fall in entry 0.
  const double index = time * 10;
  if (!(index > -1.0 && index < static_cast<double>(table.size()))) return;
  table[static_cast<size_t>(index)] = {time, frameRate, 0};
}

void writeStatistics(Statistics& statistics) {
  std::vector<StatisticsEntry>& table = statistics.table;
  std::ofstream& logFile = statistics.logFile.stream();
  if (table.empty()) return;
  logFile << table.size() << '\n' << std::flush;
  smoothFrameRates(table);
  for (const StatisticsEntry& entry : table) {
    logFile << entry.time << '\n' << entry.frameRate << '\n' << entry.value << '\n';
  }
  // A log that cannot be written is silent: a developer tool.
  std::string ignored;
  statistics.logFile.commit(ignored);
  table.clear();
  table.shrink_to_fit();
}
