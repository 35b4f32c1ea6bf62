// A whole JPEG image decoded from bytes in memory into packed RGB pixels:
// the decoder, its line loop and its error state behind one pure call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // packed RGB, rows of 3 x width bytes, top row first
};

enum class JpegStage {
  Headers,  // the headers could not be read: nothing is known of the image
  Start,    // the headers were read (width and height hold), decoding could not start
  Lines,    // decoding began; a line failed and the rows after it stay black
  Done,     // every line decoded
};

struct DecodedJpeg {
  JpegStage stage = JpegStage::Headers;
  int errorCode = 0;        // the decoder's error code, 0 when Done
  bool endedEarly = false;  // the image needed bytes past the end of the data
  RgbImage image;           // pixels only from Lines on
};

DecodedJpeg decodeJpegImage(const uint8_t* bytes, size_t size);
