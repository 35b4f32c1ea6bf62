// The shader set against a live core-profile context: program building and
// what is left current, the printed logs, the uniform table read at link
// time, sampler binding and the projective texture matrix.
#include "render/shader_set.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "render/shader_dialect.h"
#include "support/gl_fixture.h"

namespace {

constexpr char kFragmentSource[] =
    "uniform sampler2D picture;\n"
    "uniform float gain;\n"
    "uniform vec4 tint;\n"
    "in vec2 texCoord;\n"
    "out vec4 fragColor;\n"
    "void main() { fragColor = texture(picture, texCoord) * gain * tint; }\n";
constexpr char kVertexSource[] =
    "uniform mat4 TextureMatrix2;\n"
    "in vec3 vertexPosition;\n"
    "out vec2 texCoord;\n"
    "void main() {\n"
    "  texCoord = vertexPosition.xy;\n"
    "  gl_Position = TextureMatrix2 * vec4(vertexPosition, 1.0);\n"
    "}\n";

std::string writeShader(const std::string& name, const std::string& text) {
  std::string path = testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::string infoLog(ShaderName shader) {
  char log[1000] = {};
  glGetShaderInfoLog(shader.value, sizeof log, nullptr, log);
  return log;
}

// The log as the shader set prints it: on a line of its own, or not at all
// when it holds nothing.
std::string printedLog(ShaderName shader) {
  const std::string log = infoLog(shader);
  return log.empty() ? "" : log + "\n";
}

GLint integer(GLenum query) {
  GLint value = -1;
  glGetIntegerv(query, &value);
  return value;
}

class ShaderSetTest : public GLTest {
 protected:
  std::unique_ptr<ShaderSet> shaders = std::make_unique<ShaderSet>();
};

TEST_F(ShaderSetTest, FragmentOnlyProgramIsLeftCurrentAndTwoStageProgramIsNot) {
  std::string fragment = writeShader("tessaly_test.frag", kFragmentSource);
  std::string vertex = writeShader("tessaly_test.vert", kVertexSource);

  testing::internal::CaptureStdout();
  shaders->buildFragmentProgram(fragment.c_str(), 3);
  testing::internal::GetCapturedStdout();
  ASSERT_NE(shaders->programs[3].value, 0u);
  EXPECT_EQ(shaders->vertexShaders[3].value, 0u);
  EXPECT_EQ(static_cast<GLuint>(integer(GL_CURRENT_PROGRAM)), shaders->programs[3].value);
  glUseProgram(0);

  // The last slot of the tables is usable.
  const int lastSlot = kShaderSlotCount - 1;
  testing::internal::CaptureStdout();
  shaders->buildProgram(vertex.c_str(), fragment.c_str(), lastSlot);
  std::string printed = testing::internal::GetCapturedStdout();
  ASSERT_NE(shaders->programs[lastSlot].value, 0u);
  EXPECT_EQ(integer(GL_CURRENT_PROGRAM), 0);

  GLint linked = GL_FALSE;
  glGetProgramiv(shaders->programs[lastSlot].value, GL_LINK_STATUS, &linked);
  EXPECT_EQ(linked, GL_TRUE);
  GLint attached = 0;
  glGetProgramiv(shaders->programs[lastSlot].value, GL_ATTACHED_SHADERS, &attached);
  EXPECT_EQ(attached, 2);

  // The vertex file and its log come before the fragment file and its log.
  EXPECT_EQ(printed, vertex + "\n" + printedLog(shaders->vertexShaders[lastSlot]) + fragment +
                         "\n" + printedLog(shaders->fragmentShaders[lastSlot]));
  EXPECT_TRUE(shaders->problems.empty());

  shaders->useProgram(lastSlot);
  EXPECT_EQ(static_cast<GLuint>(integer(GL_CURRENT_PROGRAM)), shaders->programs[lastSlot].value);
  glUseProgram(0);
}

// An empty source prints its path and its compile log; a missing one its
// path after "Cannot open shader source file." and no log (which would only
// say that the empty text ended early). Each is a problem of the set, said
// on standard error with the file, the folder and the reason.
TEST_F(ShaderSetTest, EmptyAndMissingSourcesPrintPathAndWhatWentWrong) {
  std::string empty = writeShader("tessaly_empty.frag", "");
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  shaders->loadFragmentShader(empty.c_str(), 5);
  std::string printed = testing::internal::GetCapturedStdout();
  std::string said = testing::internal::GetCapturedStderr();
  ASSERT_NE(shaders->fragmentShaders[5].value, 0u);
  EXPECT_NE(infoLog(shaders->fragmentShaders[5]), "");
  EXPECT_EQ(printed, empty + "\n" + printedLog(shaders->fragmentShaders[5]));
  EXPECT_NE(said.find(empty + " in "), std::string::npos) << said;
  EXPECT_NE(said.find(": does not compile"), std::string::npos) << said;

  std::string missing = testing::TempDir() + "tessaly_missing.vert";
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  shaders->loadVertexShader(missing.c_str(), 6);
  printed = testing::internal::GetCapturedStdout();
  said = testing::internal::GetCapturedStderr();
  ASSERT_NE(shaders->vertexShaders[6].value, 0u);
  EXPECT_EQ(printed, "Cannot open shader source file.\n" + missing + "\n");
  EXPECT_NE(said.find("cannot open the shader source: No such file or directory"),
            std::string::npos)
      << said;
  EXPECT_EQ(shaders->problems.size(), 2u);
  // The driver was handed the version lines alone, not a missing buffer.
  GLint sourceLength = -1;
  glGetShaderiv(shaders->vertexShaders[6].value, GL_SHADER_SOURCE_LENGTH, &sourceLength);
  EXPECT_EQ(sourceLength,
            static_cast<GLint>(composeShaderSource("", ShaderDialect::DesktopCore).size() + 1));
}

TEST_F(ShaderSetTest, UniformsAndSamplersReachTheSlotsProgram) {
  std::string fragment = writeShader("tessaly_uniforms.frag", kFragmentSource);
  testing::internal::CaptureStdout();
  shaders->buildFragmentProgram(fragment.c_str(), 8);
  testing::internal::GetCapturedStdout();
  const GLuint program = shaders->programs[8].value;

  shaders->setUniformFloat(8, "gain", 0.75f);
  shaders->setUniformVec4(8, "tint", 0.1f, 0.2f, 0.3f, 0.4f);
  shaders->setUniformFloat(8, "notInTheProgram", 1.0f);  // location -1: ignored
  GLfloat gain = 0.0f;
  glGetUniformfv(program, glGetUniformLocation(program, "gain"), &gain);
  EXPECT_FLOAT_EQ(gain, 0.75f);
  GLfloat tint[4] = {};
  glGetUniformfv(program, glGetUniformLocation(program, "tint"), tint);
  EXPECT_FLOAT_EQ(tint[0], 0.1f);
  EXPECT_FLOAT_EQ(tint[3], 0.4f);

  GLuint texture = 0;
  glGenTextures(1, &texture);
  shaders->bindTextureUniform(TextureTarget::Texture2D, 8, 4, "picture", {texture});
  EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE4);
  EXPECT_EQ(static_cast<GLuint>(integer(GL_TEXTURE_BINDING_2D)), texture);
  GLint unit = -1;
  glGetUniformiv(program, glGetUniformLocation(program, "picture"), &unit);
  EXPECT_EQ(unit, 4);
  glActiveTexture(GL_TEXTURE0);
  EXPECT_NE(static_cast<GLuint>(integer(GL_TEXTURE_BINDING_2D)), texture);
  glUseProgram(0);
}

TEST_F(ShaderSetTest, ProjectiveMatrixTakesTheCamerasTargetToTheMiddleOfTextureSpace) {
  const std::string vertex = writeShader("tessaly_projective.vert", kVertexSource);
  const std::string fragment = writeShader("tessaly_projective.frag", kFragmentSource);
  testing::internal::CaptureStdout();
  shaders->buildProgram(vertex.c_str(), fragment.c_str(), 9);
  testing::internal::GetCapturedStdout();
  shaders->useProgram(9);
  Camera camera;
  camera.eye = {1, 3.0f, 2.0f, 5.0f};
  camera.target = {1, 0.5f, -1.0f, 0.25f};
  camera.up = {1, 0.0f, 1.0f, 0.0f};
  shaders->setProjectiveTextureMatrix(9, 65.0, 16.0 / 9.0, 1.0, 100.0, camera);

  const GLuint program = shaders->programs[9].value;
  GLfloat m[16];
  glGetUniformfv(program, glGetUniformLocation(program, "TextureMatrix2"), m);
  auto project = [&](float x, float y, float z, float out[3]) {
    float v[4];
    for (int row = 0; row < 4; ++row)
      v[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    for (int i = 0; i < 3; ++i) out[i] = v[i] / v[3];
  };
  float mapped[3];
  project(camera.target.x, camera.target.y, camera.target.z, mapped);
  EXPECT_NEAR(mapped[0], 0.5f, 1e-5);
  EXPECT_NEAR(mapped[1], 0.5f, 1e-5);
  EXPECT_GT(mapped[2], 0.0f);
  EXPECT_LT(mapped[2], 1.0f);

  // A point above the target along the camera's up lands higher on the screen.
  project(camera.target.x, camera.target.y + 0.5f, camera.target.z, mapped);
  EXPECT_NEAR(mapped[0], 0.5f, 1e-5);
  EXPECT_GT(mapped[1], 0.5f);
  EXPECT_LT(mapped[1], 1.0f);
  glUseProgram(0);
}

}  // namespace
