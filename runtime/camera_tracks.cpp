// The camera-track recorder, its "state.txt" file and the digit jumps.
#include "runtime/camera_tracks.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "demo/parts.h"
#include "platform/output_file.h"
#include "runtime/camera_track_text.h"
#include "runtime/demo_state.h"
#include "runtime/music.h"

namespace {

// Preset times of the digit keys 0..7, in seconds.
constexpr double kJumpTimes[8] = {25.0, 146.0, 165.0, 200.0, 302.0, 265.0, 287.0, 293.0};
// A jump restores the values of channels 0..7; channel 8's value stays.
constexpr int kRestoredValueCount = 8;

// The part that supplies channel i, or null when its slot is empty or
// beyond the part slots.
parts* channelPart(DemoState& demo, int channel) {
  return channel < kPartSlotCount ? demo.partSlots.slot[channel] : nullptr;
}

void clearKey(CameraKey& key) {
  key.flagsA.clear();
  key.flagsB.clear();
  key.values.clear();
}

}  // namespace

void recordKey(DemoState& demo) {
  const FrameInput& input = demo.input.frameInput;
  CameraKey& workingKey = demo.directing.workingKey;
  workingKey.time = demo.clock.demoTime;
  clearKey(workingKey);
  for (int i = 0; i < kCameraChannelCount; ++i) {
    workingKey.flagsA.push_back(input.trackFlagsA[i]);
    workingKey.flagsB.push_back(input.trackFlagsB[i]);
    const parts* part = channelPart(demo, i);
    workingKey.values.push_back(part ? part->channelValue : 0.0);
  }
  demo.directing.cameraTracks.push_back(workingKey);
}

void nearestKey(DemoState& demo, double t) {
  CameraKey& workingKey = demo.directing.workingKey;
  clearKey(workingKey);
  workingKey.time = 0.0;
  const CameraKey* best = nullptr;
  double bestDistance = 1e14;
  for (const CameraKey& key : demo.directing.cameraTracks) {
    const double distance = std::fabs(key.time - t);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = &key;
    }
  }
  if (best) workingKey = *best;
}

void jumpKeys(DemoState& demo) {
  FrameInput& input = demo.input.frameInput;
  const CameraKey& workingKey = demo.directing.workingKey;
  for (int d = 0; d < 8; ++d) {
    if (!demo.input.keys['0' + d]) continue;
    const double t = kJumpTimes[d];
    nearestKey(demo, t);
    // A loaded key may hold fewer channels (or be cut short by a malformed
    // file); only what it holds is restored.
    const int flagsA = std::min<int>(workingKey.flagsA.size(), kCameraChannelCount);
    const int flagsB = std::min<int>(workingKey.flagsB.size(), kCameraChannelCount);
    const int values = std::min<int>(workingKey.values.size(), kRestoredValueCount);
    for (int j = 0; j < flagsA; ++j) input.trackFlagsA[j] = workingKey.flagsA[j];
    for (int j = 0; j < flagsB; ++j) input.trackFlagsB[j] = workingKey.flagsB[j];
    for (int j = 0; j < values; ++j) {
      if (parts* part = channelPart(demo, j)) part->channelValue = workingKey.values[j];
    }
    seekMusic(demo.music, t);
  }
}

void saveTracks(const DemoState& demo, const char* path) {
  platform::StagedTextFile staged;
  staged.open(path);
  std::ofstream& file = staged.stream();
  if (!file) return;
  file << demo.directing.cameraTracks.size() << '\n';
  for (const CameraKey& key : demo.directing.cameraTracks) {
    file << "\n\n" << key.time << '\n' << key.values.size() << '\n';
    for (size_t i = 0; i < key.values.size(); ++i) {
      const bool flagA = i < key.flagsA.size() && key.flagsA[i];
      const bool flagB = i < key.flagsB.size() && key.flagsB[i];
      file << key.values[i] << ' ' << flagA << ' ' << flagB << ' ';
    }
  }
  // The tracks already saved stay when the new ones cannot be written whole.
  std::string ignored;
  staged.commit(ignored);
}

void loadTracks(DemoState& demo, const char* path) {
  std::ifstream file(path);
  demo.directing.cameraTracks = parseTracks(file);
}
