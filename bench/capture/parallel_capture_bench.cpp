// Captures in ranges side by side, against the capture in one process, and
// on paper the cores at which the whole show meets the capture's goals: at
// 640 x 360 and 30 fps within 1.5 times the show's 205 s, at 1280 x 720 and
// 60 fps within 20 minutes.
//
// For each goal's size and rate, seconds of each scene are captured with
// --jobs 1 and with --jobs 2, one run right after the other (their order
// swapped from scene to scene), so that both feel the same load on a shared
// machine: their ratio is the speed-up two ranges give on this machine. The
// two-range run's CPU seconds (both ranges, their encoders and the join),
// less two start-ups (a --screenshot run's), give each scene's CPU seconds
// per frame. On paper the whole show is then split into N ranges, one per
// core: a range costs a start-up with its warm-up frames and its frames at
// their scene's price, and the capture takes its dearest range plus the
// join (ffmpeg adding the whole soundtrack, timed here). The smallest N that
// meets each goal is printed with the time it gives.
// Run: build with -DTESSALY_BENCH=ON, then under a display (or xvfb-run -a)
// SDL_AUDIODRIVER=dummy TESSALY_BATCH=1 bench/capture/tessaly_parallel_capture_bench
//   [--width W] (one goal only)
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr double kShowEnd = 205.0;

struct Scene {
  const char* name;
  double from, to;  // its time window in the show
  double sample;    // the start of the second measured
};
const Scene kScenes[] = {
    {"opening panels", 0.0, 20.0, 10.0},
    {"falling panels", 20.0, 36.0, 28.0},
    {"ring tunnel", 36.0, 132.0, 80.0},
    {"panel cube", 132.0, kShowEnd, 170.0},
};

struct Goal {
  int width, fps;
  double seconds;  // the whole show's capture within this
  double sample;   // seconds of each scene captured: long enough that start-ups and the
                   // join weigh as little in it as in the whole show's ranges
};
const Goal kGoals[] = {{640, 30, 1.5 * kShowEnd, 4.0}, {1280, 60, 20 * 60.0, 2.0}};

double childCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

struct Result {
  bool ok = false;
  double wall = 0.0, cpu = 0.0;  // seconds; cpu of the command and all it waited for
  std::string output;
};

Result run(const std::string& command) {
  Result result;
  const double cpuBefore = childCpuSeconds();
  const auto begin = std::chrono::steady_clock::now();
  std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
  result.ok = pclose(pipe) == 0;
  result.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  result.cpu = childCpuSeconds() - cpuBefore;
  if (!result.ok) std::fprintf(stderr, "failed: %s\n%s\n", command.c_str(), result.output.c_str());
  return result;
}

const std::string kProgram = TESSALY_BINARY_DIR "/tessaly";

}  // namespace

int main(int argc, char** argv) {
  // --width W measures only the goal of that width.
  const int onlyWidth = argc == 3 && std::string(argv[1]) == "--width" ? std::atoi(argv[2]) : 0;
  if (argc != 1 && onlyWidth == 0) {
    std::fprintf(stderr, "usage: tessaly_parallel_capture_bench [--width 640|1280]\n");
    return 2;
  }
  char folder[] = "/tmp/tessaly-parallel-bench-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  const std::string video = std::string(folder) + "/bench.mp4";
  const std::string picture = std::string(folder) + "/start-up.png";

  // The join's own work: ffmpeg adding the whole show's soundtrack.
  const Result join = run("ffmpeg -v error -y -i '" TESSALY_BINARY_DIR
                          "/data/music/Kelvane - Tessaly.mp3' -t 205 -c:a aac -b:a 192k " +
                          std::string(folder) + "/sound.m4a");
  if (!join.ok) return 1;
  std::printf("the join's soundtrack: %.1f s (%.1f CPU s)\n", join.wall, join.cpu);

  for (const Goal& goal : kGoals) {
    if (onlyWidth && goal.width != onlyWidth) continue;
    const std::string size = std::to_string(goal.width) + "x" + std::to_string(goal.width * 9 / 16);
    const Result startUp =
        run(kProgram + " --width " + std::to_string(goal.width) + " --screenshot 10 " + picture);
    if (!startUp.ok) return 1;
    std::printf("\n%s at %d fps; start-up %.1f CPU s\n", size.c_str(), goal.fps, startUp.cpu);
    std::printf("%-15s %10s %10s %10s %14s\n", "scene", "1 job s", "2 jobs s", "speed-up",
                "CPU s/frame");
    std::vector<double> cpuPerFrame;
    double ratioProduct = 1.0;
    for (size_t i = 0; i < std::size(kScenes); ++i) {
      const Scene& scene = kScenes[i];
      char options[200];
      std::snprintf(options, sizeof options, " --width %d --fps %d --start %g --stop %g",
                    goal.width, goal.fps, scene.sample, scene.sample + goal.sample);
      const int frames = static_cast<int>(goal.sample * goal.fps);
      const auto capture = [&](int jobs) {
        return run(kProgram + " --capture " + video + options + " --jobs " + std::to_string(jobs));
      };
      Result one, two;
      if (i % 2 == 0) {
        one = capture(1);
        two = capture(2);
      } else {
        two = capture(2);
        one = capture(1);
      }
      if (!one.ok || !two.ok) return 1;
      // Each start-up run rendered three frames; the two ranges rendered
      // their frames and two warm-up frames each.
      const double perFrame = std::max(0.0, (two.cpu - 2 * startUp.cpu) / (frames + 4 - 6));
      cpuPerFrame.push_back(perFrame);
      ratioProduct *= one.wall / two.wall;
      std::printf("%-15s %10.1f %10.1f %10.3f %14.3f\n", scene.name, one.wall, two.wall,
                  one.wall / two.wall, perFrame);
      std::fflush(stdout);
    }
    std::printf(
        "two ranges against one process on %ld cores: %.3f times as fast (geometric "
        "mean)\n",
        sysconf(_SC_NPROCESSORS_ONLN), std::pow(ratioProduct, 1.0 / std::size(kScenes)));

    // On paper: N ranges of the whole show, each on a core of its own.
    const int frames = static_cast<int>(kShowEnd * goal.fps);
    const auto frameCpu = [&](int n) {
      const double t = static_cast<double>(n) / goal.fps;
      for (size_t i = 0; i < std::size(kScenes); ++i)
        if (t < kScenes[i].to) return cpuPerFrame[i];
      return cpuPerFrame.back();
    };
    double total = 0.0;
    for (int n = 0; n < frames; ++n) total += frameCpu(n);
    std::printf("the whole show: %d frames, %.0f CPU s; goal %.0f s\n", frames, total,
                goal.seconds);
    for (int cores = 1; cores <= 256; ++cores) {
      double dearest = 0.0;
      for (int index = 1; index <= cores; ++index) {
        const int first = static_cast<int>(static_cast<long long>(frames) * (index - 1) / cores);
        const int last = static_cast<int>(static_cast<long long>(frames) * index / cores);
        // The start-up run's three frames stand for the two warm-up frames.
        double range = startUp.cpu;
        for (int n = first; n < last; ++n) range += frameCpu(n);
        dearest = std::max(dearest, range);
      }
      const double seconds = dearest + join.wall;
      if (seconds <= goal.seconds || cores == 256) {
        std::printf("on paper: %d cores, one range each, take %.0f s (%.2f of the goal)\n", cores,
                    seconds, seconds / goal.seconds);
        break;
      }
    }
  }
  std::remove(video.c_str());
  std::remove(picture.c_str());
  std::remove((std::string(folder) + "/sound.m4a").c_str());
  rmdir(folder);
  return 0;
}
