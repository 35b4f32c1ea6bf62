// libFuzzer target for the "state.txt" reader: any text reads to keys whose
// fields were filled in order (value, flag A, flag B per channel), with no
// more keys than the text has tokens.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "runtime/camera_track_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const CameraTrackStore store = parseTracks(in);
  if (store.size() > size / 2 + 1) std::abort();
  for (const CameraKey& key : store) {
    const size_t values = key.values.size();
    if (key.flagsA.size() > values || key.flagsA.size() + 1 < values) std::abort();
    if (key.flagsB.size() > key.flagsA.size() || key.flagsB.size() + 1 < key.flagsA.size())
      std::abort();
  }
  return 0;
}
