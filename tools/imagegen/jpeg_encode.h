// Baseline JPEG encoding of a grey image as a three-channel JFIF file.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/imagegen/height_field.h"

namespace imagegen {

// The bytes of a baseline (sequential Huffman) JPEG of `image`, written as
// RGB with R = G = B; the same image always gives the same bytes.
std::vector<uint8_t> encodeBaselineJpeg(const GreyImage& image, int quality);

}  // namespace imagegen
