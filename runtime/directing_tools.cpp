// The developer switches this build was configured with.
#include "runtime/directing_tools.h"

void applyBuildSwitches(DirectingTools& directing) {
  directing.cameraTracksEnabled = TESSALY_CAMERA_TRACKS;
  directing.cameraRecord = TESSALY_CAMERA_RECORD;
  directing.statsEnabled = TESSALY_STATS;
  directing.assetListEnabled = TESSALY_ASSET_LIST;
  directing.sfxEnabled = TESSALY_SFX;
  directing.startBookmark = TESSALY_START_BOOKMARK;
}
