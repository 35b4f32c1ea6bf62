// Camera tracks: a directing aid that records per-frame channel values, saves
// them to "state.txt", loads them at startup and jumps to preset times on the
// digit keys. Runs only with the camera-track developer switches.
//
// Channel i pairs the channel value of the part in slot i with
// frameInput.trackFlagsA[i] and trackFlagsB[i]. Only the four part slots can
// hold a part; a channel whose slot is empty records 0 and is never written
// back.
#pragma once

#include <vector>

struct DemoState;

constexpr int kCameraChannelCount = 9;

// One recorded state: a value and two flags per channel, at a demo time.
struct CameraKey {
  std::vector<bool> flagsA;
  std::vector<bool> flagsB;
  std::vector<double> values;
  double time = 0.0;
};

// Keys in recording (or file) order.
using CameraTrackStore = std::vector<CameraKey>;

// The store and the working key live in the show's state (cameraTracks,
// and workingKey: the key being recorded, or the key a jump restores).

// Appends a key of the nine channels at demoTime to the store.
void recordKey(DemoState& demo);
// Copies the key nearest to t into the working key (the earlier of two
// equally near keys); with an empty store the working key is left empty.
void nearestKey(DemoState& demo, double t);
// For every held digit 0..7: restores the key nearest to the digit's preset
// time into the channels and track flags and seeks the music there.
void jumpKeys(DemoState& demo);
// Writes the store as text; an unopenable file writes nothing.
void saveTracks(const DemoState& demo, const char* path);
// Replaces the store with the file's keys. A missing file gives an empty
// store; a malformed file keeps what was read before the fault.
void loadTracks(DemoState& demo, const char* path);
