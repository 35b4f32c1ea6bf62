// The ffmpeg child process and the pipe that feeds it frames.
#include "capture/ffmpeg_pipe.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

extern char** environ;

namespace {

constexpr size_t kLogTailBytes = 2000;

std::vector<std::string> ffmpegArguments(const VideoSettings& video) {
  std::vector<std::string> args = {"-hide_banner", "-nostats", "-loglevel", "error", "-y"};
  if (!video.joinedList.empty()) {
    args.insert(args.end(), {"-f", "concat", "-safe", "0", "-i", video.joinedList});
  } else {
    const std::string size = std::to_string(video.width) + "x" + std::to_string(video.height);
    args.insert(args.end(), {"-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size", size,
                             "-framerate", std::to_string(video.fps), "-i", "pipe:0"});
  }
  if (!video.audioPath.empty()) args.insert(args.end(), {"-i", video.audioPath});
  args.insert(args.end(), {"-map", "0:v"});
  if (!video.joinedList.empty()) {
    args.insert(args.end(), {"-c:v", "copy"});
  } else {
    // 4:2:0 chroma needs even sides: an odd row or column is cropped away.
    if (video.width % 2 || video.height % 2)
      args.insert(args.end(), {"-vf", "crop=trunc(iw/2)*2:trunc(ih/2)*2:0:0"});
    if (video.lossless) {
      args.insert(args.end(), {"-c:v", "libx264rgb", "-preset", video.preset, "-qp", "0"});
    } else {
      // CRF 16 keeps the thin ring outlines and the glow free of blocking.
      args.insert(args.end(), {"-c:v", "libx264", "-preset", video.preset, "-crf", "16", "-pix_fmt",
                               "yuv420p"});
    }
  }
  if (!video.audioPath.empty()) {
    // Timestamps are renumbered from the first decoded sample before the cut,
    // so the section starts at exactly the sample the show plays at its first
    // frame, whatever start offset the file's header announces.
    const int64_t end = video.audioStartSample + video.audioSamples;
    std::ostringstream filter;
    filter << "aresample=" << video.audioRate
           << ",asetpts=N/SR/TB,atrim=start_sample=" << video.audioStartSample
           << ":end_sample=" << end << ",asetpts=PTS-STARTPTS";
    args.insert(args.end(), {"-map", "1:a", "-af", filter.str(), "-c:a", "aac", "-b:a", "192k"});
  }
  args.insert(args.end(), {"-movflags", "+faststart", video.path});
  return args;
}

// The last lines of ffmpeg's messages, at most kLogTailBytes.
std::string logTail(std::FILE* log) {
  if (!log) return "";
  if (std::fseek(log, 0, SEEK_END) != 0) return "";
  const long size = std::ftell(log);
  if (size <= 0) return "";
  const long from = size > static_cast<long>(kLogTailBytes) ? size - kLogTailBytes : 0;
  std::string text(static_cast<size_t>(size - from), '\0');
  if (std::fseek(log, from, SEEK_SET) != 0) return "";
  text.resize(std::fread(text.data(), 1, text.size(), log));
  if (from > 0) {
    const size_t lineStart = text.find('\n');
    if (lineStart != std::string::npos) text.erase(0, lineStart + 1);
  }
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

bool isX264Preset(const std::string& name) {
  for (const char* preset : kX264Presets)
    if (name == preset) return true;
  return false;
}

std::string findOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "/usr/local/bin:/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return "";
}

FfmpegPipe::~FfmpegPipe() {
  std::string ignored;
  finish(ignored);
}

bool checkVideoTarget(const std::string& path, bool withSound, std::string& error) {
  std::vector<std::string> args = {"-hide_banner", "-nostdin", "-loglevel",
                                   "error",        "-y",       "-f",
                                   "lavfi",        "-i",       "color=c=black:s=16x16:r=30"};
  if (withSound) args.insert(args.end(), {"-f", "lavfi", "-i", "anullsrc=r=44100:cl=stereo"});
  args.insert(args.end(),
              {"-frames:v", "2", "-map", "0:v", "-c:v", "libx264", "-pix_fmt", "yuv420p"});
  if (withSound) args.insert(args.end(), {"-t", "0.1", "-map", "1:a", "-c:a", "aac"});
  args.push_back(path);
  FfmpegPipe ffmpeg;
  const bool ok = ffmpeg.run(args, error);
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) unlink(path.c_str());
  return ok;
}

bool cutVideo(const std::string& from, const std::string& to, double seconds, std::string& error) {
  std::ostringstream duration;
  duration.precision(17);
  duration << seconds;
  FfmpegPipe ffmpeg;
  return ffmpeg.run({"-hide_banner", "-nostdin", "-loglevel", "error", "-y", "-i", from, "-map",
                     "0", "-c", "copy", "-t", duration.str(), "-movflags", "+faststart", to},
                    error);
}

bool FfmpegPipe::start(const VideoSettings& settings, std::string& error) {
  return launch(ffmpegArguments(settings), error);
}

bool FfmpegPipe::run(const std::vector<std::string>& args, std::string& error) {
  return launch(args, error) && finish(error);
}

bool FfmpegPipe::launch(const std::vector<std::string>& ffmpegArgs, std::string& error) {
  const std::string program = findOnPath("ffmpeg");
  if (program.empty()) {
    error = "the ffmpeg command was not found on PATH (install ffmpeg)";
    return false;
  }
  log_ = std::tmpfile();
  int fds[2];
  if (!log_ || pipe2(fds, O_CLOEXEC) != 0) {
    error = std::string("cannot set up the pipe to ffmpeg: ") + std::strerror(errno);
    return false;
  }
  fcntl(fileno(log_), F_SETFD, FD_CLOEXEC);
  // A failed ffmpeg closes its end; writes then fail with EPIPE instead of
  // ending this process, so the failure can be reported.
  signal(SIGPIPE, SIG_IGN);

  std::vector<std::string> args = {"ffmpeg"};
  args.insert(args.end(), ffmpegArgs.begin(), ffmpegArgs.end());
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fileno(log_), STDERR_FILENO);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  const int spawned =
      posix_spawn(&child_, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[0]);
  if (spawned != 0) {
    child_ = -1;
    close(fds[1]);
    error = "cannot start " + program + ": " + std::strerror(spawned);
    return false;
  }
  input_ = fds[1];
  return true;
}

bool FfmpegPipe::writeFrame(const uint8_t* rgb, size_t size) {
  if (input_ < 0) return false;
  while (size > 0) {
    const ssize_t written = write(input_, rgb, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    rgb += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

bool FfmpegPipe::finish(std::string& error) {
  if (input_ >= 0) {
    close(input_);
    input_ = -1;
  }
  bool ok = true;
  if (child_ > 0) {
    int status = 0;
    pid_t waited;
    do {
      waited = waitpid(child_, &status, 0);
    } while (waited < 0 && errno == EINTR);
    child_ = -1;
    if (waited < 0) {
      error = std::string("lost track of ffmpeg: ") + std::strerror(errno);
      ok = false;
    } else if (WIFSIGNALED(status)) {
      error = "ffmpeg was ended by signal " + std::to_string(WTERMSIG(status));
      ok = false;
    } else if (WEXITSTATUS(status) != 0) {
      error = "ffmpeg failed with exit status " + std::to_string(WEXITSTATUS(status));
      ok = false;
    }
    if (!ok) {
      const std::string tail = logTail(log_);
      if (!tail.empty()) error += ":\n" + tail;
    }
  }
  if (log_) {
    std::fclose(log_);
    log_ = nullptr;
  }
  return ok;
}
