// The outline font's display lists: solid letters with holes, 0.1 em deep, advancing by their
// metrics.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "render/gl_fixture.h"
#include "render/render_resources.h"

namespace {

constexpr int kSize = 128;

class OutlineFont : public GLTest {
 protected:
  // Built once per process: the lists live in the test window's context.
  static RenderResources& font() {
    static const std::unique_ptr<RenderResources> built = [] {
      auto resources = std::make_unique<RenderResources>();
      resources->buildOutlineFont();
      return resources;
    }();
    return *built;
  }

  // Draws one character's list in white on black with the given em-unit view
  // (x and y ranges of the window) and returns the window's red channel.
  std::vector<unsigned char> draw(char c, float left, float right, float bottom, float top,
                                  bool fromTheSide = false) {
    glViewport(0, 0, kSize, kSize);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(left, right, bottom, top, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Seen from +x the extrusion (z from -depth to 0) spreads along the window's x.
    if (fromTheSide) glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1, 1, 1);
    glCallList(font().fontListBase + static_cast<unsigned char>(c));
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
  ASSERT_NE(font().fontListBase, 0u);
  const GlyphMetrics& o = font().glyphMetrics['O'];
  ASSERT_GT(o.blackBoxX, 0.3f);
  ASSERT_GT(o.blackBoxY, 0.5f);

  // The view is the glyph's black box; back faces are culled, so only a front
  // face wound counter-clockwise towards +z shows.
  glEnable(GL_CULL_FACE);
  const auto red =
      draw('O', o.originX, o.originX + o.blackBoxX, o.originY - o.blackBoxY, o.originY);
  glDisable(GL_CULL_FACE);
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
  const auto red = draw('I', -0.25f, 0.25f, -0.1f, 0.9f, true);
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

TEST_F(OutlineFont, EachListAdvancesByItsGlyphsWidth) {
  for (char c : {'A', ' ', 'z', '0'}) {
    const GlyphMetrics& m = font().glyphMetrics[static_cast<unsigned char>(c)];
    EXPECT_GT(m.advanceX, 0.2f) << c;
    EXPECT_LT(m.advanceX, 1.2f) << c;
    draw(c, -1, 1, -1, 1);
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_FLOAT_EQ(matrix[12], m.advanceX) << c;
    EXPECT_FLOAT_EQ(matrix[13], 0.0f) << c;
  }
  // A blank draws nothing but still advances; characters above 'z' are empty lists.
  EXPECT_EQ(font().glyphMetrics[' '].blackBoxX, 0.0f);
  EXPECT_EQ(lit(draw(' ', -1, 1, -1, 1)), 0);
  EXPECT_EQ(font().glyphMetrics['{'].advanceX, 0.0f);
  EXPECT_EQ(lit(draw('{', -1, 1, -1, 1)), 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
