// The letterbox rectangle.
#include "app/letterbox.h"

#include <cmath>
#include <cstdint>

ScreenRect letterboxRect(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight) {
  if (windowWidth <= 0 || windowHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return {};
  // Compare the shapes in integers, so a window of exactly the picture's
  // shape is filled without a rounding seam.
  const int64_t wide = static_cast<int64_t>(windowWidth) * pictureHeight;
  const int64_t tall = static_cast<int64_t>(windowHeight) * pictureWidth;
  ScreenRect rect{0, 0, windowWidth, windowHeight};
  if (wide > tall) {
    rect.width = static_cast<int>(std::lround(static_cast<double>(tall) / pictureHeight));
    rect.x = (windowWidth - rect.width) / 2;
  } else if (tall > wide) {
    rect.height = static_cast<int>(std::lround(static_cast<double>(wide) / pictureWidth));
    rect.y = (windowHeight - rect.height) / 2;
  }
  return rect;
}
