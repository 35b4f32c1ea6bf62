// The data pack's images and their fixed parameters.
#include "tools/imagegen/show_images.h"

namespace imagegen {

std::vector<NamedImage> buildShowImages() {
  return {{"noise.jpg", tileableNoise(512, 6, 0.55, 3)}, {"blob41b.jpg", softBlob(256)}};
}

}  // namespace imagegen
