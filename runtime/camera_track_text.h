// Reading the camera-track text ("state.txt") from any stream, apart from the
// file and the run-time state, so the format can be read on its own.
#pragma once

#include <istream>

#include "runtime/camera_tracks.h"

// The keys of the text: a key count, then per key its time, its channel count
// and a value and two 0/1 flags per channel, separated by any white space.
// At the first malformed token reading stops; the keys read so far stay, the
// one cut short with the fields it got.
CameraTrackStore parseTracks(std::istream& in);
