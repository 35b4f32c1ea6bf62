// Reading frames back from the window. A screenshot reads the frame just
// drawn at once; a capture reads its frames in the order they were drawn. Through two pixel-buffer
// objects used in turn, reading a frame only queues the copy; its pixels are fetched one frame
// later, so the driver finishes the copy while the next frame is being rendered instead of holding
// up the render thread. Without them (or where the driver lacks them) each
// frame is read at once into memory, as a screenshot is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class RenderResources;

// The frame just rendered (the window's back buffer, or the renderer's
// stand-in for it) as tightly packed RGB rows, top row first.
std::vector<uint8_t> readWindowPixels(const RenderResources& renderer, int width, int height);
// The bottom-left width x height pixels of the window's own back buffer,
// whatever stands in for it, as tightly packed RGB rows, top row first.
std::vector<uint8_t> readWindowBackBuffer(int width, int height);

class FrameReadback {
 public:
  // Call with the window's GL context current. pixelBuffers false reads each
  // frame synchronously, for comparison.
  FrameReadback(int width, int height, bool pixelBuffers);
  ~FrameReadback();
  FrameReadback(const FrameReadback&) = delete;
  FrameReadback& operator=(const FrameReadback&) = delete;

  // Starts reading the frame just rendered (the window's back buffer, or the
  // renderer's stand-in for it). At most two frames are held: take one out
  // first when frameWaiting() says so.
  void read(const RenderResources& renderer);
  // A frame is ready to be taken out without waiting for the one just read:
  // with pixel buffers the one before it, otherwise the one just read.
  bool frameWaiting() const;
  // Frames read and not yet taken out.
  int held() const { return held_; }
  // Copies the oldest frame held into rgb: width * height * 3 bytes, top row
  // first. False when the driver could not hand over the pixels.
  bool takeOldest(uint8_t* rgb);
  bool usesPixelBuffers() const { return pixelBuffers_; }
  size_t frameBytes() const { return frameBytes_; }

 private:
  int width_;
  int height_;
  size_t frameBytes_;
  bool pixelBuffers_;
  unsigned buffers_[2] = {0, 0};   // GL pixel-pack buffer names
  std::vector<uint8_t> bottomUp_;  // the frame read without pixel buffers
  int next_ = 0;                   // the slot the next read goes into
  int held_ = 0;
};
