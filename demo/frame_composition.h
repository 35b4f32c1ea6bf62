// The frame composition's arithmetic, apart from GL so it can be checked:
// the glow and beat of the current moment, the white flashes and the black
// layer (the dip into the finale and the closing fade).
#pragma once

#include "demo/frame_input.h"

struct BeatLevels {
  float glow;         // additive glow layer, once a second
  double beatOffset;  // added to the scenes' field of view
};

// The part's clock after a frame: the previous reading plus the time step
// in the played show; in offline renders the frame's exact time, so long
// runs of frames never drift off the frame times.
double partClockAfter(double partTime, double timeStep, const FrameInput& input);
BeatLevels beatLevels(double t);
// White flash level at part time t: 1 at a section start, falling to 0.
float flashLevel(double t);
// Opacity of the black layer at part time t.
float blackLevel(double t);
// The spectrum as 512 grey RGB texels: byte = (int)(value * 255), low 8 bits.
void spectrumTexels(const float* spectrum, unsigned char* rgb);
