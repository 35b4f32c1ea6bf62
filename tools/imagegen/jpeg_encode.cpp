// Baseline JPEG encoding through libjpeg into memory.
#include "tools/imagegen/jpeg_encode.h"

// jpeglib.h needs size_t and FILE declared before it.
// clang-format off
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
// clang-format on

namespace imagegen {

std::vector<uint8_t> encodeBaselineJpeg(const GreyImage& image, int quality) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);  // errors print and exit: the tool has no recovery
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  jpeg_mem_dest(&info, &buffer, &length);
  info.image_width = image.width;
  info.image_height = image.height;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  info.optimize_coding = FALSE;
  info.dct_method = JDCT_ISLOW;
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(image.width) * 3);
  while (info.next_scanline < info.image_height) {
    int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < image.width; ++x) {
      row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = image.at(x, y);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> bytes(buffer, buffer + length);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return bytes;
}

}  // namespace imagegen
