// The final pass's program gets the spectrum as a width x 1 texture,
// "texture1d_dsp" on unit 4, while it draws: a final pass that shows texel x
// of it in column x of the window shows the frame's spectrum bytes.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include "app/gl_window.h"
#include "app/main_loop.h"
#include "app/teardown.h"
#include "capture/offline_render.h"
#include "demo/part_start.h"
#include "render/frame_readback.h"
#include "runtime/demo_state.h"
#include "support/show_window.h"

namespace {

constexpr int kWidth = 160, kHeight = 90;

TEST(FinalPassInputs, TheSpectrumTextureIsOnUnitFourWhileTheFinalPassDraws) {
  setenv("TESSALY_BATCH", "1", 1);
  ASSERT_EQ(chdir(TESSALY_BINARY_DIR "/data"), 0);
  const auto state = std::make_unique<DemoState>();
  DemoState& demo = *state;
  demo.music.enabled = false;  // the spectrum stays the one written below
  demo.options.renderWidth = demo.options.viewportWidth = kWidth;
  demo.options.renderHeight = demo.options.viewportHeight = kHeight;
  part_start content;
  ASSERT_TRUE(openShowWindow(demo, content, kWidth, kHeight));

  const std::filesystem::path source =
      std::filesystem::path(::testing::TempDir()) / "spectrum_final_pass.glsl";
  std::ofstream(source) << "uniform sampler2D texture1d_dsp;\n"
                           "out vec4 fragColor;\n"
                           "void main() {\n"
                           "  fragColor = texelFetch(texture1d_dsp, ivec2(gl_FragCoord.x, 0), 0);\n"
                           "}\n";
  content.showShaders().buildFragmentProgram(source.c_str(), content.programSlots().finalBlur);
  // Band i holds byte 255 - i.
  for (int i = 0; i < kSpectrumSize; ++i) demo.input.frameInput.spectrum[i] = (255.5f - i) / 255.0f;

  OfflineClock clock = beginOfflineClock(demo);
  runOfflineFrame(demo, clock, 50.0);
  const std::vector<uint8_t> pixels = readWindowPixels(demo.renderer, kWidth, kHeight);
  const size_t row = (kHeight / 2) * kWidth * 3;
  for (int x = 0; x < kWidth; ++x) {
    ASSERT_EQ(pixels[row + 3 * x], 255 - x) << "column " << x;
    ASSERT_EQ(pixels[row + 3 * x + 2], 255 - x) << "column " << x;
  }
  // The sampler read the spectrum from unit 4 (a sampler no one sets reads
  // unit 0, where the spectrum's upload also leaves it).
  const GLuint program = content.showShaders().programs[content.programSlots().finalBlur].value;
  GLint unit = -1;
  glGetUniformiv(program, glGetUniformLocation(program, "texture1d_dsp"), &unit);
  EXPECT_EQ(unit, 4);
  tearDownShow(demo, false);
}

}  // namespace
