// The developer switches this build was configured with.
#include "runtime/demo_state.h"

void applyBuildSwitches(DemoState& demo) {
  demo.cameraTracksEnabled = TESSALY_CAMERA_TRACKS;
  demo.cameraRecord = TESSALY_CAMERA_RECORD;
  demo.statsEnabled = TESSALY_STATS;
  demo.assetListEnabled = TESSALY_ASSET_LIST;
  demo.sfxEnabled = TESSALY_SFX;
  demo.startBookmark = TESSALY_START_BOOKMARK;
}
