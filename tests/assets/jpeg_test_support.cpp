// Shared helpers of the JPEG tests (see jpeg_test_support.h).
#include "assets/jpeg_test_support.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "assets/jpeg_decoder.h"
#include "assets/jpeg_stream.h"

namespace jpegtest {

Image makePicture(int width, int height, int channels, int seed) {
  Image image{width, height, channels, {}};
  image.pixels.resize(static_cast<size_t>(width) * height * channels);
  uint32_t state = 12345u + static_cast<uint32_t>(seed) * 7919u;
  const double cx = width * 0.6, cy = height * 0.4, radius = 0.3 * std::min(width, height) + 2;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bool inside = std::hypot(x - cx, y - cy) < radius;
      for (int c = 0; c < channels; ++c) {
        state = state * 1103515245u + 12345u;
        double v = 128 + 90 * std::sin(0.07 * x * (c + 1) + 0.05 * y + seed) +
                   25 * std::cos(0.11 * y * (2 - c % 2));
        if (inside) v = 255 - v * 0.8;
        v += static_cast<int>((state >> 16) % 9) - 4;
        image.pixels[(static_cast<size_t>(y) * width + x) * channels + c] =
            static_cast<uint8_t>(std::clamp(static_cast<int>(v), 0, 255));
      }
    }
  }
  return image;
}

std::string makeTempDir() {
  std::string pattern = ::testing::TempDir() + "tessaly-jpeg-XXXXXX";
  const char* dir = mkdtemp(pattern.data());
  return dir ? dir : ::testing::TempDir();
}

std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void writeText(const std::string& path, const std::string& text) {
  writeFile(path, {text.begin(), text.end()});
}

void writePnm(const std::string& path, const Image& image) {
  std::ostringstream header;
  header << (image.channels == 1 ? "P5" : "P6") << "\n"
         << image.width << " " << image.height << "\n255\n";
  std::string text = header.str();
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.insert(bytes.end(), image.pixels.begin(), image.pixels.end());
  writeFile(path, bytes);
}

bool readPnm(const std::string& path, Image& image) {
  std::vector<uint8_t> bytes = readFile(path);
  std::string head(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 64));
  std::istringstream in(head);
  std::string magic;
  int maxValue = 0;
  in >> magic >> image.width >> image.height >> maxValue;
  if ((magic != "P5" && magic != "P6") || maxValue != 255 || !in) return false;
  image.channels = magic == "P5" ? 1 : 3;
  size_t offset = static_cast<size_t>(in.tellg()) + 1;
  size_t size = static_cast<size_t>(image.width) * image.height * image.channels;
  if (bytes.size() < offset + size) return false;
  image.pixels.assign(bytes.begin() + offset, bytes.begin() + offset + size);
  return true;
}

int run(const std::string& command) {
  int status = std::system(command.c_str());
  return status == -1 || !WIFEXITED(status) ? -1 : WEXITSTATUS(status);
}

Decoded decode(const std::vector<uint8_t>& bytes, bool useSimd) {
  Decoded result;
  jpeg_decoder_memory_stream stream(bytes.data(), bytes.size());
  JpegDecoder decoder(&stream, useSimd);
  if (decoder.errorCode() || decoder.begin() != 0) {
    result.error = decoder.errorCode();
    result.endedEarly = decoder.endedEarly();
    return result;
  }
  Image& image = result.image;
  image.width = decoder.width();
  image.height = decoder.height();
  const int bytesPerPixel = decoder.bytesPerPixel();
  image.channels = bytesPerPixel == 1 ? 1 : 3;
  image.pixels.assign(static_cast<size_t>(image.width) * image.height * image.channels, 0);
  for (int row = 0; row < image.height; ++row) {
    const uint8_t* line = nullptr;
    int length = 0;
    if (decoder.decode(&line, &length) != 0) {
      result.error = decoder.errorCode();
      result.endedEarly = decoder.endedEarly();
      return result;
    }
    if (length != image.width * bytesPerPixel) {
      result.error = 1;  // a wrong line length is reported as a failure of its own
      return result;
    }
    ++result.linesDelivered;
    uint8_t* out = image.pixels.data() + static_cast<size_t>(row) * image.width * image.channels;
    for (int x = 0; x < image.width; ++x)
      std::memcpy(out + x * image.channels, line + x * bytesPerPixel, image.channels);
  }
  result.endedEarly = decoder.endedEarly();
  return result;
}

Difference compare(const Image& a, const Image& b) {
  Difference d;
  size_t off = 0;
  for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
    int diff = std::abs(a.pixels[i] - b.pixels[i]);
    d.maxDifference = std::max(d.maxDifference, diff);
    off += diff != 0;
  }
  d.offFraction = a.pixels.empty() ? 0.0 : static_cast<double>(off) / a.pixels.size();
  return d;
}

long findMarker(const std::vector<uint8_t>& jpeg, int code, int nth) {
  size_t i = 2;  // after SOI
  while (i + 4 <= jpeg.size()) {
    if (jpeg[i] != 0xFF) {
      ++i;  // entropy-coded data: walk to the next marker
      continue;
    }
    int m = jpeg[i + 1];
    if (m == 0x00 || m == 0xFF) {
      ++i;
      continue;
    }
    if (m == code && nth-- == 0) return static_cast<long>(i);
    if (m == 0xD9) return -1;
    if ((m >= 0xD0 && m <= 0xD7) || m == 0x01) {
      i += 2;
      continue;
    }
    i += 2 + ((jpeg[i + 2] << 8) | jpeg[i + 3]);
  }
  return -1;
}

}  // namespace jpegtest
