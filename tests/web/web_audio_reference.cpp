// What the desktop's sound system reads from an MP3 at a few show times, as
// JSON on standard output, for the browser tests to hold the web version's
// decoding and spectrum against: for each time its sample offset, the next
// 32 stereo frames (left, right interleaved) and the 512-band spectrum the
// show reads there; and the loudness of the whole track, the mean of left and
// right in dB per 20 ms (882 frames, -100 for digital silence), for holding
// what the browser plays against it.
//
// usage: web_audio_reference FILE.mp3 SECONDS...
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/sound.h"
#include "platform/sound_decoder.h"

constexpr int kLoudnessFrames = 882;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: web_audio_reference FILE.mp3 SECONDS...\n");
    return 2;
  }
  platform::SoundSystem sound;
  platform::Sound* track = sound.openStream(argv[1]);
  if (!track) {
    std::fprintf(stderr, "web_audio_reference: %s cannot be decoded\n", argv[1]);
    return 1;
  }
  platform::waitDecoded(track);
  std::printf("{\"frames\": %lld, \"times\": [",
              static_cast<long long>(platform::soundLength(track)));
  for (int i = 2; i < argc; ++i) {
    const double seconds = std::atof(argv[i]);
    const int64_t frame = static_cast<int64_t>(seconds * platform::kMixRate);
    std::printf("%s\n {\"seconds\": %s, \"frame\": %lld, \"samples\": [", i > 2 ? "," : "", argv[i],
                static_cast<long long>(frame));
    for (int64_t n = 0; n < 64 && frame * 2 + n < platform::soundLength(track) * 2; ++n)
      std::printf("%s%.9g", n ? ", " : "", track->samples[frame * 2 + n]);
    std::printf("],\n  \"spectrum\": [");
    const float* bands = sound.spectrumAt(track, frame);
    for (int k = 0; k < platform::kSpectrumBands; ++k)
      std::printf("%s%.9g", k ? ", " : "", bands[k]);
    std::printf("]}");
  }
  std::printf("],\n \"loudnessFrames\": %d, \"loudness\": [", kLoudnessFrames);
  const int64_t windows = platform::soundLength(track) / kLoudnessFrames;
  for (int64_t w = 0; w < windows; ++w) {
    double squares = 0.0;
    for (int64_t f = w * kLoudnessFrames; f < (w + 1) * kLoudnessFrames; ++f) {
      const double mono = 0.5 * (track->samples[2 * f] + track->samples[2 * f + 1]);
      squares += mono * mono;
    }
    std::printf("%s%.2f", w ? ", " : "", 10.0 * std::log10(squares / kLoudnessFrames + 1e-10));
  }
  std::printf("]}\n");
  sound.close();
  return 0;
}
