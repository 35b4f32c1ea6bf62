// Capture end to end: the built program renders short ranges of the show to
// video files, checked with ffprobe and ffmpeg: frame count, size, duration,
// the soundtrack's section in sync, repeatable frames, the same frames with
// and without the overlapped readback, a capture stopped early, the encoder's
// preset, and the failures a user meets when ffmpeg is missing or cannot
// write the file. Then the capture in ranges, side by side and on two
// machines through GNU parallel: the same frames byte for byte as one
// process, and a failed, stopped or mismatched range leaving nothing.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "support/own_display.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRate = 44100;
const std::string kProgram = TESSALY_BINARY_DIR "/tessaly";
const std::string kMusic = TESSALY_BINARY_DIR "/data/music/Kelvane - Tessaly.mp3";

struct CommandRun {
  int status = -1;  // exit code, or -1 when the command did not exit normally
  std::string output;
};

std::string quoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

CommandRun run(const std::string& command) {
  CommandRun result;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
  const int status = pclose(pipe);
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  return result;
}

// A fresh folder for one test's files.
struct Scratch {
  fs::path folder;
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "tessaly-capture-XXXXXX").string();
    folder = mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
  }
  ~Scratch() {
    std::error_code ignored;
    if (!folder.empty()) fs::remove_all(folder, ignored);
  }
  std::string file(const std::string& name) const { return (folder / name).string(); }
};

// The program's capture with its messages (stdout and stderr together).
CommandRun capture(const std::string& path, const std::string& options,
                   const std::string& environment = "") {
  return run("TESSALY_BATCH=1 SDL_AUDIODRIVER=dummy " + environment + " " + quoted(kProgram) +
             " --capture " + quoted(path) + " " + options + " 2>&1");
}

// ffprobe's key=value lines for one stream.
std::map<std::string, std::string> probeStream(const std::string& path, const std::string& stream) {
  const CommandRun probe =
      run("ffprobe -v error -count_frames -select_streams " + stream +
          " -show_entries stream=codec_name,pix_fmt,width,height,duration,nb_read_frames"
          " -of default=noprint_wrappers=1 " +
          quoted(path));
  std::map<std::string, std::string> values;
  std::istringstream lines(probe.output);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return values;
}

double number(const std::map<std::string, std::string>& values, const std::string& key) {
  const auto found = values.find(key);
  return found == values.end() ? NAN : std::atof(found->second.c_str());
}

// Mono float samples at 44100 Hz decoded by ffmpeg from a file's audio.
std::vector<float> decodeAudio(const std::string& path) {
  const CommandRun decoded =
      run("ffmpeg -v error -i " + quoted(path) + " -vn -ac 1 -ar 44100 -f f32le -");
  std::vector<float> samples(decoded.output.size() / sizeof(float));
  std::memcpy(samples.data(), decoded.output.data(), samples.size() * sizeof(float));
  return samples;
}

// One MD5 per decoded frame, in order.
std::vector<std::string> frameHashes(const std::string& path) {
  const CommandRun hashes = run("ffmpeg -v error -i " + quoted(path) + " -map 0:v -f framemd5 -");
  std::vector<std::string> result;
  std::istringstream lines(hashes.output);
  std::string line;
  while (std::getline(lines, line))
    if (!line.empty() && line[0] != '#') result.push_back(line.substr(line.rfind(',') + 1));
  return result;
}

// The lag (in samples, within +-maxLag) at which `section` best matches
// `track` from `offset`, by normalised correlation; also the correlation.
std::pair<int, double> bestLag(const std::vector<float>& track, size_t offset,
                               const std::vector<float>& section, int length, int maxLag) {
  int best = 0;
  double bestScore = -2.0;
  for (int lag = -maxLag; lag <= maxLag; ++lag) {
    double dot = 0.0, a = 0.0, b = 0.0;
    for (int i = 0; i < length; ++i) {
      const double x = section[i];
      const double y = track[offset + lag + i];
      dot += x * y;
      a += x * x;
      b += y * y;
    }
    const double score = dot / std::sqrt(a * b + 1e-30);
    if (score > bestScore) {
      bestScore = score;
      best = lag;
    }
  }
  return {best, bestScore};
}

