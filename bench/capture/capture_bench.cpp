// Capture throughput: frames per second of `tessaly --capture` for one second
// of each scene at 1280 x 720 and 640 x 360, as the program's progress bar
// reports it (rendering, read-back and encoding together, load time apart).
//
// Each second is captured twice, one run right after the other: step by step
// (TESSALY_CAPTURE_SYNC=1: render, read back, write, one after the other, as
// the capture used to) and overlapped (readback through pixel buffers, writing
// on a thread of its own, the default). The reference, run right before them
// at the same size, is ffmpeg alone encoding a synthetic moving picture with
// the capture's encoder settings: on a shared machine all three feel the same
// load, so their ratios are steadier than any one figure, and the ratio to
// the encoder says how far rendering rather than encoding sets the pace. The
// CPU seconds per frame (the overlapped run and its ffmpeg, less a
// --screenshot run's start-up) give the CPU time of the whole show, and the
// overlapped rate the time it takes at this run's pace; both are printed
// last for each size.
// Run: build with -DTESSALY_BENCH=ON, then under a display (or xvfb-run -a)
// SDL_AUDIODRIVER=dummy TESSALY_BATCH=1 bench/capture/tessaly_capture_bench
//   [--width W] (one size only) [--preset P] (x264's preset, default medium)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Scene {
  const char* name;
  double start;    // of the measured second
  double seconds;  // the scene's share of the show
};
const Scene kScenes[] = {
    {"opening panels", 10.0, 20.0},
    {"falling panels", 28.0, 16.0},
    {"ring tunnel", 80.0, 96.0},
    {"panel cube", 170.0, 73.0},
};
constexpr int kFps = 60;
constexpr int kScreenshotFrames = 3;  // two warm-up frames and the picture

double childCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

struct Result {
  std::string output;
  bool ok = false;
  double wallSeconds = 0.0;
  double cpuSeconds = 0.0;  // of the command and everything it waited for
};

Result run(const std::string& command) {
  Result result;
  const double cpuBefore = childCpuSeconds();
  const auto begin = std::chrono::steady_clock::now();
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
  result.ok = pclose(pipe) == 0;
  result.wallSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  result.cpuSeconds = childCpuSeconds() - cpuBefore;
  return result;
}

std::string program(const std::string& options, const char* environment = "") {
  return std::string(environment) + " " TESSALY_BINARY_DIR "/tessaly " + options + " 2>&1";
}

// ffmpeg alone: the capture's encoder on a moving synthetic picture.
double encoderFps(int width, int height, const std::string& preset) {
  const int frames = 120;
  char command[400];
  std::snprintf(command, sizeof command,
                "ffmpeg -v error -f lavfi -i testsrc2=size=%dx%d:rate=%d -frames:v %d "
                "-c:v libx264 -preset %s -crf 16 -pix_fmt yuv420p -f null - 2>&1",
                width, height, kFps, frames, preset.empty() ? "medium" : preset.c_str());
  const Result result = run(command);
  return result.ok ? frames / result.wallSeconds : 0.0;
}

// Frames per second from the progress bar's last line ("... 60/60 frames
// 0.8 fps  1:15 taken"): the rate shown to a tenth, or frames over the whole
// seconds taken, whichever is the finer. 0 when the capture failed (after
// saying so).
double captureFps(const Result& capture) {
  const size_t done = capture.output.rfind("100%");
  const size_t taken = capture.output.find(" taken", done);
  int frames = 0;
  double shown = 0.0;
  if (capture.ok && done != std::string::npos && taken != std::string::npos &&
      std::sscanf(capture.output.c_str() + done, "100%% %*d/%d frames %lf fps", &frames, &shown) ==
          2) {
    // The time taken is m:ss or h:mm:ss, just before " taken".
    double seconds = 0.0;
    for (size_t at = capture.output.rfind(' ', taken - 1) + 1; at < taken;) {
      seconds = seconds * 60 + std::atoi(capture.output.c_str() + at);
      at = capture.output.find(':', at);
      if (at == std::string::npos || at > taken) break;
      ++at;
    }
    // Half a tenth of the rate shown against half a second of the time.
    if (seconds > 0.0 && 0.05 / shown > 0.5 / seconds) return frames / seconds;
    if (shown > 0.0) return shown;
  }
  std::fprintf(stderr, "the capture failed:\n%s\n", capture.output.c_str());
  return 0.0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> widths = {1280, 640};
  std::string preset;  // x264's preset; the program's default when not given
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--width") && i + 1 < argc) {
      widths = {std::atoi(argv[++i])};
    } else if (!std::strcmp(argv[i], "--preset") && i + 1 < argc) {
      preset = argv[++i];
    } else {
      std::fprintf(stderr, "usage: tessaly_capture_bench [--width W] [--preset P]\n");
      return 2;
    }
  }
  char folder[] = "/tmp/tessaly-capture-bench-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  const std::string video = std::string(folder) + "/bench.mp4";
  const std::string picture = std::string(folder) + "/start-up.png";
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::printf(
      "x264 preset %s; capture fps step by step, then overlapped, one run after the other\n",
      preset.empty() ? "medium (the default)" : preset.c_str());
  std::printf("%-15s %9s %12s %12s %9s %12s %7s %12s\n", "scene", "size", "step fps", "overlap fps",
              "speed-up", "encoder fps", "ratio", "CPU s/frame");
  for (int width : widths) {
    const int height = width * 9 / 16;
    char size[32];
    std::snprintf(size, sizeof size, "%dx%d", width, height);
    // Start-up and the data pack's loading, to take away from the captures' CPU time.
    const Result startUp =
        run(program("--width " + std::to_string(width) + " --screenshot 10 " + picture));
    if (!startUp.ok) {
      std::fprintf(stderr, "the start-up run failed:\n%s\n", startUp.output.c_str());
      return 1;
    }
    double showCpuSeconds = 0.0;
    double showWallSeconds = 0.0;
    for (const Scene& scene : kScenes) {
      const double reference = encoderFps(width, height, preset);
      char options[300];
      std::snprintf(options, sizeof options,
                    "--capture %s --width %d --fps %d --start %g --stop %g%s%s", video.c_str(),
                    width, kFps, scene.start, scene.start + 1.0, preset.empty() ? "" : " --preset ",
                    preset.c_str());
      const double stepFps = captureFps(run(program(options, "TESSALY_CAPTURE_SYNC=1")));
      const Result overlapped = run(program(options));
      const double fps = captureFps(overlapped);
      if (stepFps <= 0.0 || fps <= 0.0) return 1;
      const double cpuPerFrame =
          (overlapped.cpuSeconds - startUp.cpuSeconds) / (kFps + 2 - kScreenshotFrames);
      showCpuSeconds += scene.seconds * kFps * cpuPerFrame;
      showWallSeconds += scene.seconds * kFps / fps;
      std::printf("%-15s %9s %12.2f %12.2f %9.3f %12.1f %7.3f %12.3f\n", scene.name, size, stepFps,
                  fps, fps / stepFps, reference, fps / reference, cpuPerFrame);
      std::fflush(stdout);
    }
    std::printf(
        "%s: the whole show at %d fps needs %.0f CPU minutes (about %.0f minutes on %u idle "
        "cores); at this run's overlapped pace it takes %.0f minutes\n",
        size, kFps, showCpuSeconds / 60, showCpuSeconds / 60 / cores, cores, showWallSeconds / 60);
  }
  std::remove(video.c_str());
  std::remove(picture.c_str());
  rmdir(folder);
  return 0;
}
