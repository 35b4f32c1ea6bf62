// The directing tools: developer switches fixed at build time (statistics,
// camera tracks and their recorder, the sound effect, the asset list, the
// start bookmark) and what those tools keep while the show runs.
#pragma once

#include <cstdint>
#include <vector>

#include "demo/image_texture.h"
#include "platform/output_file.h"
#include "runtime/camera_tracks.h"
#include "runtime/statistics.h"

struct DirectingTools {
  bool statsEnabled = false;
  bool cameraTracksEnabled = false;
  bool cameraRecord = false;
  bool sfxEnabled = false;
  bool assetListEnabled = false;
  int32_t startBookmark = -4;

  Statistics statistics;
  CameraTrackStore cameraTracks;
  CameraKey workingKey;  // the key being recorded, or the key a jump restores
  std::vector<LoadedImage> loadedImages;
  platform::StagedTextFile assetListFile;
};

// The switches this build was configured with, written into fresh tools.
void applyBuildSwitches(DirectingTools& directing);
