// Live shaders on a copy of the data pack: an edited final pass is rebuilt
// once and changes the next frame; a broken edit prints its file's log and
// keeps the last working program; restoring the file restores the picture.
#include "app/live_shaders.h"

#include <gtest/gtest.h>
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
#include <vector>

#include "app/gl_window.h"
#include "app/main_loop.h"
#include "app/offline_render.h"
#include "app/teardown.h"
#include "demo/part_start.h"
#include "render/frame_readback.h"
#include "render/shader_set.h"
#include "runtime/demo_state.h"
#include "support/show_window.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kFinalPass = "PostProcessing//f_blurpass.cpp";

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

TEST(LiveShaders, AnEditRebuildsOnceABrokenOneKeepsTheLastProgram) {
  const fs::path pack = fs::path(::testing::TempDir()) / "live_shaders_data";
  fs::remove_all(pack);
  fs::create_directories(pack);
  const fs::path source = TESSALY_BINARY_DIR "/data";
  for (const char* folder : {"newneomeshes", "textures", "music"})
    fs::create_directory_symlink(source / folder, pack / folder);
  for (const char* folder : {"Materials", "PostProcessing"})
    fs::copy(source / folder, pack / folder, fs::copy_options::recursive);
  ASSERT_EQ(chdir(pack.c_str()), 0);

  const auto state = std::make_unique<DemoState>();
  DemoState& demo = *state;
  demo.music.enabled = false;
  setenv("TESSALY_BATCH", "1", 1);
  demo.options.renderWidth = demo.options.viewportWidth = 160;
  demo.options.renderHeight = demo.options.viewportHeight = 90;
  part_start content;
  ASSERT_TRUE(openShowWindow(demo, content, 160, 90));
  const ShaderSet& shaders = content.shaders;
  const int finalBlur = content.programs.finalBlur;
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

}  // namespace
