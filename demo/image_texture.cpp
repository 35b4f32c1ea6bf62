// JPEG images as textures, with the console lines and the message box a
// missing or broken file gets.
#include "demo/image_texture.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "assets/jpeg_error.h"
#include "assets/jpeg_image.h"
#include "assets/jpeg_rgb.h"
#include "assets/normal_map.h"
#include "core/data_file.h"

namespace {

// The detail line on standard error, and the list of problems when given.
void reportProblem(const std::string& problem, std::vector<std::string>* problems) {
  std::fprintf(stderr, "%s\n", problem.c_str());
  if (problems) problems->push_back(problem);
}

// A file cut short still shows what it holds; the console says so.
void reportEarlyEnd(const char* path, const DecodedJpeg& decoded) {
  if (decoded.endedEarly) std::printf("%s: the file ended early, the image is incomplete\n", path);
}

LoadFailure undecodable(const char* path, const DecodedJpeg& decoded) {
  std::printf("%s: not a decodable JPEG image: %s (decoder error %d)\n", path,
              jpegErrorText(decoded.errorCode), decoded.errorCode);
  reportEarlyEnd(path, decoded);
  reportProblem(dataFileProblem(path, std::string("not a decodable JPEG image: ") +
                                          jpegErrorText(decoded.errorCode)),
                nullptr);
  return {"Jpg !", path};
}

}  // namespace

std::optional<LoadFailure> loadImageTexture(RenderResources& renderer, const char* path,
                                            TextureId slot, ImageUse use,
                                            std::vector<LoadedImage>& loaded,
                                            std::vector<std::string>* problems) {
  if (use == ImageUse::Picture && renderer.swapBuffers) renderer.swapBuffers(0.1);
  // Only a regular file is opened: a FIFO would block, a device never end.
  std::string why;
  std::ifstream file;
  if (isRegularDataFile(path, why)) {
    file.open(path, std::ios::binary);
    if (!file) why = std::strerror(errno);
  }
  if (!file.is_open()) {
    std::printf("%s: cannot open the image file\n", path);
    reportProblem(dataFileProblem(path, "cannot open the image file: " + why), nullptr);
    // The normal map's every failure is captioned "Jpg !", the picture's open failure "Jpg".
    return LoadFailure{use == ImageUse::Picture ? "Jpg" : "Jpg !", path};
  }
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                   std::istreambuf_iterator<char>()};
  DecodedJpeg decoded = decodeJpegImage(bytes.data(), bytes.size());
  if (decoded.stage == JpegStage::Headers) return undecodable(path, decoded);
  RgbImage& image = decoded.image;
  loaded.push_back({path, slot, image.width, image.height, 0});
  if (decoded.stage == JpegStage::Start) return undecodable(path, decoded);
  if (decoded.stage == JpegStage::Lines) {
    std::printf("%s: %s (decoder error %d); the rest of the image is black\n", path,
                jpegErrorText(decoded.errorCode), decoded.errorCode);
    reportProblem(dataFileProblem(path, std::string("only part of the image decodes: ") +
                                            jpegErrorText(decoded.errorCode)),
                  problems);
  } else if (decoded.endedEarly) {
    reportProblem(dataFileProblem(path, "the file ended early, the image is incomplete"), problems);
  }
  reportEarlyEnd(path, decoded);

  if (use == ImageUse::NormalMap)
    image.pixels = sobelNormalMap(image.pixels.data(), image.width, image.height);
  flipRows(image.pixels, image.width, image.height);
  renderer.createRgbTexture(slot, image.width, image.height, image.pixels.data());
  return std::nullopt;
}