// Mean level of each decoded frame, over all its pixels and channels.
std::vector<double> frameBrightness(const std::string& path) {
  const CommandRun raw = run("ffmpeg -v error -i " + quoted(path) + " -f rawvideo -pix_fmt gray -");
  const std::map<std::string, std::string> picture = probeStream(path, "v:0");
  const size_t size = static_cast<size_t>(number(picture, "width") * number(picture, "height"));
  std::vector<double> levels;
  for (size_t start = 0; size > 0 && start + size <= raw.output.size(); start += size) {
    double sum = 0.0;
    for (size_t i = start; i < start + size; ++i) sum += static_cast<unsigned char>(raw.output[i]);
    levels.push_back(sum / size);
  }
  return levels;
}

// The files in a folder and below it, by name relative to it.
std::set<std::string> filesIn(const fs::path& folder) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (!entry.is_directory()) files.insert(fs::relative(entry.path(), folder).string());
  return files;
}

void writeScript(const std::string& path, const std::string& text) {
  std::ofstream(path) << "#!/usr/bin/env bash\n" << text;
  fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
}

// A capture of 40 s of the show on a display of its own, stopped with Escape
// once the progress bar counts a few frames (a busy machine may take seconds
// for the first), as a viewer would. A display of its own, so that the key
// cannot reach the window of another test running at the same time; the
// status is the program's own.
CommandRun captureStoppedByEscape(const std::string& video) {
  const OwnDisplay display;
  if (display.name().empty()) return {-1, "no display of its own: Xvfb did not start"};
  const std::string script =
      "TESSALY_BATCH=1 SDL_AUDIODRIVER=dummy " + quoted(kProgram) + " --capture " + quoted(video) +
      " --stop 40 --fps 10 --width 160 > \"$0\" 2>&1 & pid=$!; " +
      "for i in $(seq 1200); do grep -Eq ' ([3-9]|[1-9][0-9]+)/400 frames' \"$0\" && break; " +
      "sleep 0.1; done; xdotool key Escape; wait $pid; code=$?; cat \"$0\"; exit $code";
  return run("DISPLAY=" + display.name() + " bash -c " + quoted(script) + " " +
             quoted(video + ".log"));
}

}  // namespace

// Two seconds at 10 fps, 320 wide: the frames, the size, the duration, the
// sound, the progress bar's end, and the sound being the track's section at
// the capture's start to within a millisecond.
TEST(Capture, ShortRangeMakesAVideoWithItsSoundtrackInSync) {
  Scratch scratch;
  const std::string video = scratch.file("short range.mp4");
  const CommandRun result = capture(video, "--start 18 --stop 20 --fps 10 --width 320");
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("100%  20/20 frames"), std::string::npos) << result.output;

  const auto picture = probeStream(video, "v:0");
  EXPECT_EQ(picture.at("codec_name"), "h264");
  EXPECT_EQ(picture.at("pix_fmt"), "yuv420p");
  EXPECT_EQ(picture.at("width"), "320");
  EXPECT_EQ(picture.at("height"), "180");
  EXPECT_EQ(picture.at("nb_read_frames"), "20");
  EXPECT_NEAR(number(picture, "duration"), 2.0, 1e-3);

  const auto sound = probeStream(video, "a:0");
  ASSERT_EQ(sound.count("codec_name"), 1u) << "no audio stream";
  EXPECT_EQ(sound.at("codec_name"), "aac");
  EXPECT_NEAR(number(sound, "duration"), 2.0, 0.03);

  const std::vector<float> track = decodeAudio(kMusic);
  const std::vector<float> section = decodeAudio(video);
  const int length = kRate / 2;
  ASSERT_GE(section.size(), static_cast<size_t>(length));
  ASSERT_GE(track.size(), static_cast<size_t>(20 * kRate));
  const auto [lag, correlation] = bestLag(track, 18 * kRate, section, length, kRate / 20);
  EXPECT_GT(correlation, 0.9);
  EXPECT_LE(std::abs(lag), kRate / 1000) << "the sound is " << lag << " samples off the picture";
}

