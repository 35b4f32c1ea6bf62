// The camera-track text reader.
#include "runtime/camera_track_text.h"

#include <utility>

CameraTrackStore parseTracks(std::istream& in) {
  CameraTrackStore store;
  int count = 0;
  if (!(in >> count)) return store;
  for (int k = 0; k < count; ++k) {
    CameraKey key;
    if (!(in >> key.time)) return store;
    double channels = 0.0;
    const bool countRead = static_cast<bool>(in >> channels);
    for (int i = 0; countRead && i < channels; ++i) {
      double value = 0.0;
      bool flagA = false, flagB = false;
      if (!(in >> value)) break;
      key.values.push_back(value);
      if (!(in >> flagA)) break;
      key.flagsA.push_back(flagA);
      if (!(in >> flagB)) break;
      key.flagsB.push_back(flagB);
    }
    store.push_back(std::move(key));
    if (!in) return store;
  }
  return store;
}
