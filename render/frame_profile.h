// Timing of the passes of a frame, for the built-in benchmark. The frame
// composition marks the end of each pass on the profile it finds in the
// renderer (none outside the benchmark); the owner reads the passes in the
// order they ran once the frame is done.
//
// Two clocks: GL timer queries (a timestamp at each mark, read back after the
// frame), or glFinish and the process's steady clock at each mark, which also
// serialises the passes so each is charged only its own work. Each pass also
// gets the CPU time the process spent between its marks: where a software
// renderer draws, that is the pass's work, and other programs on a busy
// machine disturb it less than the wall clock.
#pragma once

#include <string>
#include <vector>

struct PassTime {
  std::string name;
  double milliseconds = 0.0;
  double cpuMilliseconds = 0.0;  // CPU time of the whole process, every thread
};

class FrameProfile {
 public:
  enum class Clock { kFinish, kTimerQueries };

  explicit FrameProfile(Clock clock);
  ~FrameProfile();
  FrameProfile(const FrameProfile&) = delete;
  FrameProfile& operator=(const FrameProfile&) = delete;

  // The timer-query clock where a hardware driver offers it, else glFinish.
  static Clock bestClock();
  Clock clock() const { return clock_; }

  // Starts a frame's marks.
  void beginFrame();
  // Ends the pass `name` (a string that outlives the frame); does nothing
  // outside beginFrame .. finishFrame.
  void endPass(const char* name);
  // Waits for the frame's measurements and returns its passes in order.
  const std::vector<PassTime>& finishFrame();

  // When false the frame composition leaves the scene slot empty: the chain
  // alone, for the benchmark's empty-scene row.
  bool drawScene = true;

 private:
  Clock clock_;
  bool recording_ = false;
  std::vector<const char*> names_;
  std::vector<double> finishTimes_;  // seconds, kFinish
  std::vector<double> cpuTimes_;     // process CPU seconds at each mark
  std::vector<unsigned> queries_;    // one timestamp per mark plus the start, kTimerQueries
  size_t usedQueries_ = 0;
  std::vector<PassTime> passes_;
};

// CPU seconds of this process so far, every thread counted.
double processCpuSeconds();

// Marks the end of a pass on the renderer's profile, if it has one.
class RenderResources;
void markPass(const RenderResources* renderer, const char* name);
