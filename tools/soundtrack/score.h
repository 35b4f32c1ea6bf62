// The soundtrack's composition: F minor at 120 beats per minute (a beat every
// half second, a bar every two seconds), arranged to the show's timeline, and
// the short whoosh used as the sound effect. Rendering is deterministic: the
// same call gives the same samples on every run.
#pragma once

#include <vector>

#include "dsp.h"

namespace synth {

// Length of the soundtrack in seconds.
constexpr double kTrackSeconds = 205.0;

// Sample index of every kick in a track of `seconds` length: every whole
// second where the drums play.
std::vector<long> kickSamples(double seconds);

// Renders the soundtrack's first `seconds` (at most kTrackSeconds), mixed,
// limited below -1 dBFS and faded out at the end of the full length.
StereoBuffer renderSoundtrack(double seconds);

// Renders the sound effect: a three-second whoosh.
StereoBuffer renderSoundEffect();

}  // namespace synth
