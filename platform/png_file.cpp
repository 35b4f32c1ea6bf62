// PNG output through libpng.
#include "platform/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/output_file.h"

namespace {

// libpng reports errors through a long jump; collect the message instead.
void onPngError(png_structp png, png_const_charp message) {
  auto* error = static_cast<std::string*>(png_get_error_ptr(png));
  *error = message;
  png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// libpng's own writer reports a failed write as "Write Error"; these give
// the system's reason instead.
struct PngOutput {
  FILE* file;
};

void writePngBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* output = static_cast<PngOutput*>(png_get_io_ptr(png));
  if (std::fwrite(data, 1, length, output->file) == length) return;
  png_error(png, std::strerror(errno));
}

void flushPngBytes(png_structp png) {
  auto* output = static_cast<PngOutput*>(png_get_io_ptr(png));
  if (std::fflush(output->file) != 0) png_error(png, std::strerror(errno));
}

// The picture through libpng into file; false after a libpng error, whose
// message onPngError keeps. Nothing here changes after setjmp, so nothing is
// lost to the long jump.
bool writeImage(png_structp png, png_infop info, FILE* file, int width, int height,
                png_bytep* rows) {
  PngOutput output{file};
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_set_write_fn(png, &output, writePngBytes, flushPngBytes);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

namespace platform {

bool writePng(const std::string& path, const uint8_t* rgb, int width, int height,
              std::string& error) {
  // Written beside the target and renamed onto it once whole.
  clearAbandonedStaging(path);
  const std::string staged = stagingPath(path);
  FILE* file = std::fopen(staged.c_str(), "wb");
  if (!file) {
    error = path + ": cannot create " + staged + ": " + std::strerror(errno);
    return false;
  }
  std::string pngError;
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &pngError, onPngError, onPngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    rows[y] = const_cast<png_bytep>(rgb + static_cast<size_t>(y) * width * 3);
  bool ok = png && info && writeImage(png, info, file, width, height, rows.data());
  png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    pngError = std::strerror(errno);
  }
  if (!ok) {
    error = path + ": " + (pngError.empty() ? "cannot write PNG" : pngError);
    std::remove(staged.c_str());
    return false;
  }
  return moveIntoPlace(staged, path, error);
}

}  // namespace platform
