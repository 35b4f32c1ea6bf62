// Locating the data pack.
#include "app/data_directory.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

std::string enterDataDirectory(const std::string& requested) {
  std::vector<fs::path> candidates;
  if (!requested.empty()) {
    candidates.push_back(requested);
  } else {
    if (const char* env = std::getenv("TESSALY_DATA"); env && *env) candidates.push_back(env);
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
      candidates.push_back(exe.parent_path() / "data");
      candidates.push_back(exe.parent_path() / ".." / "share" / "tessaly");
    }
  }
  for (const fs::path& dir : candidates) {
    std::error_code error;
    if (fs::is_directory(dir, error) && chdir(dir.c_str()) == 0) return dir.string();
  }
  std::fprintf(stderr, "tessaly: cannot find the data folder; tried:\n");
  for (const fs::path& dir : candidates) std::fprintf(stderr, "  %s\n", dir.c_str());
  return {};
}
