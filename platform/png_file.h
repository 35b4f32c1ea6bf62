// Writing RGB pictures as PNG files: through libpng on the desktop; in the
// browser the page receives the picture under the file's name.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Writes width x height tightly packed RGB rows (top row first). On failure
// returns false and sets error to what went wrong.
bool writePng(const std::string& path, const uint8_t* rgb, int width, int height,
              std::string& error);

}  // namespace platform
