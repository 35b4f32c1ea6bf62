// The frame profiler's moments, clocks and table.
#include "app/benchmark.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/swap_interval.h"
#include "capture/offline_render.h"
#include "capture/stop_signals.h"
#include "render/draw_state.h"
#include "render/floor_programs.h"
#include "render/frame_profile.h"
#include "render/reference_chain.h"
#include "runtime/demo_state.h"

namespace {

struct Row {
  Row(std::string rowName, std::vector<double> rowMoments)
      : name(std::move(rowName)), moments(std::move(rowMoments)) {}
  std::string name;
  std::vector<double> moments;    // show times, rising: the offline clock only runs forward
  std::vector<double> frames;     // whole-frame milliseconds
  std::vector<double> cpuFrames;  // the same frames in CPU milliseconds of this process
  std::vector<std::vector<PassTime>> passes;
};

double median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Times one frame on the wall clock and in CPU time of this process (where a
// software renderer's threads run, so a busy machine's other work is not
// charged to the frame).
template <typename Draw>
void timeFrame(Row& row, Draw draw) {
  finishRendering();
  const double cpuStart = processCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  draw();
  finishRendering();
  row.frames.push_back(
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  row.cpuFrames.push_back((processCpuSeconds() - cpuStart) * 1000.0);
}

// Pass names in the order they first ran in any row.
std::vector<std::string> passNames(const std::vector<Row>& rows) {
  std::vector<std::string> names;
  for (const Row& row : rows)
    for (const auto& frame : row.passes)
      for (const PassTime& pass : frame)
        if (std::find(names.begin(), names.end(), pass.name) == names.end())
          names.push_back(pass.name);
  return names;
}

int columnWidth(const std::string& name) {
  return static_cast<int>(std::max<size_t>(name.size(), 6));
}

using PassSeries = double PassTime::*;

double passMedian(const Row& row, const std::string& name, PassSeries series) {
  std::vector<double> values;
  for (const auto& frame : row.passes) {
    double sum = 0.0;
    bool found = false;
    for (const PassTime& pass : frame)
      if (pass.name == name) {
        sum += pass.*series;
        found = true;
      }
    if (found) values.push_back(sum);
  }
  return median(values);
}

void printPasses(const Row& row, const std::vector<std::string>& names, PassSeries series) {
  for (const std::string& name : names) {
    if (row.passes.empty())
      std::printf(" %*s", columnWidth(name), "-");
    else
      std::printf(" %*.1f", columnWidth(name), passMedian(row, name, series));
  }
  std::printf("\n");
}

// The frames and their passes on the wall clock, then the passes' CPU time.
void printTable(const std::vector<Row>& rows) {
  const std::vector<std::string> names = passNames(rows);
  std::printf("\n%-16s %8s %8s %8s %8s |", "frame ms", "median", "min", "max", "cpu");
  for (const std::string& name : names) std::printf(" %*s", columnWidth(name), name.c_str());
  std::printf("\n");
  for (const Row& row : rows) {
    const auto [least, most] = std::minmax_element(row.frames.begin(), row.frames.end());
    std::printf("%-16s %8.1f %8.1f %8.1f %8.1f |", row.name.c_str(), median(row.frames), *least,
                *most, median(row.cpuFrames));
    printPasses(row, names, &PassTime::milliseconds);
  }
  std::printf("\n%-52s |", "pass cpu ms");
  for (const std::string& name : names) std::printf(" %*s", columnWidth(name), name.c_str());
  std::printf("\n");
  for (const Row& row : rows) {
    std::printf("%-16s %35s |", row.name.c_str(), "");
    printPasses(row, names, &PassTime::cpuMilliseconds);
  }
}

// A ratio of two medians in six columns, or "-" where the lower one is 0: the
// browser's CPU columns, as it draws in a process of its own.
std::string ratioText(double over, double under) {
  char text[16];
  if (under > 0.0)
    std::snprintf(text, sizeof text, "%6.2f", over / under);
  else
    std::snprintf(text, sizeof text, "%6s", "-");
  return text;
}

}  // namespace

int runBenchmark(DemoState& demo, ShaderSet& showShaders, const BenchmarkOptions& options) {
  const int w = demo.options.renderWidth, h = demo.options.renderHeight;
  const int samples = demo.options.antialiased ? 4 : 0;
  FrameProfile profile(FrameProfile::bestClock());
  std::printf("Tessaly frame benchmark: %d x %d, %s, on %s\n", w, h,
              demo.options.antialiased ? "4 samples" : "single-sampled with the edge filter",
              rendererName().c_str());
  std::printf("%d frames a moment, milliseconds; passes timed with %s; no buffer swap (%s)\n",
              options.framesPerMoment,
              profile.clock() == FrameProfile::Clock::kTimerQueries ? "GL timer queries"
                                                                    : "glFinish and a clock",
              vsyncLabel().c_str());

  std::vector<Row> scenes = {{"opening panels", {5, 12.5, 18}},
                             {"falling panels", {22, 27.5, 33}},
                             {"ring tunnel", {45, 76, 110, 125}},
                             {"panel cube", {140, 160.5, 186}}};
  if (!soundtrackReaches(demo, scenes.back().moments.back(), "run the benchmark")) return 1;
  for (const Row& scene : scenes) {
    std::printf("%-16s at", scene.name.c_str());
    for (double t : scene.moments) std::printf(" %g", t);
    std::printf(" s\n");
  }
  std::printf("%-16s the scene's triangles in one constant colour, every pass reading one texel\n",
              "  its floor");
  std::printf("%-16s the chain around a cleared scene target, at every moment above\n",
              "empty scene");
  std::printf("%-16s %s target, resolve, two full-screen passes, blit\n", "reference chain",
              samples ? "4-sample" : "single-sample");
  std::vector<Row> floors;
  for (const Row& scene : scenes) floors.emplace_back("  its floor", scene.moments);
  Row empty{"empty scene", {}};
  Row reference{"reference chain", {}};
  ReferenceChain chain(w, h, samples);
  FloorPrograms floorPrograms(showShaders);
  OfflineClock clock = beginOfflineClock(demo);

  // The profile stays attached so that it can empty the scene slot; it marks
  // passes only inside beginFrame .. finishFrame, so whole frames run unsynced.
  // Each moment runs the scene, its floor and the empty slot in turn, so that
  // a change of load on a shared machine falls on all three alike.
  demo.renderer.frameProfile = &profile;
  // Escape, closing the window and the stop signals end it between moments.
  catchStopSignals(true);
  bool stopped = false;
  for (size_t s = 0; s < scenes.size() && !stopped; ++s) {
    Row& scene = scenes[s];
    std::fprintf(stderr, "benchmark: %s\n", scene.name.c_str());
    for (double t : scene.moments) {
      stopped = offlineStopRequested();
      if (stopped) break;
      // Every frame after the first repeats the moment with a time step of 0.
      runOfflineFrame(demo, clock, t);
      for (Row* row : {&scene, &floors[s], &empty}) {
        const bool floor = row == &floors[s];
        if (floor) floorPrograms.exchange();
        profile.drawScene = row != &empty;
        for (int i = 0; i < options.framesPerMoment; ++i) {
          profile.beginFrame();
          runOfflineFrame(demo, clock, t);
          row->passes.push_back(profile.finishFrame());
        }
        for (int i = 0; i < options.framesPerMoment; ++i)
          timeFrame(*row, [&] { runOfflineFrame(demo, clock, t); });
        if (floor) floorPrograms.exchange();
      }
      for (int i = 0; i < options.framesPerMoment; ++i)
        timeFrame(reference, [&] { chain.draw(demo.renderer); });
    }
  }
  demo.renderer.frameProfile = nullptr;
  catchStopSignals(false);
  if (stopped) {
    std::fprintf(stderr, "tessaly: benchmark stopped; no table was printed\n");
    return 1;
  }

  std::vector<Row> rows;
  for (size_t s = 0; s < scenes.size(); ++s) {
    rows.push_back(scenes[s]);
    rows.push_back(floors[s]);
  }
  rows.push_back(empty);
  rows.push_back(reference);
  printTable(rows);

  // The ratios on the wall clock, and in CPU time, which a busy machine
  // disturbs less.
  using Series = std::vector<double> Row::*;
  auto worstScene = [&](Series series) {
    double worst = 0.0;
    for (const Row& scene : scenes) worst = std::max(worst, median(scene.*series));
    return worst;
  };
  auto printRatio = [](const std::string& label, double wallOver, double wallUnder, double cpuOver,
                       double cpuUnder, const char* goal) {
    std::printf("%-30s %s %s  (goal %s or less)\n", label.c_str(),
                ratioText(wallOver, wallUnder).c_str(), ratioText(cpuOver, cpuUnder).c_str(), goal);
  };
  std::printf("\n%-30s %6s %6s\n", "", "wall", "cpu");
  printRatio("worst scene / empty scene", worstScene(&Row::frames), median(empty.frames),
             worstScene(&Row::cpuFrames), median(empty.cpuFrames), "1.5");
  printRatio("empty scene / reference chain", median(empty.frames), median(reference.frames),
             median(empty.cpuFrames), median(reference.cpuFrames), "1.3");
  for (size_t s = 0; s < scenes.size(); ++s)
    printRatio(scenes[s].name + " / its floor", median(scenes[s].frames), median(floors[s].frames),
               median(scenes[s].cpuFrames), median(floors[s].cpuFrames), "1.5");
  std::printf("frames per second (medians)   ");
  for (const Row& scene : scenes)
    std::printf(" %s %.1f", scene.name.c_str(), 1000.0 / median(scene.frames));
  std::printf("\n");
  return 0;
}
