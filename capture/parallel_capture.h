// A capture rendered as contiguous ranges side by side: each range a process
// of its own, here or, through GNU parallel, on the machines of an sshlogin
// file. Every range renders the warm-up frames its first frame needs, so
// each frame is the one a single process would render. The ranges' videos
// are joined without encoding them again and the soundtrack is added once,
// over the whole. One progress bar counts the whole capture's frames. The
// video appears under its name only once complete: the ranges and the join
// are written into a hidden folder beside it, which is removed whether the
// capture succeeds, fails or is stopped.
#pragma once

#include <string>

#include "capture/capture_ranges.h"

struct ParallelCapture {
  RangeSettings settings;  // settings.capture.path: the video, absolute
  int height = 720;        // the render height settings.width gives, for the report
  int jobs = 1;            // ranges here; with a login file, 0 takes its machines' count
  std::string loginFile;   // GNU parallel's sshlogin file, absolute; empty: this machine
  std::string dataFolder;  // absolute
  bool withSound = true;
};

// How many ranges to render side by side on this machine when --jobs does
// not say: its cores over the cores one range keeps busy (a range renders
// on one thread of the software renderer, its encoder beside it), at least
// one. One range is the capture in a single process, on all the cores.
int defaultCaptureJobs();
// False, after saying so on stderr, when a command the capture needs (GNU
// parallel, rsync and tar for a login file) cannot be found.
bool parallelCaptureToolsAvailable(const ParallelCapture& capture);
// Renders, joins and writes the video. Returns the process exit code: 0 once
// the video is complete, 1 when a range or the join failed or the capture
// was stopped (Ctrl-C, SIGTERM, SIGHUP).
int runParallelCapture(const ParallelCapture& capture);
