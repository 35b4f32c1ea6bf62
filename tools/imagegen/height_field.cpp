// Tileable gradient noise and the soft blob.
#include "tools/imagegen/height_field.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace imagegen {
namespace {

uint32_t hash3(uint32_t x, uint32_t y, uint32_t z) {
  uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ z * 0xcb1ab31fu;
  h ^= h >> 16;
  h *= 0x7feb352du;
  h ^= h >> 15;
  h *= 0x846ca68bu;
  h ^= h >> 16;
  return h;
}

// Sixteen unit gradient directions, fixed so that no library call enters the values.
const double kGradients[16][2] = {
    {1.0, 0.0},  {0.923880, 0.382683},   {0.707107, 0.707107},   {0.382683, 0.923880},
    {0.0, 1.0},  {-0.382683, 0.923880},  {-0.707107, 0.707107},  {-0.923880, 0.382683},
    {-1.0, 0.0}, {-0.923880, -0.382683}, {-0.707107, -0.707107}, {-0.382683, -0.923880},
    {0.0, -1.0}, {0.382683, -0.923880},  {0.707107, -0.707107},  {0.923880, -0.382683}};

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// Gradient noise on a lattice of `cells` x `cells` cells that wraps around, at
// the point (u, v) measured in cells.
double periodicNoise(double u, double v, int cells, uint32_t layer) {
  int iu = static_cast<int>(u), iv = static_cast<int>(v);
  double fu = u - iu, fv = v - iv;
  auto corner = [&](int du, int dv) {
    uint32_t cx = static_cast<uint32_t>((iu + du) % cells);
    uint32_t cy = static_cast<uint32_t>((iv + dv) % cells);
    const double* g = kGradients[hash3(cx, cy, layer) & 15];
    return g[0] * (fu - du) + g[1] * (fv - dv);
  };
  double su = fade(fu), sv = fade(fv);
  double bottom = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * su;
  double top = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * su;
  return bottom + (top - bottom) * sv;
}

}  // namespace

GreyImage tileableNoise(int size, int octaves, double persistence, uint32_t seed) {
  assert(octaves >= 1 && size > 0 && size % (4 << (octaves - 1)) == 0 &&
         "size must divide into the finest lattice");
  std::vector<double> field(static_cast<size_t>(size) * size, 0.0);
  double amplitude = 1.0;
  for (int octave = 0; octave < octaves; ++octave) {
    int cells = 4 << octave;
    double cellsPerPixel = static_cast<double>(cells) / size;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        field[static_cast<size_t>(y) * size + x] +=
            amplitude * periodicNoise((x + 0.5) * cellsPerPixel, (y + 0.5) * cellsPerPixel, cells,
                                      seed * 64 + octave);
      }
    }
    amplitude *= persistence;
  }
  auto [low, high] = std::minmax_element(field.begin(), field.end());
  double scale = *high > *low ? 255.0 / (*high - *low) : 0.0;
  GreyImage image{size, size, std::vector<uint8_t>(field.size())};
  for (size_t i = 0; i < field.size(); ++i) {
    image.pixels[i] = static_cast<uint8_t>(std::lround((field[i] - *low) * scale));
  }
  return image;
}

GreyImage softBlob(int size) {
  GreyImage image{size, size, std::vector<uint8_t>(static_cast<size_t>(size) * size)};
  double centre = 0.5 * size, radius = 0.5 * size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double dx = (x + 0.5 - centre) / radius, dy = (y + 0.5 - centre) / radius;
      double fall = std::max(0.0, 1.0 - (dx * dx + dy * dy));
      image.pixels[static_cast<size_t>(y) * size + x] =
          static_cast<uint8_t>(std::lround(255.0 * fall * fall));
    }
  }
  return image;
}

}  // namespace imagegen
