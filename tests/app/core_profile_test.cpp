// The show under the OpenGL 3.3 core profile it asks for: the context is the
// core profile, a frame of every scene (with 4 samples and with one), the
// frame-time overlay and the benchmark's reference chain leave no GL error,
// and the overlay's text stands legible in the picture's top left corner.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/frame_overlay.h"
#include "app/gl_window.h"
#include "app/main_loop.h"
#include "app/teardown.h"
#include "capture/offline_render.h"
#include "demo/part_start.h"
#include "platform/png_file.h"
#include "render/frame_readback.h"
#include "render/reference_chain.h"
#include "render/render_startup.h"
#include "runtime/demo_state.h"
#include "support/show_window.h"

namespace {

constexpr int kWidth = 320, kHeight = 180;

// Every error GL has recorded since the last call, by code.
std::vector<GLenum> glErrors() {
  std::vector<GLenum> errors;
  for (GLenum error = glGetError(); error != GL_NO_ERROR && errors.size() < 16;
       error = glGetError())
    errors.push_back(error);
  return errors;
}

// A show of its own in a small window, drawn offline.
struct SmallShow {
  explicit SmallShow(bool antialiased) {
    setenv("TESSALY_BATCH", "1", 1);
    EXPECT_EQ(chdir(TESSALY_BINARY_DIR "/data"), 0);
    demo.music.enabled = false;
    demo.options.antialiased = antialiased;
    demo.options.renderWidth = demo.options.viewportWidth = kWidth;
    demo.options.renderHeight = demo.options.viewportHeight = kHeight;
    opened = openShowWindow(demo, content, kWidth, kHeight);
    clock = beginOfflineClock(demo);
  }
  ~SmallShow() { tearDownShow(demo, false); }

  // One frame at t with the frame-time overlay drawn over it.
  void frameWithOverlay(double t) {
    toggleFrameOverlay(demo.renderer);
    overlayFrameBegins();
    runOfflineFrame(demo, clock, t);
    drawFrameOverlay(demo);
    toggleFrameOverlay(demo.renderer);
  }

  std::unique_ptr<DemoState> state = std::make_unique<DemoState>();
  DemoState& demo = *state;
  part_start content;
  OfflineClock clock;
  bool opened = false;
};

TEST(CoreProfile, EveryScenePassAndOverlayDrawsWithoutAGLError) {
  for (bool antialiased : {true, false}) {
    SCOPED_TRACE(antialiased ? "4 samples" : "one sample");
    SmallShow show(antialiased);
    ASSERT_TRUE(show.opened);
    EXPECT_NE(contextDescription().find("core profile"), std::string::npos) << contextDescription();
    EXPECT_EQ(glErrors(), std::vector<GLenum>{}) << "after the startup";
    for (double t : {10.0, 25.0, 50.0, 140.0}) {
      runOfflineFrame(show.demo, show.clock, t);
      EXPECT_EQ(glErrors(), std::vector<GLenum>{}) << "in the frame at " << t << " s";
    }
    show.frameWithOverlay(140.5);
    EXPECT_EQ(glErrors(), std::vector<GLenum>{}) << "in the overlay";
    ReferenceChain chain(kWidth, kHeight, antialiased ? 4 : 0);
    chain.draw(show.demo.renderer);
    EXPECT_EQ(glErrors(), std::vector<GLenum>{}) << "in the reference chain";
  }
}

// The overlay's letters are drawn in a pale yellow over a darkened panel: the
// panel's corner is dark, and its top rows hold letters (runs of yellow
// pixels broken by gaps).
TEST(CoreProfile, TheOverlaysTextStandsInTheTopLeftCorner) {
  SmallShow show(true);
  ASSERT_TRUE(show.opened);
  show.frameWithOverlay(12.5);
  const std::vector<uint8_t> rgb = readWindowPixels(show.demo.renderer, kWidth, kHeight);
  const std::string saved = testing::TempDir() + "tessaly_overlay.png";
  std::string error;
  platform::writePng(saved, rgb.data(), kWidth, kHeight, error);
  auto yellow = [&](int x, int y) {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
    return p[0] > 200 && p[1] > 190 && p[2] > 100 && p[2] < 200;
  };
  // The first line of text lies within the top 14 rows (em = 10 pixels here).
  int yellowPixels = 0, letterStarts = 0;
  for (int y = 0; y < 14; ++y) {
    for (int x = 1; x < kWidth / 2; ++x) {
      yellowPixels += yellow(x, y);
      letterStarts += yellow(x, y) && !yellow(x - 1, y);
    }
  }
  EXPECT_GT(yellowPixels, 60) << "no text in the top left corner; see " << saved;
  EXPECT_GT(letterStarts, 20) << "the text is a block, not letters; see " << saved;
  EXPECT_LT(rgb[0] + rgb[1] + rgb[2], 3 * 60) << "the panel does not darken the corner";
}

}  // namespace
