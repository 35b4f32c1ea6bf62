// 16-bit PCM WAV files for the soundtrack tool: writing the rendered mix
// (with triangular dither from a fixed seed, so the bytes repeat) and reading
// decoded tracks back for analysis.
#pragma once

#include <string>

#include "dsp.h"

namespace synth {

// Writes `audio` as 44.1 kHz stereo 16-bit PCM. On failure returns false and
// sets `error` to a message naming the file.
bool writeWav(const std::string& path, const StereoBuffer& audio, std::string& error);

// Reads a 16-bit PCM WAV (mono or stereo; mono is copied to both channels).
// `sampleRate` receives the file's rate. On failure returns false and sets
// `error` to a message naming the file and the problem.
bool readWav(const std::string& path, StereoBuffer& audio, int& sampleRate, std::string& error);

}  // namespace synth
