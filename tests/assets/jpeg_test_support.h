// Helpers shared by the JPEG tests: generated pictures, PNM files, running
// the reference codec's command-line programs, decoding with our decoder, and
// locating markers in a JPEG file so that tests can damage it on purpose.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jpegtest {

struct Image {
  int width = 0;
  int height = 0;
  int channels = 0;  // 1 grey, 3 RGB
  std::vector<uint8_t> pixels;
};

// Smooth gradients, a hard-edged disc and a little noise, deterministic per seed.
Image makePicture(int width, int height, int channels, int seed);

std::string makeTempDir();
std::vector<uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
void writeText(const std::string& path, const std::string& text);
void writePnm(const std::string& path, const Image& image);
bool readPnm(const std::string& path, Image& image);
// Runs a shell command; returns its exit status (-1 if it could not run).
int run(const std::string& command);

struct Decoded {
  int error = 0;  // 0, or the decoder's error code
  int linesDelivered = 0;
  bool endedEarly = false;  // the decoder needed data past the end of the bytes
  Image image;              // RGB for colour files, grey for greyscale ones
};
Decoded decode(const std::vector<uint8_t>& bytes, bool useSimd = true);

struct Difference {
  int maxDifference = 0;
  double offFraction = 0.0;  // share of samples that differ at all
};
// Both images must have the same size and channel count.
Difference compare(const Image& a, const Image& b);

// Offset of the n-th marker FF code outside entropy-coded data, or -1.
long findMarker(const std::vector<uint8_t>& jpeg, int code, int nth = 0);

}  // namespace jpegtest
