// Frame readback through pixel-pack buffers, or straight into memory.
#include "render/frame_readback.h"

#include <cassert>
#include <cstring>

#include "render/gl.h"
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

// Binds the framebuffer a frame is read from, with its colour buffer.
void bindForReading(const RenderResources& renderer) {
  renderer.bindScreen();
  glReadBuffer(renderer.screenFramebuffer.value ? GL_COLOR_ATTACHMENT0 : GL_BACK);
}

// Read as RGBA, the one format every GL and GL ES context reads back, and
// packed to RGB rows top first.
std::vector<uint8_t> readBoundPixels(int width, int height) {
  const size_t pixels = static_cast<size_t>(width) * height;
  std::vector<uint8_t> rgba(pixels * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  std::vector<uint8_t> bottomUp(pixels * 3);
  for (size_t i = 0; i < pixels; ++i) std::memcpy(&bottomUp[i * 3], &rgba[i * 4], 3);
  std::vector<uint8_t> topDown(bottomUp.size());
  copyFlipped(bottomUp.data(), topDown.data(), width, height);
  return topDown;
}

}  // namespace

std::vector<uint8_t> readWindowPixels(const RenderResources& renderer, int width, int height) {
  bindForReading(renderer);
  return readBoundPixels(width, height);
}

std::vector<uint8_t> readWindowBackBuffer(int width, int height) {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glReadBuffer(GL_BACK);
  return readBoundPixels(width, height);
}

FrameReadback::FrameReadback(int width, int height, bool pixelBuffers)
    : width_(width),
      height_(height),
      frameBytes_(static_cast<size_t>(width) * height * 3),
      pixelBuffers_(pixelBuffers) {
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
  bindForReading(renderer);
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
  const void* pixels = glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0,
                                        static_cast<GLsizeiptr>(frameBytes_), GL_MAP_READ_BIT);
  if (pixels) {
    copyFlipped(static_cast<const uint8_t*>(pixels), rgb, width_, height_);
    glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
  }
  glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
  return pixels != nullptr;
}
