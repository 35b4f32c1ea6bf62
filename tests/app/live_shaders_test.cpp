// Live shaders on a copy of the data pack: an edited final pass is rebuilt
// once and changes the next frame; a broken edit prints its file's log and
// keeps the last working program; restoring the file restores the picture.
// Then the program itself with --live: each file a maker saves is rebuilt
// once from the main loop, and no other.
#include "app/live_shaders.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/gl_window.h"
#include "app/main_loop.h"
#include "app/teardown.h"
#include "capture/offline_render.h"
#include "demo/part_start.h"
#include "render/frame_readback.h"
#include "render/shader_set.h"
#include "runtime/demo_state.h"
#include "support/show_window.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFinalPass = "PostProcessing//f_blurpass.cpp";
constexpr const char* kGodRays = "PostProcessing//f_godrays.cpp";

// A copy of the data pack's shaders, beside links to the rest, in a fresh
// folder of the test's own.
fs::path copyDataPack(const std::string& name) {
  const fs::path pack = fs::path(::testing::TempDir()) / name;
  fs::remove_all(pack);
  fs::create_directories(pack);
  const fs::path source = TESSALY_BINARY_DIR "/data";
  for (const char* folder : {"newneomeshes", "textures", "music"})
    fs::create_directory_symlink(source / folder, pack / folder);
  for (const char* folder : {"Materials", "PostProcessing"})
    fs::copy(source / folder, pack / folder, fs::copy_options::recursive);
  return pack;
}

// Writes the file and moves its time a second on, so the change shows even
// where the file system keeps coarse times.
void rewrite(const std::string& path, const std::string& text) {
  const fs::file_time_type before = fs::last_write_time(path);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  fs::last_write_time(path, before + std::chrono::seconds(1));
}

std::string readAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

bool allRed(const std::vector<uint8_t>& rgb) {
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    if (rgb[i] != 255 || rgb[i + 1] != 0 || rgb[i + 2] != 0) return false;
  return true;
}

// Saves the file as an editor that writes a new file and renames it over the
// old one does, so that a program watching it never sees it half written,
// with its time `later` on from the old file's.
void save(const std::string& path, const std::string& text, fs::file_time_type::duration later) {
  const fs::file_time_type before = fs::last_write_time(path);
  const std::string saved = path + ".saved";
  std::ofstream(saved, std::ios::binary | std::ios::trunc) << text;
  fs::last_write_time(saved, before + later);
  fs::rename(saved, path);
}

size_t count(const std::string& text, const std::string& part) {
  size_t found = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
  return found;
}

TEST(LiveShaders, AnEditRebuildsOnceABrokenOneKeepsTheLastProgram) {
  const fs::path pack = copyDataPack("live_shaders_data");
  ASSERT_EQ(chdir(pack.c_str()), 0);

  const auto state = std::make_unique<DemoState>();
  DemoState& demo = *state;
  demo.music.enabled = false;
  setenv("TESSALY_BATCH", "1", 1);
  demo.options.renderWidth = demo.options.viewportWidth = 160;
  demo.options.renderHeight = demo.options.viewportHeight = 90;
  part_start content;
  ASSERT_TRUE(openShowWindow(demo, content, 160, 90));
  const ShaderSet& shaders = content.showShaders();
  const int finalBlur = content.programSlots().finalBlur;
  const unsigned original = shaders.programs[finalBlur].value;
  watchShaderFiles(content.programFiles());
  OfflineClock clock = beginOfflineClock(demo);
  EXPECT_EQ(rebuildChangedShaders(content), 0) << "nothing changed yet";

  const std::string originalText = readAll(kFinalPass);
  rewrite(kFinalPass,
          "out vec4 fragColor;\nvoid main() { fragColor = vec4(1.0, 0.0, 0.0, 1.0); }\n");
  EXPECT_EQ(rebuildChangedShaders(content), 1);
  EXPECT_EQ(rebuildChangedShaders(content), 0) << "rebuilt again without a change";
  const unsigned red = shaders.programs[finalBlur].value;
  EXPECT_NE(red, original);
  runOfflineFrame(demo, clock, 12.5);
  EXPECT_TRUE(allRed(readWindowPixels(demo.renderer, 160, 90)))
      << "the edited pass did not draw the frame";

  rewrite(kFinalPass, "out vec4 fragColor;\nvoid main() { fragColor = vec4(1.0; }\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(rebuildChangedShaders(content), 0);
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find(std::string(kFinalPass) + ": does not compile; the program in use stays"),
            std::string::npos)
      << log;
  EXPECT_EQ(shaders.programs[finalBlur].value, red);
  runOfflineFrame(demo, clock, 12.6);
  EXPECT_TRUE(allRed(readWindowPixels(demo.renderer, 160, 90)))
      << "a broken edit changed the picture";
  EXPECT_EQ(rebuildChangedShaders(content), 0) << "a broken file is retried only when it changes";

  rewrite(kFinalPass, originalText);
  EXPECT_EQ(rebuildChangedShaders(content), 1);
  runOfflineFrame(demo, clock, 12.7);
  EXPECT_FALSE(allRed(readWindowPixels(demo.renderer, 160, 90)));
  tearDownShow(demo, false);
}