TEST(Capture, TheSameRangeTwiceDecodesToIdenticalFrames) {
  Scratch scratch;
  const std::string options = "--start 20.5 --stop 21.5 --fps 10 --width 320";
  const CommandRun first = capture(scratch.file("first.mp4"), options);
  const CommandRun second = capture(scratch.file("second.mp4"), options);
  ASSERT_EQ(first.status, 0) << first.output;
  ASSERT_EQ(second.status, 0) << second.output;
  const std::vector<std::string> a = frameHashes(scratch.file("first.mp4"));
  const std::vector<std::string> b = frameHashes(scratch.file("second.mp4"));
  ASSERT_EQ(a.size(), 10u);
  EXPECT_EQ(a, b);
  // The show moves over this second, so equal lists mean equal pictures, not a still.
  EXPECT_GT(std::set<std::string>(a.begin(), a.end()).size(), 5u);
}

// Readback through pixel buffers and the writer thread change when a frame
// reaches ffmpeg, never what it holds: a range across a scene cut, at a size
// whose rows are not a multiple of four bytes and whose height is odd,
// decodes to the same frames as the step-by-step path.
TEST(Capture, OverlappedReadbackGivesTheFramesOfTheStepByStepPath) {
  Scratch scratch;
  const std::string options = "--start 19.5 --stop 20.7 --fps 10 --width 322";
  const CommandRun overlapped = capture(scratch.file("overlapped.mp4"), options);
  const CommandRun stepByStep =
      capture(scratch.file("step by step.mp4"), options, "TESSALY_CAPTURE_SYNC=1");
  ASSERT_EQ(overlapped.status, 0) << overlapped.output;
  ASSERT_EQ(stepByStep.status, 0) << stepByStep.output;
  const std::vector<std::string> a = frameHashes(scratch.file("overlapped.mp4"));
  const std::vector<std::string> b = frameHashes(scratch.file("step by step.mp4"));
  ASSERT_EQ(a.size(), 12u);
  EXPECT_EQ(a, b);
  EXPECT_GT(std::set<std::string>(a.begin(), a.end()).size(), 6u);
}

// Closing the window mid-capture (SDL turns SIGTERM into the same close
// request): exit code 1, the message, and a file holding every frame
// rendered so far, the last one included, in order.
TEST(Capture, AStoppedCaptureHoldsEveryFrameRenderedSoFar) {
  Scratch scratch;
  const std::string video = scratch.file("stopped.mp4");
  const std::string log = scratch.file("stopped.log");
  const std::string start =
      "TESSALY_BATCH=1 SDL_AUDIODRIVER=dummy " + quoted(kProgram) + " --capture " + quoted(video) +
      " --start 20 --stop 60 --fps 10 --width 320 > " + quoted(log) +
      " 2>&1 & pid=$!; "
      // Once the progress bar counts a few frames, ask the window to close: a
      // busy machine may take seconds for the first one.
      "for i in $(seq 1200); do grep -Eq ' ([3-9]|[1-9][0-9]+)/400 frames' " +
      quoted(log) + " && break; sleep 0.1; done; kill -TERM $pid; wait $pid; echo $?";
  const CommandRun stopped = run(start);
  std::ifstream logFile(log);
  const std::string output((std::istreambuf_iterator<char>(logFile)),
                           std::istreambuf_iterator<char>());
  EXPECT_EQ(stopped.output, "1\n") << output;
  int held = 0, total = 0;
  const size_t said = output.find("capture stopped after");
  ASSERT_NE(said, std::string::npos) << output;
  ASSERT_EQ(std::sscanf(output.c_str() + said, "capture stopped after %d of %d", &held, &total), 2)
      << output;
  EXPECT_EQ(total, 400);
  ASSERT_GT(held, 0) << output;
  EXPECT_NE(output.find(video + " holds them"), std::string::npos) << output;

  // The same frames as a capture that ends there by itself.
  const std::string whole = scratch.file("whole.mp4");
  const CommandRun reference = capture(
      whole, "--start 20 --stop " + std::to_string(20 + held / 10.0) + " --fps 10 --width 320");
  ASSERT_EQ(reference.status, 0) << reference.output;
  const std::vector<std::string> a = frameHashes(video);
  EXPECT_EQ(a.size(), static_cast<size_t>(held));
  EXPECT_EQ(a, frameHashes(whole));
}

