// Ranges side by side, their join and the video under its name.
#include "capture/parallel_capture.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "capture/capture_farm.h"
#include "capture/ffmpeg_pipe.h"
#include "capture/progress_bar.h"
#include "capture/range_jobs.h"
#include "capture/stop_signals.h"
#include "platform/output_file.h"
#include "platform/sound.h"
#include "runtime/music.h"

namespace fs = std::filesystem;

namespace {

// The cores one range keeps busy: a range renders with one thread of the
// software renderer (below), and its encoder runs beside it, ffmpeg taking
// 2 to 9 % of a capture's CPU time.
constexpr double kCoresPerRange = 1.1;

unsigned coreCount() { return std::max(1u, std::thread::hardware_concurrency()); }

// A hidden folder beside the video, so that renaming the joined video to its
// name never crosses file systems. Removed with everything in it; named with
// this process's id, so that the next capture to the same video clears one
// that a killed capture left.
class WorkFolder {
 public:
  explicit WorkFolder(const fs::path& video) {
    platform::clearAbandonedStaging(video.string());
    std::string pattern =
        platform::stagingPrefix(video.string()) + std::to_string(getpid()) + "-XXXXXX";
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~WorkFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::string readText(const std::string& path, bool& ok) {
  std::ifstream file(path);
  ok = static_cast<bool>(file);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

bool writeText(const fs::path& path, const std::string& text) {
  std::ofstream file(path);
  file << text;
  return static_cast<bool>(file.flush());
}

// The command lines of the ranges as processes of this machine.
std::vector<ChildSetup> rangesHere(const ParallelCapture& capture, int ranges,
                                   const fs::path& folder) {
  std::error_code ignored;
  const std::string program = fs::read_symlink("/proc/self/exe", ignored).string();
  std::vector<ChildSetup> setups;
  for (int index = 1; index <= ranges; ++index) {
    ChildSetup setup;
    setup.program = program;
    setup.args = {"tessaly", "--data", capture.dataFolder};
    const std::vector<std::string> range = rangeArguments(
        capture.settings, index, ranges, (folder / rangeVideoName(std::to_string(index))).string());
    setup.args.insert(setup.args.end(), range.begin(), range.end());
    // Nobody answers a range's questions, and its sound is never heard.
    setup.extraEnvironment = {"TESSALY_BATCH=1", "SDL_AUDIODRIVER=dummy"};
    // The ranges share the cores: Mesa's software renderer would otherwise
    // start a thread per core in every range, and they would wait on each
    // other. A renderer thread count given in the environment stays.
    if (!std::getenv("LP_NUM_THREADS"))
      setup.extraEnvironment.push_back("LP_NUM_THREADS=" +
                                       std::to_string(std::max(1u, coreCount() / ranges)));
    setups.push_back(setup);
  }
  return setups;
}

// The work folder on every machine, in the login's home folder: named after
// this capture's hidden folder, so that two captures never share one.
std::string machineWorkFolder(const fs::path& folder) {
  const std::string name = folder.filename().string();
  return "tessaly-capture-" + name.substr(name.rfind('-') + 1);
}

// GNU parallel runs each command, here and on the machines, with the shell
// $SHELL names. Where SHELL is unset (as under some service managers) a
// machine's job ends at once reporting success, and a shell that is not
// POSIX (fish, csh) cannot read the commands, which are POSIX shell; so it is
// told which shell to use.
const char* const kParallelShell = "PARALLEL_SHELL=/bin/sh";

// After a capture on the machines that failed or was stopped, whatever GNU
// parallel had no chance to remove goes: the work folder on every machine.
void clearMachines(const fs::path& folder) {
  ChildSetup clear;
  clear.program = "parallel";
  clear.extraEnvironment = {kParallelShell};
  clear.args = parallelClearArguments((folder / "logins").string(), machineWorkFolder(folder));
  std::string ignored;
  runCommand(clear, ignored);
}

// GNU parallel set up to run the ranges on the machines of the login file;
// false with the reason in error.
bool rangesOnMachines(const ParallelCapture& capture, const LoginFile& logins, int ranges,
                      const fs::path& folder, ChildSetup& parallel, std::string& error) {
  FarmSettings farm;
  farm.range = capture.settings;
  farm.ranges = ranges;
  farm.workFolder = machineWorkFolder(folder);
  farm.dataArchive = "tessaly-data.tar";
  const fs::path data = fs::path(capture.dataFolder).lexically_normal();
  farm.dataName = (data.has_filename() ? data : data.parent_path()).filename().string();

  ChildSetup tar;
  tar.program = "tar";
  tar.args = {"tar",
              "-cf",
              (folder / farm.dataArchive).string(),
              "-C",
              (data.has_filename() ? data : data.parent_path()).parent_path().string(),
              farm.dataName};
  if (!runCommand(tar, error)) {
    error = "cannot pack the data folder " + capture.dataFolder + ": " + error;
    return false;
  }
  std::string loginLines, commands;
  for (const std::string& login : logins.logins) loginLines += login + "\n";
  for (int index = 1; index <= ranges; ++index) commands += hostCommand(farm, index) + "\n";
  if (!writeText(folder / "logins", loginLines) || !writeText(folder / "commands", commands)) {
    error = "cannot write into " + folder.string();
    return false;
  }
  parallel.program = "parallel";
  parallel.extraEnvironment = {kParallelShell};
  parallel.args = {"parallel"};
  const std::vector<std::string> args =
      parallelArguments(farm, (folder / "logins").string(), (folder / "joblog").string());
  parallel.args.insert(parallel.args.end(), args.begin(), args.end());
  parallel.folder = folder.string();
  parallel.input = (folder / "commands").string();
  return true;
}

// Joins the ranges' videos in order into `joined`, with the soundtrack.
bool joinRanges(const ParallelCapture& capture, int ranges, int frames, const fs::path& folder,
                const fs::path& joined, std::string& error) {
  std::string list;
  for (int index = 1; index <= ranges; ++index)
    list += "file '" + rangeVideoName(std::to_string(index)) + "'\n";
  if (!writeText(folder / "ranges.txt", list)) {
    error = "cannot write into " + folder.string();
    return false;
  }
  const CaptureRequest& request = capture.settings.capture;
  VideoSettings video;
  video.path = joined.string();
  video.fps = request.fps;
  video.joinedList = (folder / "ranges.txt").string();
  if (capture.withSound) {
    video.audioPath = (fs::path(capture.dataFolder) / musicFileName()).string();
    video.audioStartSample = musicSampleOffset(request.start);
    video.audioSamples =
        std::llround(static_cast<double>(frames) * platform::kMixRate / request.fps);
    video.audioRate = platform::kMixRate;
  }
  FfmpegPipe ffmpeg;
  return ffmpeg.start(video, error) && ffmpeg.finish(error);
}

}  // namespace

int defaultCaptureJobs() { return std::max(1, static_cast<int>(coreCount() / kCoresPerRange)); }

bool parallelCaptureToolsAvailable(const ParallelCapture& capture) {
  if (capture.loginFile.empty()) return true;
  for (const char* tool : {"parallel", "rsync", "tar"}) {
    if (!findOnPath(tool).empty()) continue;
    std::fprintf(stderr,
                 "tessaly: cannot capture on the machines of %s: the %s command was not found on "
                 "PATH.\nInstall it (Debian: apt-get install %s) and try again.\n",
                 capture.loginFile.c_str(), tool, tool);
    return false;
  }
  return true;
}

int runParallelCapture(const ParallelCapture& capture) {
  const CaptureRequest& request = capture.settings.capture;
  const std::string& target = request.path;
  const auto fail = [&](const std::string& why) {
    std::fprintf(stderr, "\ntessaly: the capture to %s failed: %s\n", target.c_str(), why.c_str());
    return 1;
  };
  LoginFile logins;
  if (!capture.loginFile.empty()) {
    bool read = false;
    const std::string text = readText(capture.loginFile, read);
    if (!read) return fail("cannot read the sshlogin file " + capture.loginFile);
    logins = parseLoginFile(text);
    if (!logins.error.empty())
      return fail("the sshlogin file " + capture.loginFile + " cannot be used: " + logins.error);
  }
  const int frames = captureFrameCount(request.start, request.stop, request.fps);
  const int jobs = capture.jobs > 0 ? capture.jobs : logins.slots;
  const int ranges = rangeCount(frames, jobs);

  const WorkFolder work(target);
  if (work.path().empty())
    return fail("cannot make a working folder beside it: " + std::string(std::strerror(errno)));
  const fs::path& folder = work.path();
  // A video ffmpeg cannot write there fails now, not after every range has rendered.
  const fs::path joined = folder / ("joined" + fs::path(target).extension().string());
  {
    std::string error;
    if (!checkVideoTarget(joined.string(), capture.withSound, error))
      return fail("ffmpeg cannot write a video there: " + error);
  }

  const std::string where = capture.loginFile.empty()
                                ? "as " + std::to_string(ranges) + " processes side by side"
                                : "on the machines of " + capture.loginFile + " (" +
                                      std::to_string(logins.slots) +
                                      " at once) through GNU parallel";
  std::fprintf(stderr,
               "tessaly: capturing %.3f s to %.3f s of the show, %d x %d at %d fps (%d frames, "
               "x264 preset %s) to %s in %d ranges %s\n",
               request.start, request.stop, capture.settings.width, capture.height, request.fps,
               frames, request.preset.empty() ? kDefaultX264Preset : request.preset.c_str(),
               target.c_str(), ranges, where.c_str());

  ProgressBar bar(frames);
  bar.update(0);
  const RangeProgress progress = [&](int done) { bar.update(done); };
  catchStopSignals(true);
  RangeRun run;
  if (capture.loginFile.empty()) {
    run = runRangesHere(rangesHere(capture, ranges, folder), TESSALY_VERSION, progress);
  } else {
    ChildSetup parallel;
    std::string error;
    if (!rangesOnMachines(capture, logins, ranges, folder, parallel, error)) {
      catchStopSignals(false);
      return fail(error);
    }
    run = runRangesThroughParallel(parallel, ranges, (folder / "joblog").string(), TESSALY_VERSION,
                                   progress);
    if (!run.ok) clearMachines(folder);
  }
  catchStopSignals(false);
  if (run.stopped) {
    std::fprintf(stderr, "\ntessaly: capture stopped; nothing was written to %s\n", target.c_str());
    return 1;
  }
  if (!run.ok) {
    if (run.failedRange == 0) return fail(run.message);
    const FrameRange range = frameRange(frames, run.failedRange, ranges);
    char which[200];
    std::snprintf(which, sizeof which, "range %d of %d (frames %d to %d, %.3f s to %.3f s)",
                  run.failedRange, ranges, range.first, range.first + range.count - 1,
                  captureFrameTime(request.start, request.fps, range.first),
                  captureFrameTime(request.start, request.fps, range.first + range.count));
    return fail(std::string(which) + (run.host.empty() ? "" : " on " + run.host) +
                " failed: " + run.message);
  }
  for (int index = 1; index <= ranges; ++index) {
    if (!fs::exists(folder / rangeVideoName(std::to_string(index))))
      return fail("the video of range " + std::to_string(index) + " of " + std::to_string(ranges) +
                  " did not come back");
  }
  bar.update(frames);

  std::string error;
  if (!joinRanges(capture, ranges, frames, folder, joined, error))
    return fail("joining the ranges' videos: " + error);
  std::error_code renamed;
  fs::rename(joined, target, renamed);
  if (renamed) return fail("cannot move the joined video into place: " + renamed.message());
  std::fprintf(stderr, "tessaly: wrote %s (%d frames, %.3f s) from %d ranges\n", target.c_str(),
               frames, static_cast<double>(frames) / request.fps, ranges);
  return 0;
}
