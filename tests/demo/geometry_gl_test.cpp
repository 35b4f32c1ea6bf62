// The shape emitters against a live context: what reaches the framebuffer
// and the clip-panel uniforms of the current program.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "demo/geometry.h"
#include "render/gl_fixture.h"
#include "render/shader_set.h"

namespace {

constexpr int kSlot = 1;

// Passes the vertex colour through; the planes take part so they stay active.
constexpr char kPanelShader[] =
    "uniform float alpha;\n"
    "uniform vec4 Plane1, Plane2, Plane3, Plane4;\n"
    "void main() {\n"
    "  gl_FragColor = vec4(gl_Color.rgb, alpha) + (Plane1 + Plane2 + Plane3 + Plane4) * 1e-9;\n"
    "}\n";

Vec3 v3(float x, float y, float z) {
  Vec3 v;
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

class GeometryGLTest : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    glViewport(0, 0, 128, 128);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }

  // The colour at normalised device coordinates (x, y) in [-1, 1].
  static void pixel(float x, float y, unsigned char rgba[4]) {
    glFinish();
    const int px = static_cast<int>((x + 1) * 64), py = static_cast<int>((y + 1) * 64);
    glReadPixels(px, py, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  }

  std::unique_ptr<ShaderSet> shaders = std::make_unique<ShaderSet>();
};

TEST_F(GeometryGLTest, ClipPanelSetsPlanesAndDrawsUnlessRedIsBelowMinusHalf) {
  const std::string path = testing::TempDir() + "tessaly_panel.frag";
  std::ofstream(path, std::ios::binary) << kPanelShader;
  testing::internal::CaptureStdout();
  shaders->buildFragmentProgram(path.c_str(), kSlot);
  testing::internal::GetCapturedStdout();
  ASSERT_NE(shaders->programs[kSlot], 0u);

  // A hidden panel: frame and planes, no pixels.
  Vec3 center;
  drawClipPanel(shaders.get(), kSlot, v3(0, 0, 0), v3(0.5f, 0, 0), v3(0.5f, 0.5f, 0),
                v3(0, 0.5f, 0), &center, nullptr, nullptr, nullptr, v3(-0.5f, 1, 0));
  EXPECT_FLOAT_EQ(center.x, 0.25f);
  float plane[4] = {};
  glGetUniformfv(shaders->programs[kSlot], glGetUniformLocation(shaders->programs[kSlot], "Plane2"),
                 plane);
  EXPECT_FLOAT_EQ(plane[0], -1.0f);
  EXPECT_FLOAT_EQ(plane[3], 0.5f);
  unsigned char rgba[4];
  pixel(0.25f, 0.25f, rgba);
  EXPECT_EQ(rgba[1], 0);

  // A visible one.
  drawClipPanel(shaders.get(), kSlot, v3(0, 0, 0), v3(0.5f, 0, 0), v3(0.5f, 0.5f, 0),
                v3(0, 0.5f, 0), nullptr, nullptr, nullptr, nullptr, v3(0, 1, 0));
  float alpha = 0.0f;
  glGetUniformfv(shaders->programs[kSlot], glGetUniformLocation(shaders->programs[kSlot], "alpha"),
                 &alpha);
  EXPECT_EQ(alpha, 1.0f);
  pixel(0.25f, 0.25f, rgba);
  EXPECT_GT(rgba[1], 250);
  pixel(-0.25f, 0.25f, rgba);
  EXPECT_EQ(rgba[1], 0);
  shaders->useFixedFunction();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GeometryGLTest, RingsFillTheirAnnulus) {
  ShapeInputs inputs;
  inputs.segments = 40;
  RingParams ring;
  ring.axis = v3(0, 0, 1);
  ring.axisU = v3(1, 0, 0);
  ring.axisV = v3(0, 1, 0);
  ring.radius = 0.4f;
  ring.width = 0.3f;
  ring.depth = 0.1f;
  ring.color = v3(0, 0, 1);
  drawPulseRing(0, &inputs, ring);

  unsigned char rgba[4];
  pixel(0.0f, 0.55f, rgba);  // on the annulus
  EXPECT_GT(rgba[2], 250);
  pixel(-0.4f, -0.4f, rgba);  // on the annulus at 45 degrees
  EXPECT_GT(rgba[2], 250);
  pixel(0.0f, 0.0f, rgba);  // the hole
  EXPECT_EQ(rgba[2], 0);
  pixel(0.0f, 0.85f, rgba);  // outside
  EXPECT_EQ(rgba[2], 0);

  // A ring too large to draw leaves the picture alone.
  glClear(GL_COLOR_BUFFER_BIT);
  ring.radius = 3.0f;
  drawFlickerRing(0, &inputs, ring);
  ring.radius = 0.4f;
  inputs.segments = 0;
  drawFlickerRing(0, &inputs, ring);
  pixel(0.0f, 0.55f, rgba);
  EXPECT_EQ(rgba[2], 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