// x264 writes its settings into the stream: the default is the capture's
// usual preset (medium: subme=7), and --preset replaces it (ultrafast: subme=0).
TEST(Capture, ThePresetReachesTheEncoder) {
  Scratch scratch;
  const auto settings = [](const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    const size_t at = bytes.find("options: ");
    return at == std::string::npos ? std::string() : bytes.substr(at, bytes.find('\0', at) - at);
  };
  const std::string options = "--start 30 --stop 30.2 --fps 10 --width 160";
  const CommandRun usual = capture(scratch.file("usual.mp4"), options);
  const CommandRun fast = capture(scratch.file("fast.mp4"), options + " --preset ultrafast");
  ASSERT_EQ(usual.status, 0) << usual.output;
  ASSERT_EQ(fast.status, 0) << fast.output;
  EXPECT_NE(settings(scratch.file("usual.mp4")).find(" subme=7 "), std::string::npos)
      << settings(scratch.file("usual.mp4"));
  EXPECT_NE(settings(scratch.file("fast.mp4")).find(" subme=0 "), std::string::npos)
      << settings(scratch.file("fast.mp4"));
}

TEST(Capture, AMissingFfmpegIsReportedBeforeAnythingRenders) {
  Scratch scratch;
  const std::string video = scratch.file("never.mp4");
  const CommandRun result = capture(video, "--stop 1", "PATH=" + quoted(scratch.folder.string()));
  EXPECT_NE(result.status, 0);
  EXPECT_NE(result.output.find("ffmpeg command was not found"), std::string::npos) << result.output;
  EXPECT_FALSE(fs::exists(video));
}

// ffmpeg starts but cannot create the file: its own message reaches the user
// and the program fails instead of claiming a video.
TEST(Capture, AFailingFfmpegIsReportedWithItsMessage) {
  Scratch scratch;
  const std::string video = scratch.file("no such folder/out.mp4");
  const CommandRun result = capture(video, "--stop 1 --fps 10 --width 160");
  EXPECT_EQ(result.status, 1) << result.output;
  EXPECT_NE(result.output.find("capture to " + video + " failed"), std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("No such file or directory"), std::string::npos) << result.output;
  EXPECT_EQ(result.output.find("tessaly: wrote"), std::string::npos) << result.output;
}

// Frame n shows the show at start + n / fps: from 19.95 s, frame 0 is the
// opening's last moment and frame 1 (20.05 s) the first flash, which starts
// right after 20 s. A capture a frame late or early sees two flashes or none.
TEST(Capture, FrameZeroIsTheShowAtTheStartTime) {
  Scratch scratch;
  const std::string video = scratch.file("flash.mp4");
  const CommandRun result = capture(video, "--start 19.95 --stop 20.15 --fps 10 --width 160");
  ASSERT_EQ(result.status, 0) << result.output;
  const std::vector<double> levels = frameBrightness(video);
  ASSERT_EQ(levels.size(), 2u);
  EXPECT_LT(levels[0], 150.0) << "frame 0 is already in the flash";
  EXPECT_GT(levels[1], levels[0] + 100.0) << "frame 1 is not the flash";
}

