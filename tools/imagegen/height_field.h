// The two pictures of the show's data pack as grey images, computed with
// integer hashing and plain arithmetic so that every run gives the same values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imagegen {

// A grey image, one byte per pixel, rows top to bottom.
struct GreyImage {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
  uint8_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A seamlessly tiling height field of size x size pixels: gradient noise at
// `octaves` scales, the coarsest with four cells across the image, each finer
// one with twice as many cells and `persistence` times the amplitude. Stretched
// to the full 0..255 range. size must be a multiple of 4 << (octaves - 1).
GreyImage tileableNoise(int size, int octaves, double persistence, uint32_t seed);

// A soft round spot: 255 in the centre falling smoothly to 0 at the inscribed
// circle and beyond.
GreyImage softBlob(int size);

}  // namespace imagegen
