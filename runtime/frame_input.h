// The viewer's input (ViewerInput) and the runtime's per-frame input
// (FrameInput): the keys, the wheel and the right button,
// the spectrum, the tuning values, the camera values of the middle-button
// capture and the camera-track flags. The frame driver and the window
// procedure write it; the content receives what it needs of it as the frame
// record (demo/frame_record.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/vector.h"
#include "demo/frame_record.h"

constexpr int kKeyCount = 256;
constexpr int kTrackFlagCount = 32;
// The track flag that ends the show when set: a camera-track jump can set it.
constexpr int kQuitTrackFlag = 3;

struct FrameInput {
  double cameraX = 0.0, cameraY = 0.0, cameraZ = 0.0;  // 0.0 before each draw
  int32_t wheelClicks = 0;
  double adjustA = 0.0;  // Q raises it, A lowers it
  double adjustB = 0.0;  // Up raises it, Down lowers it
  int32_t rightButton = 0;
  double pointX = 0.0, pointY = 0.0, pointZ = 0.0;
  bool trackFlagsA[kTrackFlagCount] = {};
  bool trackFlagsB[kTrackFlagCount] = {};  // kQuitTrackFlag ends the show
  std::vector<Vec3> capturedPoints;        // one per middle-button press
  int32_t cue = 0;
  float spectrum[kSpectrumSize] = {};
  int32_t keys[kKeyCount] = {};  // 0/1 per virtual-key code
};

// The viewer's side of the window: whether it is active, the keys held, the
// wheel, the right button, the text the middle-button capture collects, and
// the per-frame input the frame driver fills from them.
struct ViewerInput {
  bool windowActive = true;
  bool keys[kKeyCount] = {};
  int32_t wheelCount = 0;
  bool mouseRightDown = false;
  std::string clipboardText;
  FrameInput frameInput;
};
