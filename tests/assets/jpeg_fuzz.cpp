// libFuzzer target for the JPEG decoder: decodes arbitrary bytes through the
// whole call sequence. Small images are decoded with both transforms, which
// must agree sample for sample.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "assets/jpeg_decoder.h"
#include "assets/jpeg_stream.h"

namespace {

// Decodes everything; returns the concatenated lines (empty on failure).
std::vector<uint8_t> decodeAll(const uint8_t* data, size_t size, bool useSimd) {
  std::vector<uint8_t> pixels;
  jpeg_decoder_memory_stream stream(data, size);
  JpegDecoder decoder(&stream, useSimd);
  if (decoder.errorCode()) return pixels;
  // Whole-image buffers of huge frames only slow the search down.
  if (static_cast<long>(decoder.width()) * decoder.height() > (1 << 22)) return pixels;
  if (decoder.begin() != 0) return pixels;
  const uint8_t* line = nullptr;
  int length = 0;
  while (decoder.decode(&line, &length) == 0) pixels.insert(pixels.end(), line, line + length);
  return pixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> vector = decodeAll(data, size, true);
  if (!vector.empty() && vector.size() <= (1 << 16)) {
    std::vector<uint8_t> scalar = decodeAll(data, size, false);
    if (scalar.size() != vector.size() ||
        std::memcmp(scalar.data(), vector.data(), scalar.size()) != 0)
      std::abort();
  }
  return 0;
}
