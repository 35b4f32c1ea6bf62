// The process-wide run-time state of the show.
//
// All run-time state is one global record, `demo`, that every subsystem reads
// and writes directly; only the frame driver hands three pointers to the part.
// Everything runs on the main thread.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "demo/vector.h"
#include "render/render_resources.h"

class parts;

constexpr int kSpectrumSize = 512;
constexpr int kKeyCount = 256;
constexpr int kTrackFlagCount = 32;
constexpr int kPartSlotCount = 4;
constexpr int kCueRowCount = 31;

// The per-frame record handed to the part.
struct FrameInput {
  double cameraX = 0.0, cameraY = 0.0, cameraZ = 0.0;  // 0.0 before each draw
  int32_t wheelClicks = 0;
  double adjustA = 0.0;  // Q raises it, A lowers it
  double adjustB = 0.0;  // Up raises it, Down lowers it
  int32_t reserved = 0;
  int32_t rightButton = 0;
  double pointX = 0.0, pointY = 0.0, pointZ = 0.0;
  bool trackFlagsA[kTrackFlagCount] = {};
  bool trackFlagsB[kTrackFlagCount] = {};  // element 3 is the quit request
  double time = 0.0;                       // demoTime after this frame's advance
  std::vector<Vec3> capturedPoints;        // one per middle-button press
  int32_t cue = 0;
  int32_t driven = 0;
  float spectrum[kSpectrumSize] = {};
  double overlayA = 0.0, overlayB = 0.0;
  int32_t keys[kKeyCount] = {};  // 0/1 per virtual-key code
  Vec3 markerVec;
};

struct CueWindow {
  double start;
  double end;
  int32_t value;
};

struct CueTable {
  CueWindow rows[kCueRowCount] = {};
  int lastActive = -1;
};

// One image loaded as a texture, kept for the asset list tool. kind 0 = image, 1 = mesh.
struct LoadedImage {
  std::string path;
  int32_t slot = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t kind = 0;
};

struct DisplayMode {
  int32_t width;
  int32_t height;
};

struct DemoState {
  // Clock
  double demoTime = 0.0;
  double frameDelta = 0.0;
  double lastTimerValue = 0.0;
  double timerSeconds = 0.0;
  int64_t timerLastCount = 0;
  int32_t frameCount = 0;
  double loadSeconds = 0.0;

  // Configuration
  int32_t renderWidth = 1280, renderHeight = 720;
  int32_t viewportWidth = 1280, viewportHeight = 720;
  int32_t displayWidth = 1280, displayHeight = 720;  // the mode fullscreen switches to
  bool fullscreen = false;
  bool musicEnabled = true;
  bool showSetupDialog = true;
  double fadeOutRate = 100002.5;
  // The dialog's choice: the scene with 4 samples, or one and an edge filter.
  bool antialiased = true;
  bool extraOption = false;
  std::vector<DisplayMode> displayModes;

  // Developer switches, fixed at build time.
  bool releaseBuild = false;
  bool statsEnabled = false;
  bool cameraTracksEnabled = false;
  bool cameraRecord = false;
  bool sfxEnabled = false;
  bool assetListEnabled = false;
  int32_t startBookmark = -4;

  // Window, input and output
  bool windowActive = true;
  bool keys[kKeyCount] = {};
  int32_t wheelCount = 0;
  double wheelAccum = 0.0;
  bool mouseLeftDown = false;
  bool mouseRightDown = false;
  std::string clipboardText;
  bool fadingOut = false;
  double fadeStartTime = 0.0;

  // Music: the spectrum last returned by the sound system.
  const float* spectrumSource = nullptr;

  // Parts and rendering
  parts* partSlots[kPartSlotCount] = {};
  RenderResources renderer;
  FrameInput frameInput;
  CueTable cueTable;

  // Directing tools
  std::vector<LoadedImage> loadedImages;
  std::ofstream assetListFile;
};

extern DemoState demo;
