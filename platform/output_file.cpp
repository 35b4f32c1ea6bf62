// Staging names beside a target, the rename into place and the clearing of
// what dead writers left.
#include "platform/output_file.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <utility>

namespace fs = std::filesystem;

namespace platform {

namespace {

// True unless the process surely no longer runs (one of another user still
// counts as running).
bool processRuns(long pid) { return pid > 0 && (kill(pid, 0) == 0 || errno != ESRCH); }

}  // namespace

std::string stagingPrefix(const std::string& target) {
  const fs::path path(target);
  return (path.parent_path() / ("." + path.filename().string() + ".tessaly-")).string();
}

std::string stagingPath(const std::string& target) {
  return stagingPrefix(target) + std::to_string(getpid()) + fs::path(target).extension().string();
}

bool moveIntoPlace(const std::string& staged, const std::string& target, std::string& error) {
  if (std::rename(staged.c_str(), target.c_str()) == 0) return true;
  error = "cannot rename " + staged + " to " + target + ": " + std::strerror(errno);
  std::remove(staged.c_str());
  return false;
}

void clearAbandonedStaging(const std::string& target) {
  const fs::path prefix(stagingPrefix(target));
  const std::string start = prefix.filename().string();
  std::error_code error;
  fs::path folder = prefix.parent_path();
  if (folder.empty()) folder = ".";
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (name.compare(0, start.size(), start) != 0) continue;
    char* digitsEnd = nullptr;
    const long pid = std::strtol(name.c_str() + start.size(), &digitsEnd, 10);
    if (digitsEnd == name.c_str() + start.size() || pid == getpid() || processRuns(pid)) continue;
    std::error_code ignored;
    fs::remove_all(entry->path(), ignored);
  }
}

StagedTextFile::~StagedTextFile() { discard(); }

StagedTextFile::StagedTextFile(StagedTextFile&& other) noexcept
    : stream_(std::move(other.stream_)),
      target_(std::move(other.target_)),
      staged_(std::exchange(other.staged_, std::string())),
      openError_(std::move(other.openError_)) {}

StagedTextFile& StagedTextFile::operator=(StagedTextFile&& other) noexcept {
  if (this != &other) {
    discard();
    stream_ = std::move(other.stream_);
    target_ = std::move(other.target_);
    staged_ = std::exchange(other.staged_, std::string());
    openError_ = std::move(other.openError_);
  }
  return *this;
}

void StagedTextFile::discard() {
  if (staged_.empty()) return;
  stream_.close();
  std::remove(staged_.c_str());
  staged_.clear();
}

void StagedTextFile::open(const std::string& target) {
  discard();
  clearAbandonedStaging(target);
  target_ = target;
  staged_ = stagingPath(target);
  openError_.clear();
  stream_.open(staged_, std::ios::trunc);
  if (!stream_.is_open()) {
    openError_ = "cannot open " + staged_ + ": " + std::strerror(errno);
    staged_.clear();
  }
}

bool StagedTextFile::commit(std::string& error) {
  if (staged_.empty()) {
    error = openError_;
    return openError_.empty();
  }
  stream_.flush();
  const bool written = static_cast<bool>(stream_);
  const int writeErrno = errno;
  stream_.close();
  const std::string staged = std::move(staged_);
  staged_.clear();
  if (!written || stream_.fail()) {
    error = "cannot write " + target_ + ": " + std::strerror(written ? errno : writeErrno);
    std::remove(staged.c_str());
    return false;
  }
  return moveIntoPlace(staged, target_, error);
}

}  // namespace platform