// Escape stops the capture as a failure (it is not the video asked for),
// saying so and leaving a readable file with every frame it reports.
TEST(Capture, EscapeStopsItAsAFailureKeepingTheFrames) {
  Scratch scratch;
  const std::string video = scratch.file("escaped.mp4");
  const CommandRun result = captureStoppedByEscape(video);
  EXPECT_EQ(result.status, 1) << result.output;
  const std::string said = "capture stopped after ";
  const size_t at = result.output.find(said);
  ASSERT_NE(at, std::string::npos) << result.output;
  const int frames = std::atoi(result.output.c_str() + at + said.size());
  EXPECT_GT(frames, 0) << result.output;
  EXPECT_EQ(probeStream(video, "v:0")["nb_read_frames"], std::to_string(frames));
  EXPECT_EQ(result.output.find("tessaly: wrote"), std::string::npos) << result.output;
}

// Two ranges side by side give the continuous capture's frames byte for
// byte: the frames are encoded losslessly, so the decoded frames are the
// rendered ones. The joint is 100.5 s, a half second, where the tunnel's
// tiles take new seeds from int(2t): a clock a rounding off, or a range
// without the frames before its first, shows other tiles there.
TEST(SplitCapture, TwoRangesGiveTheContinuousCapturesFramesByteForByte) {
  Scratch scratch;
  const std::string options = "--start 100 --stop 101 --fps 60 --width 160 --preset ultrafast";
  const std::string lossless = "TESSALY_CAPTURE_LOSSLESS=1";
  const CommandRun continuous = capture(scratch.file("one.mp4"), options + " --jobs 1", lossless);
  const CommandRun split = capture(scratch.file("two.mp4"), options + " --jobs 2", lossless);
  ASSERT_EQ(continuous.status, 0) << continuous.output;
  ASSERT_EQ(split.status, 0) << split.output;
  EXPECT_NE(split.output.find("in 2 ranges"), std::string::npos) << split.output;
  EXPECT_NE(split.output.find("100%  60/60 frames"), std::string::npos) << split.output;

  const std::vector<std::string> a = frameHashes(scratch.file("one.mp4"));
  const std::vector<std::string> b = frameHashes(scratch.file("two.mp4"));
  ASSERT_EQ(a.size(), 60u);
  EXPECT_EQ(a, b);
  EXPECT_NE(a[29], a[30]);
  EXPECT_GT(std::set<std::string>(a.begin(), a.end()).size(), 55u);
  const auto sound = probeStream(scratch.file("two.mp4"), "a:0");
  ASSERT_EQ(sound.count("codec_name"), 1u) << "no audio stream";
  EXPECT_NEAR(number(sound, "duration"), 1.0, 0.03);
  // Nothing of the ranges is left beside the video.
  EXPECT_EQ(filesIn(scratch.folder), (std::set<std::string>{"one.mp4", "two.mp4"}));
}

// A range that fails fails the capture with its message, and leaves nothing
// under the video's name nor beside it. ffmpeg stands in for a full disk
// for the second range only.
TEST(SplitCapture, ARangeThatFailsFailsTheCaptureAndLeavesNothing) {
  Scratch scratch;
  fs::create_directory(scratch.file("bin"));
  writeScript(scratch.file("bin/ffmpeg"),
              "case \"$*\" in *range-2.mp4*) echo 'range-2.mp4: No space left on device' >&2; "
              "exit 1;; esac\nexec /usr/bin/ffmpeg \"$@\"\n");
  const std::string video = scratch.file("out.mp4");
  const CommandRun result = capture(video, "--start 30 --stop 31 --fps 10 --width 160 --jobs 2",
                                    "PATH=" + quoted(scratch.file("bin")) + ":\"$PATH\"");
  EXPECT_EQ(result.status, 1) << result.output;
  EXPECT_NE(result.output.find("capture to " + video + " failed: range 2 of 2 (frames 5 to 9"),
            std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("No space left on device"), std::string::npos) << result.output;
  EXPECT_EQ(result.output.find("tessaly: wrote"), std::string::npos) << result.output;
  EXPECT_EQ(filesIn(scratch.folder), (std::set<std::string>{"bin/ffmpeg"}));
}

