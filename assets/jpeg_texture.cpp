// JPEG images as GL textures: the picture itself (loadJpegTexture) or the
// normal map derived from its red channel (loadJpegNormalMap). Both decode
// in-process, record the file for the asset list and end the program with a
// message box when the file cannot be opened or decoded.
//
// The decoder's vector transform uses SSE/AVX registers, which share no
// state with the x87 unit on x86-64, so no register state is cleared before
// decoding.
#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "assets/jpeg_decoder.h"
#include "assets/jpeg_error.h"
#include "assets/jpeg_rgb.h"
#include "assets/jpeg_stream.h"
#include "assets/normal_map.h"
#include "platform/platform.h"
#include "render/render_resources.h"
#include "runtime/demo_state.h"

namespace {

// A file cut short still shows what it holds; the console says so.
void reportEarlyEnd(const char* path, const JpegDecoder& decoder) {
  if (decoder.endedEarly())
    std::printf("%s: the file ended early, the image is incomplete\n", path);
}

// A missing or undecodable image ends the show as a failure (exit code 1).
// decoder is null when the file could not be opened.
[[noreturn]] void failImage(const char* title, const char* path, const JpegDecoder* decoder) {
  if (decoder) {
    const int code = decoder->errorCode();
    std::printf("%s: not a decodable JPEG image: %s (decoder error %d)\n", path,
                jpegErrorText(code), code);
    reportEarlyEnd(path, *decoder);
  } else {
    std::printf("%s: cannot open the image file\n", path);
  }
  platform::messageBox(title, path, platform::BoxIcon::Information);
  std::exit(1);
}

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // packed RGB, top row first
};

// Opens, records and decodes one image. openTitle is the caption shown when
// the file cannot be opened; decode errors always show "Jpg !".
RgbImage readJpeg(const char* path, TextureId slot, const char* openTitle) {
  jpeg_decoder_file_stream stream;
  if (!stream.open(path)) failImage(openTitle, path, nullptr);
  auto decoder = std::make_unique<JpegDecoder>(&stream, true);
  if (decoder->errorCode()) failImage("Jpg !", path, decoder.get());

  RgbImage image;
  image.width = decoder->width();
  image.height = decoder->height();
  demo.loadedImages.push_back({path, slot, image.width, image.height, 0});
  if (decoder->begin() != 0) failImage("Jpg !", path, decoder.get());

  image.pixels.assign(static_cast<size_t>(image.width) * image.height * 3, 0);
  if (!decodeRgbRows(*decoder, image.pixels))
    std::printf("%s: %s (decoder error %d); the rest of the image is black\n", path,
                jpegErrorText(decoder->errorCode()), decoder->errorCode());
  reportEarlyEnd(path, *decoder);
  return image;
}

// Uploads bottom-up RGB rows as level 0 of a new texture in textures[slot].
void upload(RenderResources& resources, TextureId slot, const RgbImage& image) {
  glGenTextures(1, &resources.textures[slot]);
  glBindTexture(GL_TEXTURE_2D, resources.textures[slot]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  // Rows are packed tightly (3 x width bytes), so the upload reads them with
  // byte alignment; the previous setting is restored afterwards.
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
               image.pixels.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

}  // namespace

void RenderResources::loadJpegTexture(const char* path, TextureId slot) {
  if (swapBuffers) swapBuffers(0.1);
  RgbImage image = readJpeg(path, slot, "Jpg");
  flipRows(image.pixels, image.width, image.height);
  upload(*this, slot, image);
}

void RenderResources::loadJpegNormalMap(const char* path, TextureId slot) {
  RgbImage image = readJpeg(path, slot, "Jpg !");
  image.pixels = sobelNormalMap(image.pixels.data(), image.width, image.height);
  flipRows(image.pixels, image.width, image.height);
  upload(*this, slot, image);
}
