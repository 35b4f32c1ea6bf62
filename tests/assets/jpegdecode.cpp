// jpegdecode IN OUT: decodes a JPEG file with the show's decoder and writes
// it as binary PGM (greyscale) or PPM (colour). On failure it prints the
// decoder's error code on stdout, says on stderr what the code means, and
// exits with status 1. A file cut short is written as decoded, with a
// warning on stderr.
#include <cstdio>
#include <vector>

#include "assets/jpeg_decoder.h"
#include "assets/jpeg_error.h"
#include "assets/jpeg_stream.h"

namespace {

void warnIfEndedEarly(const char* path, const JpegDecoder& decoder) {
  if (decoder.endedEarly())
    std::fprintf(stderr, "jpegdecode: %s: the file ended early, the image is incomplete\n", path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: jpegdecode IN.jpg OUT.pnm\n");
    return 2;
  }
  jpeg_decoder_file_stream stream;
  if (!stream.open(argv[1])) {
    std::fprintf(stderr, "jpegdecode: cannot open %s\n", argv[1]);
    return 1;
  }
  JpegDecoder decoder(&stream, true);
  if (decoder.errorCode() || decoder.begin() != 0) {
    std::printf("%d\n", decoder.errorCode());
    std::fprintf(stderr, "jpegdecode: %s: %s (error %d)\n", argv[1],
                 jpegErrorText(decoder.errorCode()), decoder.errorCode());
    warnIfEndedEarly(argv[1], decoder);
    return 1;
  }
  const int width = decoder.width(), height = decoder.height();
  const int channels = decoder.bytesPerPixel() == 1 ? 1 : 3;
  std::vector<unsigned char> image(static_cast<size_t>(width) * height * channels);
  for (int row = 0; row < height; ++row) {
    const uint8_t* line = nullptr;
    int length = 0;
    const int status = decoder.decode(&line, &length);
    if (status != 0) {
      std::printf("%d\n", status);
      std::fprintf(stderr, "jpegdecode: %s: %s (error %d) at line %d\n", argv[1],
                   jpegErrorText(status), status, row);
      warnIfEndedEarly(argv[1], decoder);
      return 1;
    }
    unsigned char* out = image.data() + static_cast<size_t>(row) * width * channels;
    for (int x = 0; x < width; ++x)
      for (int k = 0; k < channels; ++k)
        out[x * channels + k] = line[x * decoder.bytesPerPixel() + k];
  }
  warnIfEndedEarly(argv[1], decoder);
  std::FILE* file = std::fopen(argv[2], "wb");
  if (!file) {
    std::fprintf(stderr, "jpegdecode: cannot write %s\n", argv[2]);
    return 1;
  }
  std::fprintf(file, "P%d\n%d %d\n255\n", channels == 1 ? 5 : 6, width, height);
  bool written = std::fwrite(image.data(), 1, image.size(), file) == image.size();
  if (std::fclose(file) != 0 || !written) {
    std::fprintf(stderr, "jpegdecode: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
