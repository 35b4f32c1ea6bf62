// MP3 decoding through libmpg123 into a fixed buffer of stereo float frames.
#include "platform/sound_decoder.h"

#include <mpg123.h>

#include <algorithm>

namespace platform {

Sound::~Sound() {
  stopRequested = true;
  if (decoder.joinable()) decoder.join();
  mpg123_delete(handle);
}

std::unique_ptr<Sound> openSound(const char* path, int rate) {
  static const int libraryReady = mpg123_init();
  if (libraryReady != MPG123_OK) return nullptr;

  auto sound = std::make_unique<Sound>();
  sound->handle = mpg123_new(nullptr, nullptr);
  mpg123_handle* handle = sound->handle;
  if (!handle) return nullptr;
  // Damaged frames are skipped; the library would otherwise report each on stderr.
  mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  // One output format whatever the file holds: the library resamples and the
  // decoder widens mono to stereo.
  mpg123_format_none(handle);
  if (mpg123_format(handle, rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32) != MPG123_OK)
    return nullptr;
  if (mpg123_open(handle, path) != MPG123_OK) return nullptr;

  // The scan counts every frame, so the length is exact even where a header lies.
  mpg123_scan(handle);
  long fileRate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_getformat(handle, &fileRate, &channels, &encoding) != MPG123_OK) return nullptr;
  const off_t length = mpg123_length(handle);
  if (length <= 0) return nullptr;

  sound->capacity = std::min<int64_t>(length, kMaxSoundFrames);
  sound->samples.reset(new float[static_cast<size_t>(sound->capacity) * 2]);
  return sound;
}

void decodeNow(Sound& sound) {
  mpg123_handle* handle = sound.handle;
  long rate = 0;
  int channels = 2, encoding = 0;
  mpg123_getformat(handle, &rate, &channels, &encoding);

  constexpr size_t kChunkFloats = 8192;
  float chunk[kChunkFloats];
  int64_t written = 0;
  // A read that makes no progress again and again means the stream is stuck.
  int idleReads = 0;
  while (!sound.stopRequested && written < sound.capacity && idleReads < 64) {
    size_t bytes = 0;
    const int result = mpg123_read(handle, chunk, sizeof chunk, &bytes);
    if (result == MPG123_NEW_FORMAT) {
      mpg123_getformat(handle, &rate, &channels, &encoding);
      continue;
    }
    const int64_t frames =
        std::min<int64_t>(bytes / sizeof(float) / std::max(channels, 1), sound.capacity - written);
    float* out = sound.samples.get() + written * 2;
    for (int64_t i = 0; i < frames; ++i) {
      out[2 * i] = chunk[i * channels];
      out[2 * i + 1] = chunk[i * channels + (channels > 1 ? 1 : 0)];
    }
    written += frames;
    sound.decoded.store(written, std::memory_order_release);
    idleReads = frames > 0 ? 0 : idleReads + 1;
    if (result != MPG123_OK) break;  // the end, or an error the library cannot skip
  }
  sound.finished.store(true, std::memory_order_release);
}

void startDecoding(Sound& sound) {
  sound.decoder = std::thread([&sound] { decodeNow(sound); });
}

}  // namespace platform
