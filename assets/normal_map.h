// Tangent-space normal map from a height image: the red channel is the
// height, the gradient is a Sobel operator whose neighbourhood wraps around
// the image edges, so a tileable height image gives a tileable normal map.
#pragma once

#include <cstdint>
#include <vector>

// rgb: width x height packed RGB pixels, top row first. Returns the normal
// map in the same layout: R and G carry the x and y slopes, B the upright part.
std::vector<uint8_t> sobelNormalMap(const uint8_t* rgb, int width, int height);