// Asked to stop (SIGTERM, as Ctrl-C or a logout would), a split capture
// stops its ranges, says so and leaves nothing behind.
TEST(SplitCapture, AStoppedSplitCaptureLeavesNothing) {
  Scratch scratch;
  const std::string video = scratch.file("stopped.mp4");
  const std::string log = scratch.file("stopped.log");
  const CommandRun stopped =
      run("TESSALY_BATCH=1 SDL_AUDIODRIVER=dummy " + quoted(kProgram) + " --capture " +
          quoted(video) + " --start 20 --stop 60 --fps 10 --width 160 --jobs 2 > " + quoted(log) +
          " 2>&1 & pid=$!; for i in $(seq 600); do grep -q capturing " + quoted(log) +
          " && break; sleep 0.1; done; sleep 3; kill -TERM $pid; wait $pid; echo $?; "
          // The ranges' command lines name the hidden folder; this shell's does not.
          "pgrep -f " +
          quoted(scratch.folder.string() + "/\\.stopped\\.mp4\\.tessaly-") + " || echo none left");
  std::ifstream logFile(log);
  const std::string output((std::istreambuf_iterator<char>(logFile)),
                           std::istreambuf_iterator<char>());
  EXPECT_EQ(stopped.output, "1\nnone left\n") << output;
  EXPECT_NE(output.find("capture stopped; nothing was written to " + video), std::string::npos)
      << output;
  fs::remove(log);
  EXPECT_EQ(filesIn(scratch.folder), std::set<std::string>());
}

// Machines without a network for GNU parallel: its ssh is a stand-in that
// runs each command here, in a home folder of the machine's own, where
// "tessaly" is a script (this build behind `program`, a few lines of bash
// with $* the arguments).
struct StandInFarm {
  Scratch scratch;
  std::string homes = scratch.file("homes");
  std::string installed = scratch.file("installed");
  StandInFarm(const std::string& machines, const std::string& program) {
    fs::create_directories(homes);
    fs::create_directories(installed);
    writeScript(installed + "/tessaly", program + "\nexec " + quoted(kProgram) + " \"$@\"\n");
    std::ofstream(scratch.file("machines")) << machines;
  }
  // The command that captures to farm.mp4 on the machines, from their folder,
  // in an environment without SHELL (as under some service managers), which
  // GNU parallel would otherwise take as the shell for the machines' commands.
  std::string command(const std::string& options, const std::string& environment = "") const {
    return "cd " + quoted(scratch.folder.string()) + " && env -u SHELL PARALLEL_SSH=" +
           quoted(TESSALY_SOURCE_DIR "/tests/program/stand-in-ssh") +
           " STAND_IN_HOMES=" + quoted(homes) + " STAND_IN_PATH=" + quoted(installed) + " " +
           environment + " TESSALY_BATCH=1 SDL_AUDIODRIVER=dummy " + quoted(kProgram) +
           " --capture farm.mp4 --sshloginfile machines " + options;
  }
  // Nothing stays on the machines but the stand-in's log of their commands.
  bool machinesClean() const { return filesIn(homes) == std::set<std::string>{"log"}; }
};

