// Pictures on disk for the whole-program tests: read and write 8-bit RGB PNG
// files, and render a moment of the show with the program's --screenshot.
#pragma once

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows top first, three bytes a pixel
};

// The picture in a PNG file, or an empty picture when it cannot be read.
inline Picture readPng(const std::string& path) {
  Picture picture;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return picture;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.rgb = std::move(pixels);
  return picture;
}

inline bool writePng(const std::string& path, const Picture& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path.c_str(), 0, picture.rgb.data(), 0, nullptr) != 0;
}

// What a run of the program left: its exit status (as std::system returns it)
// and what it wrote to its output and error streams, which a failing test shows.
struct ProgramRun {
  int status = -1;
  std::string output;
};

// Runs the program to render show time `time` (as written on its command line)
// at the given width into path, with further options if given.
inline ProgramRun renderScreenshot(const std::string& time, int width, const std::string& path,
                                   const std::string& options = "") {
  std::remove(path.c_str());
  const std::string outputPath = path + ".out";
  const std::string command = "SDL_AUDIODRIVER=dummy TESSALY_BATCH=1 \"" TESSALY_BINARY_DIR
                              "/tessaly\" " +
                              options + " --width " + std::to_string(width) + " --screenshot " +
                              time + " \"" + path + "\" > \"" + outputPath + "\" 2>&1";
  ProgramRun run;
  run.status = std::system(command.c_str());
  std::ifstream output(outputPath, std::ios::binary);
  run.output.assign(std::istreambuf_iterator<char>(output), {});
  std::remove(outputPath.c_str());
  return run;
}
