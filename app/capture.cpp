// The capture's frame loop: the offline clock, one frame per step of show
// time, read back and piped to ffmpeg, with the music's section as the sound.
// Frame n is read back while frame n + 1 renders, and written to ffmpeg while
// frame n + 2 renders.
#include "app/capture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/capture_ranges.h"
#include "app/ffmpeg_pipe.h"
#include "app/frame_writer.h"
#include "app/offline_render.h"
#include "app/progress_bar.h"
#include "platform/platform.h"
#include "platform/sound.h"
#include "render/frame_readback.h"
#include "runtime/demo_state.h"
#include "runtime/music.h"

namespace {

// The old way, one step after the other, asked for in the environment.
bool synchronousCapture() {
  const char* value = std::getenv("TESSALY_CAPTURE_SYNC");
  return value && *value && std::string(value) != "0";
}

// Takes the oldest frame read back out to the writer. False when the frame
// cannot be handed over: ffmpeg stopped reading, or the driver failed.
bool handOver(FrameReadback& readback, FrameWriter& writer) {
  uint8_t* buffer = writer.nextBuffer();
  if (!buffer || !readback.takeOldest(buffer)) return false;
  writer.submit();
  return true;
}

// Window-system messages still arrive while frames render: closing the
// window or pressing Escape stops the capture. Nothing else reaches the
// frame driver, so input cannot change the picture.
bool stopRequested() {
  platform::WindowMessage message;
  bool stop = false;
  while (platform::peekMessage(message)) {
    if (message.type == platform::MessageType::Close ||
        message.type == platform::MessageType::Quit ||
        (message.type == platform::MessageType::KeyDown && message.key == platform::vk::Escape))
      stop = true;
  }
  return stop;
}

// Tests compare decoded frames with rendered ones, asked for in the environment.
bool losslessCapture() {
  const char* value = std::getenv("TESSALY_CAPTURE_LOSSLESS");
  return value && *value && std::string(value) != "0";
}

}  // namespace

int captureFrameCount(double start, double stop, int fps) {
  if (fps <= 0 || !(stop > start)) return 0;
  // A range of a whole number of frames gives exactly that many, despite rounding.
  return static_cast<int>(std::ceil((stop - start) * fps - 1e-6));
}

double captureFrameTime(double start, int fps, int n) {
  return std::max(start + static_cast<double>(n) / fps, 0.0);
}

bool captureToolAvailable() {
  if (!findOnPath("ffmpeg").empty()) return true;
  std::fprintf(stderr,
               "tessaly: cannot capture: the ffmpeg command was not found on PATH.\n"
               "Install it (Debian: apt-get install ffmpeg) and try again.\n");
  return false;
}