// Two machines: each renders one range from the data folder it was sent,
// under the command line the program's own parser reads back, its video
// comes back, the machines are left clean, and the joined video is the
// continuous capture's, with its sound.
TEST(CaptureFarm, TwoMachinesThroughGnuParallelGiveTheContinuousCapture) {
  StandInFarm farm("# two machines\nalpha\n1/beta\n",
                   "echo \"$(basename \"$HOME\") $*\" >> \"$HOME/../../commands\"");
  const Scratch& scratch = farm.scratch;
  const std::string options = "--start 100 --stop 101 --fps 10 --width 160";
  const std::string video = scratch.file("farm.mp4");
  const CommandRun result = run(farm.command(options, "TESSALY_CAPTURE_LOSSLESS=1") + " 2>&1");
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("through GNU parallel"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("100%  10/10 frames"), std::string::npos) << result.output;
  const CommandRun continuous =
      capture(scratch.file("one.mp4"), options + " --jobs 1", "TESSALY_CAPTURE_LOSSLESS=1");
  ASSERT_EQ(continuous.status, 0) << continuous.output;
  const std::vector<std::string> frames = frameHashes(video);
  ASSERT_EQ(frames.size(), 10u);
  EXPECT_EQ(frames, frameHashes(scratch.file("one.mp4")));
  const auto sound = probeStream(video, "a:0");
  ASSERT_EQ(sound.count("codec_name"), 1u) << "no audio stream";
  EXPECT_NEAR(number(sound, "duration"), 1.0, 0.03);

  // One range on each machine, from the data folder it unpacked there.
  std::ifstream commandsFile(scratch.file("commands"));
  std::map<std::string, std::string> rangeOf;
  std::string line;
  while (std::getline(commandsFile, line)) {
    const std::string machine = line.substr(0, line.find(' '));
    std::vector<std::string> args;
    std::istringstream words(line.substr(machine.size() + 1));
    for (std::string word; words >> word;) args.push_back(word);
    ASSERT_GE(args.size(), 2u) << line;
    EXPECT_EQ(args[0], "--data") << line;
    const CommandLine parsed =
        parseCommandLine(std::vector<std::string>(args.begin() + 2, args.end()));
    EXPECT_EQ(parsed.error, "") << line;
    EXPECT_EQ(args[1], "data-" + std::to_string(parsed.rangeIndex) + "/data") << line;
    EXPECT_EQ(parsed.capturePath, "range-" + std::to_string(parsed.rangeIndex) + ".mp4") << line;
    EXPECT_EQ(parsed.start, 100.0);
    EXPECT_EQ(parsed.captureStop, 101.0);
    rangeOf[machine] = std::to_string(parsed.rangeIndex) + "/" + std::to_string(parsed.rangeCount);
  }
  EXPECT_EQ(rangeOf.size(), 2u);
  EXPECT_EQ(std::set<std::string>({rangeOf["alpha"], rangeOf["beta"]}),
            (std::set<std::string>{"1/2", "2/2"}));
  // Each machine was sent the data and sent back its video; nothing stays there.
  std::ifstream sshLog(farm.homes + "/log");
  const std::string calls((std::istreambuf_iterator<char>(sshLog)),
                          std::istreambuf_iterator<char>());
  for (const std::string machine : {"alpha", "beta"}) {
    EXPECT_NE(calls.find(machine + ": rsync --server "), std::string::npos) << calls;
    EXPECT_NE(calls.find("range-" + rangeOf[machine].substr(0, 1) + ".mp4"), std::string::npos)
        << calls;
  }
  EXPECT_TRUE(farm.machinesClean()) << testing::PrintToString(filesIn(farm.homes));
  EXPECT_EQ(filesIn(scratch.folder).count("farm.mp4"), 1u);
  for (const std::string& file : filesIn(scratch.folder))
    EXPECT_EQ(file.find(".farm.mp4"), std::string::npos) << file;
}

