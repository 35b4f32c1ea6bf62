// Loudness of a stereo track as broadcast meters read it: K-weighted, gated
// loudness of the whole track or of a stretch of it (LUFS), the loudness
// range between its quiet and loud passages (LU) and the true peak between
// the samples (dBFS, four times oversampled).
#pragma once

#include <vector>

#include "dsp.h"

namespace synth {

// The K-weighted mean square of both channels added, per 100 ms step of the
// track (a last partial step is left out).
std::vector<double> kWeightedSteps(const StereoBuffer& track);

// Gated loudness in LUFS of the steps from `from` to `to` seconds: 400 ms
// blocks overlapping by 75 %, gated at -70 LUFS and then 10 LU below the
// mean of the blocks that passed. -200 when nothing passes the gates.
double gatedLoudness(const std::vector<double>& steps, double from, double to);

// Ungated loudness in LUFS of the steps from `from` to `to` seconds: the
// plain K-weighted mean, as a short-term meter shows a stretch of a few
// seconds. -200 for silence or an empty stretch.
double windowLoudness(const std::vector<double>& steps, double from, double to);

// Loudness range in LU: the spread between the 10th and the 95th percentile
// of the 3-second loudness taken every 100 ms, gated at -70 LUFS and then
// 20 LU below their mean.
double loudnessRange(const std::vector<double>& steps);

// The largest magnitude of either channel between and on the samples from
// `from` to `to` seconds (the whole track by default), in dBFS, from a
// four-times oversampled copy.
double truePeakDbfs(const StereoBuffer& track, double from = 0.0, double to = 1e9);

}  // namespace synth
