// Frame readback through pixel-pack buffers, or straight into memory.
#include "app/frame_readback.h"

#include <GL/glew.h>

#include <cassert>
#include <cstring>

#include "render/render_resources.h"

namespace {

constexpr int kSlots = 2;

// GL keeps its rows bottom first; the video wants the top row first. The
// flip costs nothing extra: every row is copied out once either way.
void copyFlipped(const uint8_t* bottomUp, uint8_t* topDown, int width, int height) {
  const size_t row = static_cast<size_t>(width) * 3;
  for (int y = 0; y < height; ++y)
    std::memcpy(topDown + static_cast<size_t>(y) * row,
                bottomUp + static_cast<size_t>(height - 1 - y) * row, row);
}

}  // namespace

FrameReadback::FrameReadback(int width, int height, bool pixelBuffers)
    : width_(width),
      height_(height),
      frameBytes_(static_cast<size_t>(width) * height * 3),
      pixelBuffers_(pixelBuffers && (GLEW_VERSION_2_1 || GLEW_ARB_pixel_buffer_object)) {
  if (!pixelBuffers_) {
    bottomUp_.resize(frameBytes_);
    return;
  }
  glGenBuffers(kSlots, buffers_);
  for (unsigned buffer : buffers_) {
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
    glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(frameBytes_), nullptr,
                 GL_STREAM_READ);
  }
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

FrameReadback::~FrameReadback() {
  if (pixelBuffers_) glDeleteBuffers(kSlots, buffers_);
}

void FrameReadback::read(const RenderResources& renderer) {
  assert(held_ < (pixelBuffers_ ? kSlots : 1) && "take a frame out before reading another");
  renderer.bindScreen();
  glReadBuffer(renderer.screenColorBuffer());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (pixelBuffers_) {
    // With a pack buffer bound the call only queues the copy into it. The
    // buffer is unbound again at once, so no other read in the frame lands in it.
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[next_]);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    next_ = (next_ + 1) % kSlots;
  } else {
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp_.data());
  }
  ++held_;
}

bool FrameReadback::frameWaiting() const { return held_ > (pixelBuffers_ ? 1 : 0); }

bool FrameReadback::takeOldest(uint8_t* rgb) {
  assert(held_ > 0 && "no frame has been read");
  --held_;
  if (!pixelBuffers_) {
    copyFlipped(bottomUp_.data(), rgb, width_, height_);
    return true;
  }
  const int oldest = (next_ - 1 - held_ + 2 * kSlots) % kSlots;
  glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[oldest]);
  // Mapping waits for the copy, which the driver did while the frame after
  // this one rendered.
  const void* pixels = glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY);
  if (pixels) {
    copyFlipped(static_cast<const uint8_t*>(pixels), rgb, width_, height_);
    glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
  }
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  return pixels != nullptr;
}
