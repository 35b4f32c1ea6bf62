// Running a capture's ranges as processes and following them: each range's
// progress lines add up to the whole capture's frames, each range's other
// messages are kept for the report of a range that fails, and a range that
// fails (or runs another version of the program) stops the others.
//
// Here, every range is a child process of its own, all at once. Through GNU
// parallel, one parallel process runs them on the hosts of an sshlogin file,
// its output lines tagged with the range's number and its job log telling
// how each range ended and where it ran.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "capture/child_process.h"

struct RangeRun {
  bool ok = false;
  bool stopped = false;  // a signal (Ctrl-C, SIGTERM, SIGHUP) asked us to stop
  int failedRange = 0;   // 1-based; 0 when no range is to blame
  std::string host;      // where the failed range ran, when known
  std::string message;   // why: how it ended and its last messages
};

// Called with the frames written so far over all ranges.
using RangeProgress = std::function<void(int done)>;

// One child process per range.
RangeRun runRangesHere(const std::vector<ChildSetup>& ranges, const std::string& version,
                       const RangeProgress& progress);
// One GNU parallel process whose job n is range n; its output lines are
// tagged "n<TAB>", and it writes its job log to jobLog.
RangeRun runRangesThroughParallel(const ChildSetup& parallel, int ranges, const std::string& jobLog,
                                  const std::string& version, const RangeProgress& progress);
