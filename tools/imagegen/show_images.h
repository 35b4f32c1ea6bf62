// The two images of the show's data pack with their file names.
#pragma once

#include <string>
#include <vector>

#include "tools/imagegen/height_field.h"

namespace imagegen {

struct NamedImage {
  std::string fileName;  // e.g. "noise.jpg"
  GreyImage image;
};

// noise.jpg: 512 x 512 tileable height field with six octaves (the normal map
// is made from it); blob41b.jpg: 256 x 256 soft round spot.
std::vector<NamedImage> buildShowImages();

// Encoder quality used for the data pack.
constexpr int kShowJpegQuality = 92;

}  // namespace imagegen
