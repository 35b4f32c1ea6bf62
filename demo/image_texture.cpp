// JPEG images as textures, with the console lines and the message box a
// missing or broken file gets.
#include "demo/image_texture.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "assets/jpeg_error.h"
#include "assets/jpeg_image.h"
#include "assets/jpeg_rgb.h"
#include "assets/normal_map.h"

namespace {

// A file cut short still shows what it holds; the console says so.
void reportEarlyEnd(const char* path, const DecodedJpeg& decoded) {
  if (decoded.endedEarly) std::printf("%s: the file ended early, the image is incomplete\n", path);
}

LoadFailure undecodable(const char* path, const DecodedJpeg& decoded) {
  std::printf("%s: not a decodable JPEG image: %s (decoder error %d)\n", path,
              jpegErrorText(decoded.errorCode), decoded.errorCode);
  reportEarlyEnd(path, decoded);
  return {"Jpg !", path};
}

}  // namespace

std::optional<LoadFailure> loadImageTexture(RenderResources& renderer, const char* path,
                                            TextureId slot, ImageUse use,
                                            std::vector<LoadedImage>& loaded) {
  if (use == ImageUse::Picture && renderer.swapBuffers) renderer.swapBuffers(0.1);
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::printf("%s: cannot open the image file\n", path);
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
  if (decoded.stage == JpegStage::Lines)
    std::printf("%s: %s (decoder error %d); the rest of the image is black\n", path,
                jpegErrorText(decoded.errorCode), decoded.errorCode);
  reportEarlyEnd(path, decoded);

  if (use == ImageUse::NormalMap)
    image.pixels = sobelNormalMap(image.pixels.data(), image.width, image.height);
  flipRows(image.pixels, image.width, image.height);
  renderer.createRgbTexture(slot, image.width, image.height, image.pixels.data());
  return std::nullopt;
}
