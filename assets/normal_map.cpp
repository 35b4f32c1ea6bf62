// The wrapped Sobel normal map (see normal_map.h).
#include "assets/normal_map.h"

#include <cmath>

std::vector<uint8_t> sobelNormalMap(const uint8_t* rgb, int width, int height) {
  std::vector<uint8_t> out(static_cast<size_t>(width) * height * 3);
  auto h = [&](int x, int y) {
    x = (x + width) % width;
    y = (y + height) % height;
    return rgb[(static_cast<size_t>(y) * width + x) * 3] / 255.0;
  };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // Sobel x-gradient and row-above-minus-row-below, both negated; y grows downwards.
      double a = -((h(x + 1, y - 1) + 2 * h(x + 1, y) + h(x + 1, y + 1)) -
                   (h(x - 1, y - 1) + 2 * h(x - 1, y) + h(x - 1, y + 1)));
      double b = -((h(x - 1, y - 1) + 2 * h(x, y - 1) + h(x + 1, y - 1)) -
                   (h(x - 1, y + 1) + 2 * h(x, y + 1) + h(x + 1, y + 1)));
      float s = 1.0f / std::sqrt(static_cast<float>(a * a + b * b + 1.0));
      uint8_t* texel = &out[(static_cast<size_t>(y) * width + x) * 3];
      texel[0] = static_cast<uint8_t>((a * s + 1) * 0.5 * 255);
      texel[1] = static_cast<uint8_t>((b * s + 1) * 0.5 * 255);
      texel[2] = static_cast<uint8_t>((s + 1) * 0.5 * 255);
    }
  }
  return out;
}
