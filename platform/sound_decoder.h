// MP3 decoding for the sound system: a whole file decoded to stereo float
// frames at the mixing rate, in a buffer whose size is fixed when the file is
// opened so the mixer can read it while the decoder writes further on.
//
// Used by platform/sound.cpp only.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

struct mpg123_handle_struct;

namespace platform {

class Sound {
 public:
  ~Sound();

  // Interleaved left/right samples, 2 * capacity floats; only the decoded
  // frames are ever read, so the rest is left uninitialised.
  std::unique_ptr<float[]> samples;
  // Frames the buffer holds: the length the file announces, bounded by kMaxSoundFrames.
  int64_t capacity = 0;
  // Frames [0, decoded) are final. Published after the samples are written.
  std::atomic<int64_t> decoded{0};
  // Set once the decoder has stopped; decoded is then the sound's length.
  std::atomic<bool> finished{false};

  mpg123_handle_struct* handle = nullptr;
  std::atomic<bool> stopRequested{false};
  std::thread decoder;
};

// Ten minutes: a damaged length field cannot make the buffer huge.
constexpr int64_t kMaxSoundFrames = 10LL * 60 * 44100;

// Opens an MP3 and reads its length; null when the file cannot be opened or
// has no decodable audio frame. Nothing is decoded yet.
std::unique_ptr<Sound> openSound(const char* path, int rate);
// Decodes the whole sound on the calling thread.
void decodeNow(Sound& sound);
// Decodes the sound on a thread of its own; the Sound's destructor ends it.
void startDecoding(Sound& sound);

}  // namespace platform
