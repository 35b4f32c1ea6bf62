// A capture split into contiguous ranges of frames, each rendered by a
// process of its own (on this machine or another) as a video without sound,
// and what such a process is told and tells back: the command line of one
// range, and the progress lines it prints on standard output.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "capture/capture.h"

// Frames first .. first + count - 1 of a capture.
struct FrameRange {
  int first = 0;
  int count = 0;
};

// Range `index` (1-based) of `ranges` over frames 0 .. frames - 1: the
// frames split as evenly as whole frames allow, in order, with no gaps.
FrameRange frameRange(int frames, int index, int ranges);
// How many ranges a capture of `frames` frames is split into for `jobs`
// processes: no more than there are frames, at least one.
int rangeCount(int frames, int jobs);

// The capture's settings every range shares; the same on every machine, so
// every range's process reckons the same frame times.
struct RangeSettings {
  CaptureRequest capture;  // its path is the joined video's; a range writes its own
  int width = 1280;
  std::optional<bool> antialiased;
};

// The program's arguments (after its name) that render range `index` of
// `ranges` into `video`. Times are written with every digit a double
// holds, so they read back as the same numbers.
std::vector<std::string> rangeArguments(const RangeSettings& settings, int index, int ranges,
                                        const std::string& video);

// A range's process reports on standard output with lines that begin with
// this prefix: first its version, then the frames written so far.
inline constexpr const char* kRangeLinePrefix = "tessaly-range: ";
std::string rangeVersionLine(const std::string& version);
std::string rangeProgressLine(int done, int total);
// What one such line says; other lines say nothing (kind None).
struct RangeReport {
  enum class Kind { None, Version, Progress } kind = Kind::None;
  std::string version;
  int done = 0;
};
RangeReport parseRangeLine(const std::string& line);
