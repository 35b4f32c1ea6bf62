// Offline capture of the show to a video file: frames at fixed steps of show
// time through the frame driver and the part, with the soundtrack's section
// beside them, encoded by the ffmpeg command, with a progress bar on stderr.
// Rendering, readback and encoding overlap: a frame is read back through a
// pixel buffer while the next one renders, and written to ffmpeg from a
// thread of its own. TESSALY_CAPTURE_SYNC=1 in the environment does each step
// after the other instead, on the render thread; the frames are the same, and
// tests and the capture benchmark compare the two. TESSALY_CAPTURE_LOSSLESS=1
// encodes the RGB frames losslessly, so that tests can compare decoded frames
// byte for byte.
#pragma once

#include <string>

#include "core/timeline.h"

struct DemoState;

struct CaptureRequest {
  std::string path;  // the video file, absolute
  double start = 0.0;
  double stop = kShowEnd;  // no later than the end of the show
  int fps = 60;
  std::string preset;  // x264's preset; empty: kDefaultX264Preset
  // Range rangeIndex (1-based) of rangeCount (capture_ranges.h): only its
  // frames, as video alone, with progress lines on standard output. 0: all.
  int rangeIndex = 0;
  int rangeCount = 0;
};

// Frames n = 0, 1, ... at show times start + n / fps before stop.
int captureFrameCount(double start, double stop, int fps);
// Show time of frame n: start + n / fps, worked out from the frame number
// alone, so any process that renders frame n shows the same moment. Frames
// -2 and -1 are the warm-up frames before frame 0; no time is before 0.
double captureFrameTime(double start, int fps, int n);
// False, after saying so on stderr, when the ffmpeg command cannot be found.
// Checked before the window opens so that a missing tool fails at once.
bool captureToolAvailable();
// Renders the frames into the open window and encodes them. Call after
// createMainWindow. Returns the process exit code: 0 once the video file is
// complete, 1 when ffmpeg failed or the capture was stopped early.
int runCapture(DemoState& demo, const CaptureRequest& request);
