// The outline font's triangles: solid letters with holes, 0.1 em deep, and
// text whose letters advance by their metrics.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "render/matrix.h"
#include "render/render_resources.h"
#include "support/gl_fixture.h"

namespace {

constexpr int kSize = 128;

class OutlineFont : public GLTest {
 protected:
  // Built once per process: the lists live in the test window's context.
  static RenderResources& font() {
    static const std::unique_ptr<RenderResources> built = [] {
      auto resources = std::make_unique<RenderResources>();
      resources->createScreenQuad();
      resources->buildOutlineFont();
      return resources;
    }();
    return *built;
  }

  // Draws text in white on black with the given em-unit view (x and y ranges
  // of the window) and returns the window's red channel.
  std::vector<unsigned char> draw(const char* text, float left, float right, float bottom,
                                  float top, bool fromTheSide = false) {
    glViewport(0, 0, kSize, kSize);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Mat4 view = orthoMatrix(left, right, bottom, top, -2, 2);
    // Seen from +x the extrusion (z from -depth to 0) spreads along the window's x:
    // a quarter turn about y takes -z to -x.
    if (fromTheSide) {
      Mat4 turn = identityMatrix();
      turn.m = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1};
      view = view * turn;
    }
    font().drawText(text, view, 1.0f, 1.0f, 1.0f);
    std::vector<unsigned char> red(kSize * kSize);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kSize, kSize, GL_RED, GL_UNSIGNED_BYTE, red.data());
    return red;
  }

  static int lit(const std::vector<unsigned char>& red) {
    int count = 0;
    for (unsigned char v : red) count += v > 128;
    return count;
  }
};

TEST_F(OutlineFont, LetterFacesTheViewerWithItsHoleOpen) {
  ASSERT_GT(font().font.count['O'], 0);
  const GlyphMetrics& o = font().font.metrics['O'];
  ASSERT_GT(o.blackBoxX, 0.3f);
  ASSERT_GT(o.blackBoxY, 0.5f);

  // The view is the glyph's black box.
  const auto red =
      draw("O", o.originX, o.originX + o.blackBoxX, o.originY - o.blackBoxY, o.originY);
  const int count = lit(red);
  EXPECT_GT(count, kSize * kSize / 5);
  EXPECT_LT(count, kSize * kSize * 4 / 5);
  const int middle = kSize / 2;
  EXPECT_EQ(red[middle * kSize + middle], 0) << "the counter of the O is filled";
  EXPECT_EQ(red[middle * kSize + 3], 255) << "the left side of the O is missing";
  EXPECT_EQ(red[middle * kSize + kSize - 4], 255) << "the right side of the O is missing";
}

TEST_F(OutlineFont, LettersAreExtrudedOneTenthOfAnEmDeep) {
  // Looking at an I from its side, 128 pixels span 0.5 em, so 0.1 em is 25.6 pixels.
  const auto red = draw("I", -0.25f, 0.25f, -0.1f, 0.9f, true);
  int first = kSize, last = -1;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (red[y * kSize + x] > 128) first = std::min(first, x), last = std::max(last, x);
    }
  }
  ASSERT_GE(last, first) << "nothing drawn from the side";
  EXPECT_NEAR(last - first + 1, 25.6, 1.5);
  EXPECT_NEAR((first + last + 1) / 2.0, kSize / 2 - 12.8, 1.5) << "not extruded towards -z";
}

TEST_F(OutlineFont, TextAdvancesByEachGlyphsWidth) {
  for (char c : {'A', ' ', 'z', '0'}) {
    const GlyphMetrics& m = font().font.metrics[static_cast<unsigned char>(c)];
    EXPECT_GT(m.advanceX, 0.2f) << c;
    EXPECT_LT(m.advanceX, 1.2f) << c;
  }
  // "II" is the same letter twice, the second one advance further right: the
  // lit columns of the pair are those of one I and of the same I moved on.
  const float advance = font().font.metrics['I'].advanceX;
  auto litColumns = [](const std::vector<unsigned char>& red) {
    std::vector<int> columns;
    for (int x = 0; x < kSize; ++x) {
      bool any = false;
      for (int y = 0; y < kSize; ++y) any = any || red[y * kSize + x] > 128;
      if (any) columns.push_back(x);
    }
    return columns;
  };
  const std::vector<int> one = litColumns(draw("I", 0.0f, 2.0f, -0.5f, 1.5f));
  const std::vector<int> two = litColumns(draw("II", 0.0f, 2.0f, -0.5f, 1.5f));
  ASSERT_FALSE(one.empty());
  const int shift = static_cast<int>(advance * kSize / 2.0f + 0.5f);
  EXPECT_EQ(two.size(), 2 * one.size());
  EXPECT_NEAR(two.back(), one.back() + shift, 1);
  // A blank draws nothing; characters above 'z' are empty and do not advance.
  EXPECT_EQ(font().font.metrics[' '].blackBoxX, 0.0f);
  EXPECT_EQ(lit(draw(" ", -1, 1, -1, 1)), 0);
  EXPECT_EQ(font().font.metrics['{'].advanceX, 0.0f);
  EXPECT_EQ(lit(draw("{", -1, 1, -1, 1)), 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