// A machine with another version of the program would render other frames:
// its range fails the capture, saying which version it ran, and the
// machines are cleared of what GNU parallel left.
TEST(CaptureFarm, AMachineWithAnotherVersionFailsTheCapture) {
  StandInFarm farm("alpha\nbeta\n",
                   "case \"$*\" in *'--range 2/2'*) echo 'tessaly-range: tessaly 0.9.0';; esac");
  const CommandRun result =
      run(farm.command("--start 10 --stop 12 --fps 10 --width 160") + " 2>&1");
  EXPECT_EQ(result.status, 1) << result.output;
  EXPECT_NE(result.output.find("range 2 of 2 (frames 10 to 19, 11.000 s to 12.000 s) failed: it "
                               "ran tessaly 0.9.0"),
            std::string::npos)
      << result.output;
  EXPECT_FALSE(fs::exists(farm.scratch.file("farm.mp4")));
  EXPECT_TRUE(farm.machinesClean()) << testing::PrintToString(filesIn(farm.homes));
}

// A range that fails on its machine fails the capture naming the range, the
// machine it ran on and the range's own last messages; nothing is written.
TEST(CaptureFarm, ARangeThatFailsOnAMachineIsNamedWithItsMachineAndMessages) {
  StandInFarm farm("alpha\nbeta\n",
                   "case \"$*\" in *'--range 2/2'*) echo \"render disk of $(basename \"$HOME\") "
                   "is full\" >&2; exit 3;; esac");
  const CommandRun result =
      run(farm.command("--start 10 --stop 12 --fps 10 --width 160") + " 2>&1");
  EXPECT_EQ(result.status, 1) << result.output;
  const std::string named = "range 2 of 2 (frames 10 to 19, 11.000 s to 12.000 s) on ";
  const size_t at = result.output.find(named);
  ASSERT_NE(at, std::string::npos) << result.output;
  const std::string host = result.output.substr(at + named.size(), 5);
  ASSERT_TRUE(host == "alpha" || host == "beta ") << result.output;
  const std::string machine = host == "alpha" ? "alpha" : "beta";
  EXPECT_NE(result.output.find(named + machine + " failed: exit status 3\n  render disk of " +
                               machine + " is full"),
            std::string::npos)
      << result.output;
  EXPECT_FALSE(fs::exists(farm.scratch.file("farm.mp4")));
  EXPECT_TRUE(farm.machinesClean()) << testing::PrintToString(filesIn(farm.homes));
}

// Stopped (SIGTERM), a capture on machines stops the ranges there, as a
// dropped connection does, and leaves nothing there or here.
TEST(CaptureFarm, AStoppedCaptureOnMachinesLeavesNothing) {
  StandInFarm farm("alpha\nbeta\n", "echo $$ >> \"$HOME/../../ranges\"");
  const std::string log = farm.scratch.file("stopped.log");
  const std::string ranges = farm.scratch.file("ranges");
  // Once both ranges run (their processes noted), stop the capture; then
  // whether any of them still runs once it has had 20 s to end (a busy
  // machine may take seconds to deliver the stop down the stand-in ssh).
  const CommandRun stopped =
      run("touch " + quoted(ranges) + "; (" +
          farm.command("--start 20 --stop 60 --fps 10 --width 160") + ") > " + quoted(log) +
          " 2>&1 & pid=$!; for i in $(seq 600); do [ $(wc -l < " + quoted(ranges) +
          ") -ge 2 ] && break; sleep 0.1; done; sleep 2; kill -TERM $pid; wait $pid; echo $?; "
          "for range in $(cat " +
          quoted(ranges) +
          "); do for i in $(seq 200); do kill -0 $range 2>/dev/null || break; sleep 0.1; done; "
          "kill -0 $range 2>/dev/null && echo $range runs; done; echo checked");
  std::ifstream logFile(log);
  const std::string output((std::istreambuf_iterator<char>(logFile)),
                           std::istreambuf_iterator<char>());
  EXPECT_EQ(stopped.output, "1\nchecked\n") << output;
  EXPECT_NE(output.find("capture stopped; nothing was written"), std::string::npos) << output;
  EXPECT_TRUE(farm.machinesClean()) << testing::PrintToString(filesIn(farm.homes));
  fs::remove(log);
  fs::remove(ranges);
  EXPECT_EQ(filesIn(farm.scratch.folder).count("farm.mp4"), 0u);
}
