// The part's JPEG images as GL textures: the file read whole, decoded
// (assets/jpeg_image.h), turned into a normal map when asked, flipped
// bottom row first and uploaded. A file that cannot be opened or decoded is
// reported on the console and returned as the failure that ends the show.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/load_failure.h"
#include "render/render_resources.h"

// One image loaded as a texture, kept for the asset list tool. kind 0 = image, 1 = mesh.
struct LoadedImage {
  std::string path;
  int32_t slot = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t kind = 0;
};

enum class ImageUse {
  Picture,    // the picture itself; the renderer's swap hook shows a frame first
  NormalMap,  // the normal map derived from its red channel
};

// Loads path into texture `slot`. Once the image's headers are read it is
// appended to `loaded`, even when decoding then fails. Every failure also
// says on standard error the file, its folder and the reason; an image that
// decodes only in part (cut short, damaged after its start) is used as far
// as it goes and adds its line to `problems` when given.
std::optional<LoadFailure> loadImageTexture(RenderResources& renderer, const char* path,
                                            TextureId slot, ImageUse use,
                                            std::vector<LoadedImage>& loaded,
                                            std::vector<std::string>* problems = nullptr);
