// Watching shader files by their modification time and size.
#include "app/live_shaders.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "demo/part_start.h"
#include "render/shader_set.h"
#include "runtime/demo_state.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
// The wall clock: the show's own clock can jump (--start) or be driven offline.
constexpr auto kPollInterval = std::chrono::milliseconds(250);

struct FileStamp {
  std::string path;
  fs::file_time_type time;
  uintmax_t size = 0;
  bool present = false;

  bool operator!=(const FileStamp& other) const {
    return time != other.time || size != other.size || present != other.present;
  }
};

struct Watch {
  bool started = false;
  Clock::time_point lastPoll;
  std::vector<FileStamp> files;
};

Watch watch;

// An editor that saves by writing a new file and renaming it over the old one
// still gives the path a new time; a missing file counts as a change too.
FileStamp stampOf(const std::string& path) {
  std::error_code error;
  FileStamp stamp{path, fs::last_write_time(path, error), 0, false};
  if (error) return stamp;
  stamp.size = fs::file_size(path, error);
  stamp.present = !error;
  return stamp;
}

bool usesFile(const ProgramFiles& program, const std::string& path) {
  return program.vertexPath == path || program.fragmentPath == path;
}

ShaderSet* showShaders(const DemoState& demo) {
  auto* part = dynamic_cast<part_start*>(demo.partSlots[0]);
  return part ? &part->shaders : nullptr;
}

}  // namespace

void watchShaderFiles(const ShaderSet& shaders) {
  watch.files.clear();
  for (const ProgramFiles& program : shaders.programFiles) {
    for (const std::string& path : {program.vertexPath, program.fragmentPath}) {
      if (path.empty()) continue;
      bool known = false;
      for (const FileStamp& file : watch.files) known = known || file.path == path;
      if (!known) watch.files.push_back(stampOf(path));
    }
  }
}

int rebuildChangedShaders(ShaderSet& shaders) {
  std::vector<std::string> changed;
  for (FileStamp& file : watch.files) {
    const FileStamp now = stampOf(file.path);
    if (now != file) changed.push_back(file.path);
    file = now;
  }
  int rebuilt = 0;
  for (const ProgramFiles& program : shaders.programFiles) {
    bool touched = false;
    for (const std::string& path : changed) touched = touched || usesFile(program, path);
    if (!touched) continue;
    if (shaders.rebuildProgram(program)) {
      std::printf("live shaders: %s rebuilt\n", program.fragmentPath.c_str());
      ++rebuilt;
    }
  }
  return rebuilt;
}

void startLiveShaders(const DemoState& demo) {
  ShaderSet* shaders = showShaders(demo);
  if (!shaders) return;
  watchShaderFiles(*shaders);
  watch.started = true;
  watch.lastPoll = Clock::now();
  std::printf("live shaders: watching %zu files\n", watch.files.size());
}

void pollLiveShaders(const DemoState& demo) {
  if (!watch.started) return;
  const Clock::time_point now = Clock::now();
  if (now - watch.lastPoll < kPollInterval) return;
  watch.lastPoll = now;
  if (ShaderSet* shaders = showShaders(demo)) rebuildChangedShaders(*shaders);
}
