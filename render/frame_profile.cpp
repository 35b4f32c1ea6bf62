// Pass timing with timer queries or with glFinish (finishRendering) and a clock.
#include "render/frame_profile.h"

#include <chrono>
#include <ctime>
#include <string>

#include "render/draw_state.h"
#include "render/gl.h"
#include "render/render_resources.h"

namespace {

double nowSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

double processCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

FrameProfile::FrameProfile(Clock clock) : clock_(clock) {}

FrameProfile::~FrameProfile() {
  if (!queries_.empty()) glDeleteQueries(static_cast<GLsizei>(queries_.size()), queries_.data());
}

FrameProfile::Clock FrameProfile::bestClock() {
  // A software rasteriser records the timestamps as it queues the commands
  // and draws them later, when it flushes: its queries charge one pass's
  // drawing to another, so it is timed with glFinish instead. So is a
  // browser's WebGL, which hides the renderer's name and whose timer queries
  // are an extension that software rendering lacks.
  const std::string name = rendererName();
  for (const char* software : {"llvmpipe", "softpipe", "swrast", "WebGL"})
    if (name.find(software) != std::string::npos) return Clock::kFinish;
  return Clock::kTimerQueries;
}

void FrameProfile::beginFrame() {
  names_.clear();
  finishTimes_.clear();
  cpuTimes_.clear();
  usedQueries_ = 0;
  recording_ = true;
  endPass(nullptr);
}

void FrameProfile::endPass(const char* name) {
  if (!recording_) return;
  if (name) names_.push_back(name);
  if (clock_ == Clock::kFinish) {
    finishRendering();
    finishTimes_.push_back(nowSeconds());
    cpuTimes_.push_back(processCpuSeconds());
    return;
  }
  cpuTimes_.push_back(processCpuSeconds());
  if (usedQueries_ == queries_.size()) {
    queries_.push_back(0);
    glGenQueries(1, &queries_.back());
  }
  glQueryCounter(queries_[usedQueries_++], GL_TIMESTAMP);
}

const std::vector<PassTime>& FrameProfile::finishFrame() {
  recording_ = false;
  std::vector<double> stamps = finishTimes_;
  if (clock_ == Clock::kTimerQueries) {
    stamps.clear();
    for (size_t i = 0; i < usedQueries_; ++i) {
      GLuint64 nanoseconds = 0;
      glGetQueryObjectui64v(queries_[i], GL_QUERY_RESULT, &nanoseconds);
      stamps.push_back(static_cast<double>(nanoseconds) * 1e-9);
    }
  }
  passes_.clear();
  for (size_t i = 0; i < names_.size() && i + 1 < stamps.size() && i + 1 < cpuTimes_.size(); ++i)
    passes_.push_back({names_[i], (stamps[i + 1] - stamps[i]) * 1000.0,
                       (cpuTimes_[i + 1] - cpuTimes_[i]) * 1000.0});
  return passes_;
}

void markPass(const RenderResources* renderer, const char* name) {
  if (renderer->frameProfile) renderer->frameProfile->endPass(name);
}
