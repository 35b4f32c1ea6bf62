// Turns the JPEG decoder's output lines into the packed RGB buffers the
// texture loaders upload: 3 bytes per pixel, rows of 3 x width bytes.
#pragma once

#include <cstdint>
#include <vector>

class JpegDecoder;

// Decodes every line of a decoder whose begin() succeeded into rgb
// (width x height x 3 bytes, top row first). Greyscale lines are expanded to
// R = G = B. Stops at the first line that fails and returns false; the rows
// not delivered keep their contents (black in a fresh buffer).
bool decodeRgbRows(JpegDecoder& decoder, std::vector<uint8_t>& rgb);

// Reverses the row order in place: the bottom row first, as glTexImage2D
// expects for an upright picture.
void flipRows(std::vector<uint8_t>& rgb, int width, int height);
