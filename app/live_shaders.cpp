// Watching shader files by their modification time and size.
#include "app/live_shaders.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "demo/parts.h"

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

}  // namespace

void watchShaderFiles(const std::vector<std::string>& paths) {
  watch.files.clear();
  for (const std::string& path : paths) {
    bool known = false;
    for (const FileStamp& file : watch.files) known = known || file.path == path;
    if (!known) watch.files.push_back(stampOf(path));
  }
}

int rebuildChangedShaders(parts& content) {
  std::vector<std::string> changed;
  for (FileStamp& file : watch.files) {
    const FileStamp now = stampOf(file.path);
    if (now != file) changed.push_back(file.path);
    file = now;
  }
  return changed.empty() ? 0 : content.reloadPrograms(changed);
}

void startLiveShaders(parts* content) {
  if (!content) return;
  watchShaderFiles(content->programFiles());
  watch.started = true;
  watch.lastPoll = Clock::now();
  std::printf("live shaders: watching %zu files\n", watch.files.size());
}

void pollLiveShaders(parts* content) {
  if (!watch.started || !content) return;
  const Clock::time_point now = Clock::now();
  if (now - watch.lastPoll < kPollInterval) return;
  watch.lastPoll = now;
  rebuildChangedShaders(*content);
}
