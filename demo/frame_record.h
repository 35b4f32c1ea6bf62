// The frame record: what the content draws one frame from. The frame driver
// makes one each frame and hands it to the content by const reference; the
// content reads it and writes nothing back.
#pragma once

constexpr int kSpectrumSize = 512;

struct FrameRecord {
  double time = 0.0;                   // the show time this frame shows, in seconds
  float spectrum[kSpectrumSize] = {};  // the music's spectrum at that time
  // The viewer's tuning values: Q raises adjustA and A lowers it, Up and
  // Down move adjustB (the final pass widens its blur and fringe with adjustA).
  double adjustA = 0.0;
  double adjustB = 0.0;
  // The camera value triple: 0 in the show; the scenes read it and the
  // middle-button capture prints it.
  double cameraX = 0.0, cameraY = 0.0, cameraZ = 0.0;
};