int runCapture(DemoState& demo, const CaptureRequest& request) {
  const int allFrames = captureFrameCount(request.start, request.stop, request.fps);
  // A range renders its share of the frames as video alone: the process
  // that joins the ranges adds the soundtrack once, over the whole.
  const bool ranged = request.rangeCount > 0;
  const FrameRange range = ranged ? frameRange(allFrames, request.rangeIndex, request.rangeCount)
                                  : FrameRange{0, allFrames};
  const int frames = range.count;
  const int width = demo.options.renderWidth;
  const int height = demo.options.renderHeight;
  VideoSettings video;
  video.path = request.path;
  video.width = width;
  video.height = height;
  video.fps = request.fps;
  video.lossless = losslessCapture();
  if (!request.preset.empty()) video.preset = request.preset;
  if (demo.music.enabled && !ranged) {
    video.audioPath = std::filesystem::absolute(musicFileName()).string();
    video.audioStartSample = musicSampleOffset(request.start);
    video.audioSamples =
        std::llround(static_cast<double>(frames) * platform::kMixRate / request.fps);
    video.audioRate = platform::kMixRate;
  }

  FfmpegPipe pipe;
  std::string error;
  if (!pipe.start(video, error)) {
    std::fprintf(stderr, "tessaly: cannot capture to %s: %s\n", request.path.c_str(),
                 error.c_str());
    return 1;
  }
  const bool synchronous = synchronousCapture();
  FrameReadback readback(width, height, !synchronous);
  FrameWriter writer(pipe, readback.frameBytes(), !synchronous);

  if (ranged) {
    std::printf("%s\n", rangeVersionLine(TESSALY_VERSION).c_str());
    std::fflush(stdout);
    std::fprintf(stderr,
                 "tessaly: capturing range %d of %d, frames %d to %d of %d (%.3f s to %.3f s)\n",
                 request.rangeIndex, request.rangeCount, range.first, range.first + frames - 1,
                 allFrames, captureFrameTime(request.start, request.fps, range.first),
                 captureFrameTime(request.start, request.fps, range.first + frames));
  }
  std::fprintf(
      stderr,
      "tessaly: capturing %.3f s to %.3f s of the show, %d x %d at %d fps (%d frames, x264 "
      "preset %s) to %s\n",
      request.start, request.stop, width, height, request.fps, frames, video.preset.c_str(),
      request.path.c_str());
  OfflineClock clock = beginOfflineClock(demo);
  // The music keeps running on the sound system while frames render far from
  // real time: silence it; the video's sound comes from the file.
  if (demo.music.enabled) setMusicVolume(demo.music, 0);
  // The two frames before the first are rendered and left out, so that the
  // first has the same frame delta as every other, and whatever a frame
  // takes from the one before (the multisample buffers, the beat, the
  // tunnel's camera request) is what it is in a capture from the start.
  for (int warmUp : {range.first - 2, range.first - 1})
    runOfflineFrame(demo, clock, captureFrameTime(request.start, request.fps, warmUp));

  // The bar counts frames written to ffmpeg; a range reports them on
  // standard output for the process that started it to add up.
  std::optional<ProgressBar> bar;
  if (!ranged) bar.emplace(frames);
  int reported = -1;
  const auto report = [&](int done) {
    if (bar) {
      bar->update(done);
    } else if (done != reported) {
      reported = done;
      std::printf("%s\n", rangeProgressLine(done, frames).c_str());
      std::fflush(stdout);
    }
  };
  report(0);
  bool stopped = false;
  bool handOverFailed = false;
  FrameResult end;
  for (int n = 0; n < frames && !handOverFailed; ++n) {
    if (stopRequested()) {
      stopped = true;
      break;
    }
    end =
        runOfflineFrame(demo, clock, captureFrameTime(request.start, request.fps, range.first + n));
    if (end.end != ShowEnd::None) break;
    readback.read(demo.renderer);
    if (readback.frameWaiting()) handOverFailed = !handOver(readback, writer);
    report(writer.written());
  }
  // The frames still held were rendered: they go into the video too, whether
  // the capture ran to its end or was stopped.
  while (!handOverFailed && readback.held() > 0) handOverFailed = !handOver(readback, writer);
  writer.finish();
  const int framesWritten = writer.written();
  const bool writeFailed = handOverFailed || writer.failed();

  const bool finished = pipe.finish(error);
  if (end.end != ShowEnd::None) {
    // The frame that ended the show is not part of the video.
    std::fprintf(
        stderr,
        "\ntessaly: the show ended during the capture (%s); the video holds %d frames%s%s\n",
        end.reason, framesWritten, finished ? "" : "\ntessaly: ", finished ? "" : error.c_str());
    return end.exitCode;
  }
  if (!finished || writeFailed) {
    if (error.empty())
      error = writer.failed() ? "ffmpeg stopped reading frames"
                              : "the GL driver did not hand over a frame's pixels";
    std::fprintf(stderr, "\ntessaly: the capture to %s failed after %d of %d frames: %s\n",
                 request.path.c_str(), framesWritten, frames, error.c_str());
    return 1;
  }
  if (stopped) {
    std::fprintf(stderr, "\ntessaly: capture stopped after %d of %d frames; %s holds them\n",
                 framesWritten, frames, request.path.c_str());
    return 1;
  }
  report(framesWritten);
  std::fprintf(stderr, "tessaly: wrote %s (%d frames, %.3f s)\n", request.path.c_str(), frames,
               static_cast<double>(frames) / request.fps);
  return 0;
}
