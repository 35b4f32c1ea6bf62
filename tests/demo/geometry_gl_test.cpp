// The geometry stream drawn in a live context: what reaches the framebuffer,
// the rings cut to the last panel's outline (also across draws), the "alpha"
// uniform the panels set, and the GL state left behind.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "core/random.h"
#include "demo/geometry.h"
#include "render/matrix.h"
#include "render/shader_set.h"
#include "support/gl_fixture.h"

namespace {

constexpr int kSlot = 1;

// The material's contract in small: the planes come in as the mat4 attribute
// "clipPlanes", and what lies outside any of them is not drawn, cut by the
// clip distances and by the fragment stage.
constexpr char kVertexShader[] =
    "uniform mat4 ProjectionMatrix;\n"
    "in vec3 vertexPosition;\n"
    "in vec3 vertexColor;\n"
    "in mat4 clipPlanes;\n"
    "out vec3 worldPosition;\n"
    "flat out mat4 planes;\n"
    "out vec4 color;\n"
    "void main() {\n"
    "  worldPosition = vertexPosition;\n"
    "  planes = clipPlanes;\n"
    "  color = vec4(vertexColor, 1.0);\n"
    "  gl_Position = ProjectionMatrix * vec4(vertexPosition, 1.0);\n"
    "  vec4 inside = vec4(vertexPosition, 1.0) * clipPlanes + 0.0005;\n"
    "  gl_ClipDistance[0] = inside.x;\n"
    "  gl_ClipDistance[1] = inside.y;\n"
    "  gl_ClipDistance[2] = inside.z;\n"
    "  gl_ClipDistance[3] = inside.w;\n"
    "}\n";
constexpr char kFragmentShader[] =
    "uniform float alpha;\n"
    "in vec3 worldPosition;\n"
    "flat in mat4 planes;\n"
    "in vec4 color;\n"
    "out vec4 fragColor;\n"
    "void main() {\n"
    "  if (any(lessThan(vec4(worldPosition, 1.0) * planes, vec4(-0.0005)))) discard;\n"
    "  fragColor = vec4(color.rgb, alpha);\n"
    "}\n";
// The same without the fragment stage's cut, which leaves it to the clip
// distances alone.
constexpr char kUncutFragmentShader[] =
    "in vec4 color;\n"
    "out vec4 fragColor;\n"
    "void main() { fragColor = color; }\n";

Vec3 v3(float x, float y, float z) {
  Vec3 v;
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

std::string writeSource(const char* name, const char* text) {
  const std::string path = testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

class GeometryGLTest : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    testing::internal::CaptureStdout();
    shaders->buildProgram(writeSource("tessaly_stream.vert", kVertexShader).c_str(),
                          writeSource("tessaly_stream.frag", kFragmentShader).c_str(), kSlot);
    testing::internal::GetCapturedStdout();
    ASSERT_NE(shaders->programs[kSlot].value, 0u);
    shaders->useProgram(kSlot);
    shaders->setUniformMatrix(kSlot, "ProjectionMatrix", orthoMatrix(-1, 1, -1, 1, -10, 10));
    inputs.geometry = &stream;
    inputs.random = &generator;
    inputs.segments = 40;

    glViewport(0, 0, 128, 128);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
  }

  void TearDown() override { glUseProgram(0); }

  // The colour at normalised device coordinates (x, y) in [-1, 1].
  static void pixel(float x, float y, unsigned char rgba[4]) {
    glFinish();
    const int px = static_cast<int>((x + 1) * 64), py = static_cast<int>((y + 1) * 64);
    glReadPixels(px, py, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  }

  // A blue ring in the z = 0 plane around (x, y), drawn toward the viewer.
  RingParams ring(float x, float y, float radius, float width) {
    RingParams params;
    params.base = v3(x, y, 0);
    params.axis = v3(0, 0, -1);
    params.axisU = v3(1, 0, 0);
    params.axisV = v3(0, 1, 0);
    params.radius = radius;
    params.width = width;
    params.depth = 0.1f;
    params.color = v3(0, 0, 1);
    return params;
  }

  void drawStream() { drawGeometryStream(&stream, shaders.get(), kSlot); }

  std::unique_ptr<ShaderSet> shaders = std::make_unique<ShaderSet>();
  GeometryStream stream;
  Random generator;
  ShapeInputs inputs;
};

TEST_F(GeometryGLTest, RingsFillTheirAnnulusUncutBeforeAnyPanel) {
  drawPulseRing(0, &inputs, ring(0, 0, 0.4f, 0.3f));
  // Nothing is drawn before the stream is.
  unsigned char rgba[4];
  pixel(0.0f, 0.55f, rgba);
  EXPECT_EQ(rgba[2], 0);
  drawStream();
  EXPECT_TRUE(stream.vertices.empty());

  pixel(0.0f, 0.55f, rgba);  // on the annulus
  EXPECT_GT(rgba[2], 250);
  EXPECT_EQ(rgba[3], 0);      // no panel has set "alpha" yet
  pixel(-0.4f, -0.4f, rgba);  // on the annulus at 45 degrees
  EXPECT_GT(rgba[2], 250);
  pixel(0.0f, 0.0f, rgba);  // the hole
  EXPECT_EQ(rgba[2], 0);
  pixel(0.0f, 0.85f, rgba);  // outside
  EXPECT_EQ(rgba[2], 0);

  // Rings too large to draw, or without segments, leave the picture alone.
  glClear(GL_COLOR_BUFFER_BIT);
  drawFlickerRing(0, &inputs, ring(0, 0, 3.0f, 0.3f));
  inputs.segments = 0;
  drawFlickerRing(0, &inputs, ring(0, 0, 0.4f, 0.3f));
  drawStream();
  pixel(0.0f, 0.55f, rgba);
  EXPECT_EQ(rgba[2], 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GeometryGLTest, RingsAreCutToTheLastPanelAcrossDraws) {
  // A hidden panel on the lower left quarter sets its planes and "alpha" only.
  drawClipPanel(&inputs, v3(-1, -1, 0), v3(0, -1, 0), v3(0, 0, 0), v3(-1, 0, 0), nullptr, nullptr,
                nullptr, nullptr, v3(-0.5f, 1, 0));
  drawStream();
  unsigned char rgba[4];
  pixel(-0.5f, -0.5f, rgba);
  EXPECT_EQ(rgba[1], 0);
  float alpha = 0.0f;
  const GLuint program = shaders->programs[kSlot].value;
  glGetUniformfv(program, glGetUniformLocation(program, "alpha"), &alpha);
  EXPECT_EQ(alpha, 1.0f);

  // A green panel on [0, 0.5]^2, then a ring around its centre reaching past
  // its outline: the ring shows on the panel only.
  drawClipPanel(&inputs, v3(0, 0, 0), v3(0.5f, 0, 0), v3(0.5f, 0.5f, 0), v3(0, 0.5f, 0), nullptr,
                nullptr, nullptr, nullptr, v3(0, 1, 0));
  drawPulseRing(0, &inputs, ring(0.25f, 0.25f, 0.15f, 0.3f));
  drawStream();
  pixel(0.25f, 0.25f, rgba);  // the ring's hole: the panel
  EXPECT_GT(rgba[1], 250);
  EXPECT_EQ(rgba[3], 255);
  pixel(0.25f, 0.45f, rgba);  // the ring on the panel
  EXPECT_GT(rgba[2], 250);
  EXPECT_EQ(rgba[1], 0);
  pixel(0.25f, 0.6f, rgba);  // where the ring reaches past the panel
  EXPECT_EQ(rgba[2], 0);
  pixel(-0.1f, 0.25f, rgba);
  EXPECT_EQ(rgba[2], 0);

  // In the next draw a ring before any panel is still cut by that panel.
  glClear(GL_COLOR_BUFFER_BIT);
  drawPulseRing(0, &inputs, ring(0, 0, 0.0f, 0.7f));
  drawStream();
  pixel(0.25f, 0.25f, rgba);
  EXPECT_GT(rgba[2], 250);
  pixel(-0.25f, 0.25f, rgba);
  EXPECT_EQ(rgba[2], 0);
  pixel(0.25f, -0.25f, rgba);
  EXPECT_EQ(rgba[2], 0);

  // The clip distances cut by themselves: without the fragment stage's cut
  // the ring still ends at the panel's outline.
  testing::internal::CaptureStdout();
  shaders->buildProgram(writeSource("tessaly_stream.vert", kVertexShader).c_str(),
                        writeSource("tessaly_uncut.frag", kUncutFragmentShader).c_str(), kSlot + 1);
  testing::internal::GetCapturedStdout();
  shaders->useProgram(kSlot + 1);
  shaders->setUniformMatrix(kSlot + 1, "ProjectionMatrix", orthoMatrix(-1, 1, -1, 1, -10, 10));
  glClear(GL_COLOR_BUFFER_BIT);
  drawPulseRing(0, &inputs, ring(0.25f, 0.25f, 0.15f, 0.3f));
  drawGeometryStream(&stream, shaders.get(), kSlot + 1);
  pixel(0.25f, 0.45f, rgba);
  EXPECT_GT(rgba[2], 250);
  pixel(0.25f, 0.6f, rgba);
  EXPECT_EQ(rgba[2], 0);

  // Nothing of the stream's arrays stays bound, and no clip distance enabled.
  GLint binding = -1;
  glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &binding);
  EXPECT_EQ(binding, 0);
  glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &binding);
  EXPECT_EQ(binding, 0);
  glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &binding);
  EXPECT_EQ(binding, 0);
  EXPECT_FALSE(glIsEnabled(GL_CLIP_DISTANCE0));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
