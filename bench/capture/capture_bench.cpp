// Capture throughput: frames per second of `tessaly --capture` for one second
// of each scene at 1280 x 720 and 640 x 360, as the program's progress bar
// reports it (rendering, read-back and encoding together, load time apart).
//
// The reference, run right before each capture at the same size, is ffmpeg
// alone encoding a synthetic moving picture with the capture's encoder
// settings: on a shared machine both feel the same load, so their ratio is
// steadier than either figure, and it says how far rendering rather than
// encoding sets the pace. The CPU seconds per frame (the program and its
// ffmpeg, less a --screenshot run's start-up) give the time of the whole
// show on idle cores, printed last for each size.
// Run: build with -DTESSALY_BENCH=ON, then under a display (or xvfb-run -a)
// SDL_AUDIODRIVER=dummy TESSALY_BATCH=1 bench/capture/tessaly_capture_bench
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

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

std::string program(const std::string& options) {
  return TESSALY_BINARY_DIR "/tessaly " + options + " 2>&1";
}

// ffmpeg alone: the capture's encoder on a moving synthetic picture.
double encoderFps(int width, int height) {
  const int frames = 120;
  char command[400];
  std::snprintf(command, sizeof command,
                "ffmpeg -v error -f lavfi -i testsrc2=size=%dx%d:rate=%d -frames:v %d "
                "-c:v libx264 -preset medium -crf 16 -pix_fmt yuv420p -f null - 2>&1",
                width, height, kFps, frames);
  const Result result = run(command);
  return result.ok ? frames / result.wallSeconds : 0.0;
}

}  // namespace

int main() {
  char folder[] = "/tmp/tessaly-capture-bench-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  const std::string video = std::string(folder) + "/bench.mp4";
  const std::string picture = std::string(folder) + "/start-up.png";
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::printf("%-15s %9s %12s %12s %7s %14s\n", "scene", "size", "capture fps", "encoder fps",
              "ratio", "CPU s/frame");
  for (int width : {1280, 640}) {
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
    for (const Scene& scene : kScenes) {
      const double reference = encoderFps(width, height);
      char options[200];
      std::snprintf(options, sizeof options,
                    "--capture %s --width %d --fps %d --start %g --stop %g", video.c_str(), width,
                    kFps, scene.start, scene.start + 1.0);
      const Result capture = run(program(options));
      const size_t done = capture.output.rfind("100%");
      double fps = 0.0;
      if (!capture.ok || done == std::string::npos ||
          std::sscanf(capture.output.c_str() + capture.output.find("frames", done) + 6, " %lf fps",
                      &fps) != 1) {
        std::fprintf(stderr, "the capture failed:\n%s\n", capture.output.c_str());
        return 1;
      }
      const double cpuPerFrame =
          (capture.cpuSeconds - startUp.cpuSeconds) / (kFps + 2 - kScreenshotFrames);
      showCpuSeconds += scene.seconds * kFps * cpuPerFrame;
      std::printf("%-15s %9s %12.2f %12.1f %7.3f %14.3f\n", scene.name, size, fps, reference,
                  fps / reference, cpuPerFrame);
      std::fflush(stdout);
    }
    std::printf(
        "%s: the whole show at %d fps needs %.0f CPU minutes: about %.0f minutes on %u idle "
        "cores\n",
        size, kFps, showCpuSeconds / 60, showCpuSeconds / 60 / cores, cores);
  }
  std::remove(video.c_str());
  std::remove(picture.c_str());
  rmdir(folder);
  return 0;
}
