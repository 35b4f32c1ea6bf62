// Measurements of a rendered or decoded soundtrack: level, loudness, kick
// timing, bass energy, the break and the fade, the spectrum the show reads
// per frame, and a spectrogram picture of the whole track.
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "dsp.h"

namespace synth {

struct LevelReport {
  double peakDbfs;         // largest sample magnitude of either channel
  long clippedSamples;     // samples at or beyond full scale
  double dcLeft, dcRight;  // mean value of each channel
  double rmsDbfs;          // whole track, both channels
  double loudnessLufs;     // integrated, gated, K-weighted loudness
  double loudnessRangeLu;  // spread of the 3-second loudness, 10th to 95th percentile
  double truePeakDbfs;     // largest magnitude between and on the samples
};

// The loudness of one section of the arrangement.
struct SectionLoudness {
  const char* name;
  double from, to;     // seconds
  bool full;           // the whole band plays
  double lufs;         // gated loudness
  double rmsDbfs;      // both channels
  double bandDbfs[4];  // RMS below 150 Hz, 150-1000 Hz, 1-5 kHz, above 5 kHz
  double driveDbfs;    // RMS of 80-100 Hz, the bass the tunnel follows
  double truePeakDbfs;
};

// How much louder the music lands at a drop than it was just before it.
struct DropStep {
  double at;      // seconds
  double before;  // loudness of the 4 s before, LUFS, ungated
  double after;   // loudness of the 3 s from the drop on, LUFS, ungated
  double stepLu;  // after - before
};

LevelReport measureLevels(const StereoBuffer& track);

// Where the kick of the whole second `second` starts, in milliseconds from
// second * 44100, read from the lowBand envelope; false when no kick is heard
// there. The kick is the steepest rise of the low band within 50 ms of the
// second, counted when it climbs at least 0.1 of full scale in 2 ms.
bool kickOnset(const std::vector<float>& lowBand, int second, double& offsetMs);

// The envelope of the track's low band (below ~180 Hz, mono) that kickOnset reads.
std::vector<float> lowBand(const StereoBuffer& track);

// RMS level in dBFS of the band lowHz..highHz of the mono mix from `from`
// to `to` seconds, and of several bands at once.
double bandLevelDb(const StereoBuffer& track, double from, double to, double lowHz, double highHz);
std::vector<double> bandLevelsDb(const StereoBuffer& track, double from, double to,
                                 const std::vector<std::pair<double, double>>& bands);

// RMS level in dBFS of both channels from `from` to `to` seconds.
double rmsDb(const StereoBuffer& track, double from, double to);

// The show's spectrum at time t: 512 bands of the 1024 mono samples before t.
void spectrumAt(const StereoBuffer& track, double t, float* bands);

// The loudness of every section of the arrangement (sections past the end of
// a shorter track are measured up to its end).
std::vector<SectionLoudness> measureSections(const StereoBuffer& track);

// The loudness step at each of the arrangement's drops that the track holds
// whole (20, 36, 68, 100, 148, 164 and 180 s).
std::vector<DropStep> measureDrops(const StereoBuffer& track);

// Prints the track's loudness, range and peaks, a line per section and the
// loudness goals of the mix (among them a step of 3 LU at every drop and a
// range of 7 LU); returns whether every goal is met.
bool printLoudness(const StereoBuffer& track, const LevelReport& level, std::ostream& out);

// Prints every measurement as a readable report.
void printAnalysis(const StereoBuffer& track, std::ostream& out);

// Writes a spectrogram of the whole track as a PNG: time across, log
// frequency 30 Hz..16 kHz upwards, with ticks at the show's section turns.
bool writeSpectrogram(const StereoBuffer& track, const std::string& path, std::string& error);

}  // namespace synth
