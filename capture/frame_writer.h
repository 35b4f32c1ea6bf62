// Hands the capture's frames to ffmpeg from a thread of its own, so that the
// next frame renders while one is written down the pipe. A few frame buffers
// go round, in order: the render thread fills a free one and hands it over,
// the writer thread writes it and frees it. Rendering waits only when every
// buffer is still waiting to be written; nothing is allocated per frame.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class FfmpegPipe;

class FrameWriter {
 public:
  // Frames of frameBytes each go to pipe, which must outlive the writer.
  // ownThread false writes each frame on the caller's thread as it is handed
  // over, for comparison.
  FrameWriter(FfmpegPipe& pipe, size_t frameBytes, bool ownThread);
  ~FrameWriter();
  FrameWriter(const FrameWriter&) = delete;
  FrameWriter& operator=(const FrameWriter&) = delete;

  // The buffer to fill with the next frame, once one is free; nullptr once a
  // write has failed (ffmpeg no longer reads; its own finish says why).
  uint8_t* nextBuffer();
  // Hands over the buffer nextBuffer returned.
  void submit();
  // Writes every frame handed over (unless a write failed) and ends the
  // thread. Safe to repeat.
  void finish();
  // Frames written down the pipe so far, in order.
  int written() const;
  bool failed() const;

 private:
  void writeFrames();

  FfmpegPipe& pipe_;
  std::vector<std::vector<uint8_t>> buffers_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  size_t filling_ = 0;  // the buffer the render thread fills next
  size_t writing_ = 0;  // the buffer the writer thread writes next
  size_t waiting_ = 0;  // buffers handed over and not yet written
  int written_ = 0;
  bool failed_ = false;
  bool closing_ = false;
  std::thread thread_;
};
