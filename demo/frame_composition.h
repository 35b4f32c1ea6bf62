// The frame composition's arithmetic, apart from GL so it can be checked:
// the glow and beat of the current moment, the white flashes and the black
// layer (the dip into the finale and the closing fade).
#pragma once

#include "demo/frame_record.h"

struct BeatLevels {
  float glow;         // additive glow layer, once a second
  double beatOffset;  // added to the scenes' field of view
};

BeatLevels beatLevels(double t);
// White flash level at show time t: 1 at a section start, falling to 0.
float flashLevel(double t);
// Opacity of the black layer at show time t.
float blackLevel(double t);
// The spectrum as 512 grey RGB texels: byte = (int)(value * 255), low 8 bits.
void spectrumTexels(const float* spectrum, unsigned char* rgb);
