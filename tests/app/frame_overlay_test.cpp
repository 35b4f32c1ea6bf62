// The overlay's lines: what a viewer reads, in characters the outline font holds.
#include "app/frame_overlay.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameOverlay, LinesNameTheFiguresInGlyphsTheFontHas) {
  OverlayFigures figures;
  figures.vsync = "vsync off";
  figures.showTime = 35.999;
  EXPECT_EQ(overlayLines(figures),
            (std::vector<std::string>{"measuring  vsync off", "36.00 s  falling panels"}));

  figures.framesPerSecond = 59.94;
  figures.frameMilliseconds = 16.683;
  figures.showTime = 36.0;  // the tunnel's first moment
  figures.passes = {{"scene", 9.04}, {"resolve", 0.46}, {"final", 2.0}};
  const std::vector<std::string> lines = overlayLines(figures);
  EXPECT_EQ(lines, (std::vector<std::string>{"59.9 fps  16.7 ms  vsync off", "36.00 s  ring tunnel",
                                             "scene 9.0 ms   resolve 0.5 ms", "final 2.0 ms"}));
  for (const std::string& line : lines)
    for (unsigned char c : line) EXPECT_LE(c, 122) << line;
}

}  // namespace
