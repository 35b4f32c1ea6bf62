// Decode speed of the JPEG decoder against the reference codec's own
// benchmark program (tjbench, integer transform, fast upsampling) on the same
// files in the same run. Prints Mpixel/s for both and their ratio.
//
// The test images (1024 x 1024 and 4096 x 4096, 4:2:0 and 4:4:4, quality 90)
// are generated and encoded with cjpeg into a temporary folder.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/jpeg_decoder.h"
#include "assets/jpeg_stream.h"

namespace {

void writePicture(const std::string& path, int size) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << size << " " << size << "\n255\n";
  std::vector<char> row(static_cast<size_t>(size) * 3);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // A photograph-like mix of smooth shading and fine detail.
      double u = static_cast<double>(x) / size, v = static_cast<double>(y) / size;
      double detail = 20 * std::sin(x * 0.9 + std::sin(y * 0.37) * 3) * std::cos(y * 0.23);
      row[x * 3 + 0] = static_cast<char>(std::clamp(120 + 100 * u + detail, 0.0, 255.0));
      row[x * 3 + 1] = static_cast<char>(std::clamp(60 + 150 * v - detail, 0.0, 255.0));
      row[x * 3 + 2] = static_cast<char>(std::clamp(200 - 120 * u * v + detail / 2, 0.0, 255.0));
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
}

// Best-of-five decode rate in Mpixel/s, each round at least 0.3 s long.
double ourRate(const std::vector<uint8_t>& file) {
  double best = 0.0;
  for (int round = 0; round < 5; ++round) {
    long pixels = 0;
    auto start = std::chrono::steady_clock::now();
    double seconds = 0.0;
    do {
      jpeg_decoder_memory_stream stream(file.data(), file.size());
      JpegDecoder decoder(&stream, true);
      if (decoder.begin() != 0) {
        std::fprintf(stderr, "decode failed: %d\n", decoder.errorCode());
        std::exit(1);
      }
      const uint8_t* line = nullptr;
      int length = 0;
      while (decoder.decode(&line, &length) == 0) {
      }
      pixels += static_cast<long>(decoder.width()) * decoder.height();
      seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    } while (seconds < 0.3);
    best = std::max(best, pixels / seconds / 1e6);
  }
  return best;
}

// The decompression rate tjbench reports (last column of its quiet table).
double referenceRate(const std::string& path) {
  std::string command =
      "tjbench '" + path + "' -quiet -fastupsample -nowrite -benchtime 1.5 -warmup 0.5 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return 0.0;
  char buffer[512];
  double rate = 0.0;
  while (std::fgets(buffer, sizeof buffer, pipe)) {
    std::string text(buffer);
    size_t end = text.find_last_not_of(" \t\r\n");
    if (end == std::string::npos) continue;
    size_t begin = text.find_last_of(" \t", end);
    double value = std::atof(text.substr(begin + 1, end - begin).c_str());
    if (value > 0.0) rate = value;
  }
  pclose(pipe);
  return rate;
}

}  // namespace

int main() {
  char pattern[] = "/tmp/tessaly-jpeg-bench-XXXXXX";
  std::string dir = mkdtemp(pattern) ? pattern : "/tmp";
  std::printf("%-22s %12s %14s %8s\n", "image", "ours Mpx/s", "tjbench Mpx/s", "ratio");
  for (int size : {1024, 4096}) {
    std::string picture = dir + "/picture.ppm";
    writePicture(picture, size);
    for (const char* sampling : {"2x2", "1x1"}) {
      std::string jpeg = dir + "/" + std::to_string(size) + "_" + sampling + ".jpg";
      std::string command = std::string("cjpeg -quality 90 -sample ") + sampling + " '" + picture +
                            "' > '" + jpeg + "'";
      if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "cjpeg failed\n");
        return 1;
      }
      std::ifstream in(jpeg, std::ios::binary);
      std::vector<uint8_t> file{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
      double ours = ourRate(file);
      double reference = referenceRate(jpeg);
      std::printf("%4d x %-4d %-4s %16.1f %14.1f %8.2f\n", size, size,
                  std::string(sampling) == "2x2" ? "420" : "444", ours, reference,
                  reference > 0 ? ours / reference : 0.0);
    }
  }
  std::system(("rm -rf '" + dir + "'").c_str());
  return 0;
}
