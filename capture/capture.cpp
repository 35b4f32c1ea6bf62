// The capture's frame loop: the offline clock, one frame per step of show
// time, read back and piped to ffmpeg, with the music's section as the sound.
// Frame n is read back while frame n + 1 renders, and written to ffmpeg while
// frame n + 2 renders.
#include "capture/capture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "capture/capture_ranges.h"
#include "capture/ffmpeg_pipe.h"
#include "capture/frame_writer.h"
#include "capture/offline_render.h"
#include "capture/progress_bar.h"
#include "capture/stop_signals.h"
#include "platform/output_file.h"
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

// Tests compare decoded frames with rendered ones, asked for in the environment.
bool losslessCapture() {
  const char* value = std::getenv("TESSALY_CAPTURE_LOSSLESS");
  return value && *value && std::string(value) != "0";
}

// The soundtrack's samples under `frames` frames.
int64_t soundSamples(int frames, int fps) {
  return std::llround(static_cast<double>(frames) * platform::kMixRate / fps);
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
  if (frames == 0) {
    std::fprintf(stderr,
                 "tessaly: cannot capture to %s: range %d of %d holds no frame; the capture has "
                 "%d frames\n",
                 request.path.c_str(), request.rangeIndex, request.rangeCount, allFrames);
    return 1;
  }
  // The soundtrack must hold the whole capture's sound: a file cut short or
  // damaged would give a video whose sound stops early or is missing. Each
  // range checks it too, so that a capture in ranges refuses as well.
  if (!soundtrackReaches(demo,
                         static_cast<double>(musicSampleOffset(request.start) +
                                             soundSamples(allFrames, request.fps)) /
                             platform::kMixRate,
                         "capture to " + request.path))
    return 1;
  const int width = demo.options.renderWidth;
  const int height = demo.options.renderHeight;
  VideoSettings video;
  // A range writes into the hidden folder of the capture that runs it; any
  // other capture writes beside its target and renames the video onto it
  // once ffmpeg has ended it, so an older video survives a failure.
  if (!ranged) platform::clearAbandonedStaging(request.path);
  video.path = ranged ? request.path : platform::stagingPath(request.path);
  video.width = width;
  video.height = height;
  video.fps = request.fps;
  video.lossless = losslessCapture();
  if (!request.preset.empty()) video.preset = request.preset;
  if (demo.music.enabled && !ranged) {
    video.audioPath = std::filesystem::absolute(musicFileName()).string();
    video.audioStartSample = musicSampleOffset(request.start);
    video.audioSamples = soundSamples(frames, request.fps);
    video.audioRate = platform::kMixRate;
  }

  std::string error;
  if (!checkVideoTarget(video.path, !video.audioPath.empty(), error)) {
    std::fprintf(stderr,
                 "tessaly: the capture to %s failed before its first frame: ffmpeg cannot write a "
                 "video there: %s\n",
                 request.path.c_str(), error.c_str());
    return 1;
  }
  FfmpegPipe pipe;
  if (!pipe.start(video, error)) {
    std::fprintf(stderr, "tessaly: cannot capture to %s: %s\n", request.path.c_str(),
                 error.c_str());
    return 1;
  }
  const bool synchronous = synchronousCapture();
  FrameReadback readback(width, height, !synchronous);
  FrameWriter writer(pipe, readback.frameBytes(), !synchronous);

  const double firstTime = captureFrameTime(request.start, request.fps, range.first);
  const double endTime =
      ranged ? captureFrameTime(request.start, request.fps, range.first + frames) : request.stop;
  if (ranged) {
    std::printf("%s\n", rangeVersionLine(TESSALY_VERSION).c_str());
    std::fflush(stdout);
    std::fprintf(stderr,
                 "tessaly: capturing range %d of %d, frames %d to %d of %d (%.3f s to %.3f s)\n",
                 request.rangeIndex, request.rangeCount, range.first, range.first + frames - 1,
                 allFrames, firstTime, endTime);
  }
  std::fprintf(
      stderr,
      "tessaly: capturing %.3f s to %.3f s of the show, %d x %d at %d fps (%d frames, x264 "
      "preset %s) to %s\n",
      firstTime, endTime, width, height, request.fps, frames, video.preset.c_str(),
      request.path.c_str());
  // Ctrl-C at the terminal, SIGTERM and SIGHUP stop the capture as Escape does.
  catchStopSignals(true);
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
    if (offlineStopRequested()) {
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
  catchStopSignals(false);
  // The frames still held were rendered: they go into the video too, whether
  // the capture ran to its end or was stopped.
  while (!handOverFailed && readback.held() > 0) handOverFailed = !handOver(readback, writer);
  writer.finish();
  const int framesWritten = writer.written();
  const bool writeFailed = handOverFailed || writer.failed();

  bool finished = pipe.finish(error);
  const auto discard = [&] {
    if (!ranged) std::remove(video.path.c_str());
  };
  if (!finished || writeFailed) {
    discard();
    if (error.empty())
      error = writer.failed() ? "ffmpeg stopped reading frames"
                              : "the GL driver did not hand over a frame's pixels";
    std::fprintf(stderr, "\ntessaly: the capture to %s failed after %d of %d frames: %s\n",
                 request.path.c_str(), framesWritten, frames, error.c_str());
    return 1;
  }
  const bool showEnded = end.end != ShowEnd::None;
  if ((stopped || showEnded) && !video.audioPath.empty()) {
    // ffmpeg was given the whole section's sound: cut it where the picture stops.
    const std::string whole =
        video.path + ".whole" + std::filesystem::path(video.path).extension().string();
    finished = std::rename(video.path.c_str(), whole.c_str()) == 0 &&
               cutVideo(whole, video.path, static_cast<double>(framesWritten) / request.fps, error);
    std::remove(whole.c_str());
    if (!finished) {
      discard();
      std::fprintf(stderr,
                   "\ntessaly: the capture to %s stopped early and cutting its sound "
                   "failed: %s\n",
                   request.path.c_str(), error.c_str());
      return 1;
    }
  }
  if (!ranged && !platform::moveIntoPlace(video.path, request.path, error)) {
    std::fprintf(stderr, "\ntessaly: the capture to %s failed: %s\n", request.path.c_str(),
                 error.c_str());
    return 1;
  }
  if (showEnded) {
    // The frame that ended the show is not part of the video.
    std::fprintf(stderr,
                 "\ntessaly: the show ended during the capture (%s); the video holds %d frames\n",
                 end.reason, framesWritten);
    return end.exitCode;
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
