// The writer thread and its ring of frame buffers.
#include "capture/frame_writer.h"

#include <cassert>

#include "capture/ffmpeg_pipe.h"

namespace {

// One being filled, one being written and one waiting between them, so that
// a moment's stall in ffmpeg's reading does not hold up rendering at once.
constexpr size_t kBuffers = 3;

}  // namespace

FrameWriter::FrameWriter(FfmpegPipe& pipe, size_t frameBytes, bool ownThread)
    : pipe_(pipe), buffers_(ownThread ? kBuffers : 1, std::vector<uint8_t>(frameBytes)) {
  if (ownThread) thread_ = std::thread(&FrameWriter::writeFrames, this);
}

FrameWriter::~FrameWriter() { finish(); }

uint8_t* FrameWriter::nextBuffer() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return failed_ || waiting_ < buffers_.size(); });
  return failed_ ? nullptr : buffers_[filling_].data();
}

void FrameWriter::submit() {
  if (!thread_.joinable()) {
    // No thread: write here, as the frame is handed over.
    const std::vector<uint8_t>& frame = buffers_[filling_];
    const bool ok = pipe_.writeFrame(frame.data(), frame.size());
    std::lock_guard<std::mutex> lock(mutex_);
    if (ok)
      ++written_;
    else
      failed_ = true;
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    assert(waiting_ < buffers_.size() && "submit follows nextBuffer");
    filling_ = (filling_ + 1) % buffers_.size();
    ++waiting_;
  }
  changed_.notify_all();
}

void FrameWriter::writeFrames() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return closing_ || waiting_ > 0; });
    if (waiting_ == 0 || failed_) return;  // closing, and everything is written
    const std::vector<uint8_t>& frame = buffers_[writing_];
    // The render thread does not touch a buffer handed over until it is
    // freed below, so the write goes on without the lock.
    lock.unlock();
    const bool ok = pipe_.writeFrame(frame.data(), frame.size());
    lock.lock();
    if (ok) {
      ++written_;
      writing_ = (writing_ + 1) % buffers_.size();
      --waiting_;
    } else {
      // The frames still waiting cannot be written either.
      failed_ = true;
    }
    changed_.notify_all();
  }
}

void FrameWriter::finish() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

int FrameWriter::written() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return written_;
}

bool FrameWriter::failed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return failed_;
}
