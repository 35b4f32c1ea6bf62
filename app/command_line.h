// The program's command line. Any argument at all also opens the debug console.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/timeline.h"

struct CommandLine {
  bool any = false;  // at least one argument was given
  bool help = false;
  bool version = false;
  bool noDialog = false;  // 1280 x 720 windowed unless a screen choice says otherwise
  std::optional<bool> fullscreen;
  std::optional<int> width;
  std::string dataDir;
  double start = 0.0;
  std::optional<double> screenshotTime;  // render this moment to screenshotPath and exit
  std::string screenshotPath;
  std::string capturePath;  // render [start, captureStop) to this video and exit
  int captureFps = 60;
  double captureStop = kShowEnd;  // the end of the show; later times are clamped to it
  std::optional<bool>
      antialiased;            // --aa / --no-aa: the scene's 4 samples, or one and the edge filter
  bool benchmark = false;     // print the frame profiler's table and exit
  int benchmarkFrames = 5;    // frames at each of the benchmark's moments
  std::string capturePreset;  // x264's preset for the capture; empty: the default
  std::optional<int> captureJobs;  // --jobs: ranges rendered side by side
  std::string sshLoginFile;        // --sshloginfile: the ranges on these machines
  int rangeIndex = 0;              // --range I/N: render range I of N only
  int rangeCount = 0;
  std::optional<bool> vsync;  // --vsync / --no-vsync: swap interval 1 or 0; default 1 where allowed
  bool live = false;          // rebuild a shader program when its file changes
  bool loop = false;          // the played show starts again from 0 at its end
  std::string error;          // set when the arguments cannot be used
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);
const char* usageText();
