// Writes the show's images into a folder: tessaly-imagegen OUTPUT_DIR
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/imagegen/jpeg_encode.h"
#include "tools/imagegen/show_images.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  for (const imagegen::NamedImage& named : imagegen::buildShowImages()) {
    const std::string path = folder + "/" + named.fileName;
    std::vector<uint8_t> bytes =
        imagegen::encodeBaselineJpeg(named.image, imagegen::kShowJpegQuality);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "%s: cannot write the image\n", path.c_str());
      return 1;
    }
    std::printf("%s: %d x %d, %zu bytes\n", path.c_str(), named.image.width, named.image.height,
                bytes.size());
  }
  return 0;
}