// The program played with --live, its standard output and error in a file;
// stopped as a closed window stops it.
class LiveProgram {
 public:
  LiveProgram(const fs::path& pack, const fs::path& output) : output_(output) {
    pid_ = fork();
    if (pid_ != 0) return;
    const int file = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(file, STDOUT_FILENO);
    dup2(file, STDERR_FILENO);
    setenv("TESSALY_BATCH", "1", 1);
    execl(TESSALY_BINARY_DIR "/tessaly", "tessaly", "--live", "--data", pack.c_str(), "--no-dialog",
          "--width", "160", static_cast<char*>(nullptr));
    _exit(127);
  }
  ~LiveProgram() {
    if (pid_ > 0 && !ended_) stop();
  }

  // Whether the output shows `text` within `seconds`, the program running.
  bool says(const std::string& text, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
      if (output().find(text) != std::string::npos) return true;
      if (waitpid(pid_, &status_, WNOHANG) == pid_) {
        ended_ = true;
        return output().find(text) != std::string::npos;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  // Asks the program to end (SDL turns the signal into the window's close
  // request) and returns its exit code, -1 when it did not exit normally.
  int stop() {
    if (!ended_) {
      kill(pid_, SIGTERM);
      waitpid(pid_, &status_, 0);
      ended_ = true;
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
  }
  std::string output() const { return readAll(output_.string()); }

 private:
  fs::path output_;
  pid_t pid_ = -1;
  int status_ = 0;
  bool ended_ = false;
};

// A maker saves the final pass unchanged (its time moves on, its size stays)
// and then the god rays a second time within one time stamp (the size
// changes, the time stays): each program is rebuilt once, by the main loop's
// own watch of the files, and no other program is.
TEST(LiveShaders, TheProgramRebuildsEachSavedFileOnce) {
  const fs::path pack = copyDataPack("live_program_data");
  const std::string finalPass = (pack / kFinalPass).string();
  const std::string godRays = (pack / kGodRays).string();
  LiveProgram program(pack, pack / "output.txt");
  ASSERT_TRUE(program.says("live shaders: watching", 120.0)) << program.output();
  // The files are looked at four times a second: a program rebuilt at every
  // look would show six times over in a second and a half.
  const auto sixPolls = std::chrono::milliseconds(1500);

  save(finalPass, readAll(finalPass), std::chrono::seconds(1));
  ASSERT_TRUE(program.says(std::string("live shaders: ") + kFinalPass + " rebuilt", 30.0))
      << program.output();
  std::this_thread::sleep_for(sixPolls);
  save(godRays, readAll(godRays) + "// tuned\n", std::chrono::seconds(0));
  ASSERT_TRUE(program.says(std::string("live shaders: ") + kGodRays + " rebuilt", 30.0))
      << program.output();
  std::this_thread::sleep_for(sixPolls);

  EXPECT_EQ(program.stop(), 0) << program.output();
  const std::string output = program.output();
  EXPECT_EQ(count(output, kFinalPass + std::string(" rebuilt")), 1u) << output;
  EXPECT_EQ(count(output, kGodRays + std::string(" rebuilt")), 1u) << output;
  EXPECT_EQ(count(output, " rebuilt"), 2u) << output;
}

}  // namespace
