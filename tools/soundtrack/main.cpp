// soundtrack: renders the show's music and sound effect with our own
// synthesiser, and measures tracks the way the show will hear them.
//
//   soundtrack render OUT.wav [SECONDS]   the soundtrack (205 s unless SECONDS)
//   soundtrack sfx OUT.wav                the sound effect
//   soundtrack analyse FILE.wav [PNG]     levels, kicks, spectrum; spectrogram to PNG
//   soundtrack loudness FILE.wav          loudness, range, peaks and a line per section
#include <cstdlib>
#include <iostream>
#include <string>

#include "analysis.h"
#include "score.h"
#include "wav.h"

namespace {

int usage() {
  std::cerr << "usage: soundtrack render OUT.wav [SECONDS]\n"
               "       soundtrack sfx OUT.wav\n"
               "       soundtrack analyse FILE.wav [SPECTROGRAM.png]\n"
               "       soundtrack loudness FILE.wav\n";
  return 2;
}

int save(const std::string& path, const synth::StereoBuffer& audio) {
  std::string error;
  if (!synth::writeWav(path, audio, error)) {
    std::cerr << "soundtrack: " << error << "\n";
    return 1;
  }
  return 0;
}

// Reads a 44.1 kHz WAV for measuring; false after saying why.
bool load(const std::string& path, synth::StereoBuffer& track) {
  int rate = 0;
  std::string error;
  if (!synth::readWav(path, track, rate, error)) {
    std::cerr << "soundtrack: " << error << "\n";
    return false;
  }
  if (rate != synth::kSampleRate) {
    std::cerr << "soundtrack: " << path << ": sample rate " << rate << " Hz, expected 44100 Hz\n";
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  std::string mode = argv[1];
  std::string path = argv[2];
  if (mode == "render") {
    double seconds = argc > 3 ? std::atof(argv[3]) : synth::kTrackSeconds;
    if (seconds <= 0.0 || seconds > synth::kTrackSeconds) {
      std::cerr << "soundtrack: SECONDS must be in (0, " << synth::kTrackSeconds << "]\n";
      return 2;
    }
    return save(path, synth::renderSoundtrack(seconds));
  }
  if (mode == "sfx") return save(path, synth::renderSoundEffect());
  if (mode == "analyse" || mode == "loudness") {
    synth::StereoBuffer track;
    if (!load(path, track)) return 1;
    if (mode == "loudness") {
      synth::printLoudness(track, synth::measureLevels(track), std::cout);
      return 0;
    }
    std::cout << "Analysis of " << path << "\n";
    synth::printAnalysis(track, std::cout);
    std::string error;
    if (argc > 3 && !synth::writeSpectrogram(track, argv[3], error)) {
      std::cerr << "soundtrack: " << error << "\n";
      return 1;
    }
    return 0;
  }
  return usage();
}
