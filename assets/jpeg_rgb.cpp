// Decoder lines to packed RGB rows (see jpeg_rgb.h).
#include "assets/jpeg_rgb.h"

#include <algorithm>

#include "assets/jpeg_decoder.h"

bool decodeRgbRows(JpegDecoder& decoder, std::vector<uint8_t>& rgb) {
  const int width = decoder.width(), height = decoder.height();
  const int step = decoder.bytesPerPixel();
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  if (rgb.size() < rowBytes * height) return false;
  for (int row = 0; row < height; ++row) {
    const uint8_t* line = nullptr;
    int length = 0;
    if (decoder.decode(&line, &length) != 0 || length < width * step) return false;
    uint8_t* out = rgb.data() + rowBytes * row;
    for (int x = 0; x < width; ++x, out += 3, line += step) {
      out[0] = line[0];
      out[1] = line[step == 1 ? 0 : 1];
      out[2] = line[step == 1 ? 0 : 2];
    }
  }
  return true;
}

void flipRows(std::vector<uint8_t>& rgb, int width, int height) {
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(rgb.begin() + rowBytes * top, rgb.begin() + rowBytes * (top + 1),
                     rgb.begin() + rowBytes * bottom);
}
