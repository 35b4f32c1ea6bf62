// The run-time state of the show: one record that the program's entry
// (app/) owns and hands by reference to the runtime and app functions that
// read or write it. The part never sees it: the frame driver hands it the
// frame record (demo/frame_record.h) and the renderer. Everything runs on the
// main thread.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "core/random.h"
#include "demo/image_texture.h"
#include "render/render_resources.h"
#include "runtime/camera_tracks.h"
#include "runtime/cue_table.h"
#include "runtime/frame_input.h"
#include "runtime/music.h"
#include "runtime/show_clock.h"
#include "runtime/statistics.h"

class parts;

struct DisplayMode {
  int32_t width;
  int32_t height;
};

struct DemoState {
  ShowClock clock;
  // The show's one random generator: the frame driver seeds it, the part's
  // textures and patterns draw from it (core/random.h).
  Random random;

  // Configuration
  int32_t renderWidth = 1280, renderHeight = 720;
  int32_t viewportWidth = 1280, viewportHeight = 720;
  int32_t displayWidth = 1280, displayHeight = 720;  // the mode fullscreen switches to
  bool fullscreen = false;
  bool musicEnabled = true;
  bool showSetupDialog = true;
  bool loop = false;  // past the end the show starts again from 0
  // The end fade's level per second after Escape. The delivered show ends at
  // once: at this rate any frame longer than 10 microseconds completes the
  // fade, so Escape quits on the next frame. A release build fades over
  // 1.25 s (0.8 per second) instead.
  double fadeOutRate = 100002.5;
  // The dialog's choice: the scene with 4 samples, or one and an edge filter.
  bool antialiased = true;
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
  bool mouseRightDown = false;
  std::string clipboardText;
  bool fadingOut = false;
  double fadeStartTime = 0.0;

  // Music, and the spectrum it last returned.
  Music music;
  const float* spectrumSource = nullptr;

  // Parts and rendering
  parts* content = nullptr;  // the show's one part, owned by the program's entry (app/)
  RenderResources renderer;
  FrameInput frameInput;
  CueTable cueTable;

  // Directing tools
  Statistics statistics;
  CameraTrackStore cameraTracks;
  CameraKey workingKey;  // the key being recorded, or the key a jump restores
  std::vector<LoadedImage> loadedImages;
  std::ofstream assetListFile;
};

// The developer switches this build was configured with (the directing tools
// and the start bookmark), written into a fresh state.
void applyBuildSwitches(DemoState& demo);
