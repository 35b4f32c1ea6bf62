// Decoding a whole JPEG image from memory.
//
// The decoder's vector transform uses SSE/AVX registers, which share no
// state with the x87 unit on x86-64, so no register state is cleared before
// decoding.
#include "assets/jpeg_image.h"

#include <memory>

#include "assets/jpeg_decoder.h"
#include "assets/jpeg_rgb.h"
#include "assets/jpeg_stream.h"

DecodedJpeg decodeJpegImage(const uint8_t* bytes, size_t size) {
  DecodedJpeg result;
  jpeg_decoder_memory_stream stream(bytes, size);
  auto decoder = std::make_unique<JpegDecoder>(&stream, true);
  auto stop = [&](JpegStage stage) {
    result.stage = stage;
    result.errorCode = decoder->errorCode();
    result.endedEarly = decoder->endedEarly();
    return result;
  };
  if (decoder->errorCode()) return stop(JpegStage::Headers);
  result.image.width = decoder->width();
  result.image.height = decoder->height();
  if (decoder->begin() != 0) return stop(JpegStage::Start);
  result.image.pixels.assign(static_cast<size_t>(result.image.width) * result.image.height * 3, 0);
  if (!decodeRgbRows(*decoder, result.image.pixels)) return stop(JpegStage::Lines);
  return stop(JpegStage::Done);
}
