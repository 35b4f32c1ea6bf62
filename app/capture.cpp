// The capture's frame loop: the offline clock, one frame per step of show
// time, read back and piped to ffmpeg, with the music's section as the sound.
#include "app/capture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/ffmpeg_pipe.h"
#include "app/offline_render.h"
#include "app/progress_bar.h"
#include "platform/platform.h"
#include "platform/sound.h"
#include "runtime/demo_state.h"
#include "runtime/music.h"

namespace {

// The encoder of the capture in progress. Should anything end the process
// while frames are still going out, the exit handler closes the pipe and
// waits for ffmpeg, so the file is finished rather than left unreadable.
FfmpegPipe* activePipe = nullptr;
int framesWritten = 0;

void finishOnExit() {
  if (!activePipe || !activePipe->running()) return;
  std::string error;
  const bool ok = activePipe->finish(error);
  std::fprintf(stderr,
               "\ntessaly: the show ended during the capture; the video holds %d frames%s%s\n",
               framesWritten, ok ? "" : "\ntessaly: ", ok ? "" : error.c_str());
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

}  // namespace

int captureFrameCount(double start, double stop, int fps) {
  if (fps <= 0 || !(stop > start)) return 0;
  // A range of a whole number of frames gives exactly that many, despite rounding.
  return static_cast<int>(std::ceil((stop - start) * fps - 1e-6));
}

bool captureToolAvailable() {
  if (!findOnPath("ffmpeg").empty()) return true;
  std::fprintf(stderr,
               "tessaly: cannot capture: the ffmpeg command was not found on PATH.\n"
               "Install it (Debian: apt-get install ffmpeg) and try again.\n");
  return false;
}

int runCapture(const CaptureRequest& request) {
  const int frames = captureFrameCount(request.start, request.stop, request.fps);
  const int width = demo.renderWidth;
  const int height = demo.renderHeight;
  VideoSettings video;
  video.path = request.path;
  video.width = width;
  video.height = height;
  video.fps = request.fps;
  if (demo.musicEnabled) {
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
  activePipe = &pipe;
  framesWritten = 0;
  static bool exitHandlerSet = false;
  if (!exitHandlerSet) exitHandlerSet = std::atexit(finishOnExit) == 0;

  std::fprintf(
      stderr,
      "tessaly: capturing %.3f s to %.3f s of the show, %d x %d at %d fps (%d frames) to %s\n",
      request.start, request.stop, width, height, request.fps, frames, request.path.c_str());
  beginOfflineClock();
  // The music keeps running on the sound system while frames render far from
  // real time: silence it; the video's sound comes from the file.
  if (demo.musicEnabled) setMusicVolume(0);
  // Two warm-up frames one step apart, so the first captured frame has the
  // same frame delta as every other.
  const double step = 1.0 / request.fps;
  for (double warmUp : {request.start - 2 * step, request.start - step})
    runOfflineFrame(std::max(warmUp, 0.0));

  ProgressBar bar(frames);
  bar.update(0);
  bool stopped = false;
  bool writeFailed = false;
  for (int n = 0; n < frames; ++n) {
    if (stopRequested()) {
      stopped = true;
      break;
    }
    runOfflineFrame(request.start + static_cast<double>(n) / request.fps);
    const std::vector<uint8_t> pixels = readWindowPixels(width, height);
    if (!pipe.writeFrame(pixels.data(), pixels.size())) {
      writeFailed = true;
      break;
    }
    framesWritten = n + 1;
    bar.update(framesWritten);
  }

  const bool finished = pipe.finish(error);
  activePipe = nullptr;
  if (!finished || writeFailed) {
    if (error.empty()) error = "ffmpeg stopped reading frames";
    std::fprintf(stderr, "\ntessaly: the capture to %s failed after %d of %d frames: %s\n",
                 request.path.c_str(), framesWritten, frames, error.c_str());
    return 1;
  }
  if (stopped) {
    std::fprintf(stderr, "\ntessaly: capture stopped after %d of %d frames; %s holds them\n",
                 framesWritten, frames, request.path.c_str());
    return 1;
  }
  std::fprintf(stderr, "tessaly: wrote %s (%d frames, %.3f s)\n", request.path.c_str(), frames,
               static_cast<double>(frames) / request.fps);
  return 0;
}
