// Every program of the data pack compiles and links on this driver without
// errors, and the uniforms the show sets exist where it relies on them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <iostream>
#include <sstream>
#include <string>

#include "render/shader_set.h"
#include "support/gl_fixture.h"

namespace {

class ShaderPrograms : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    ASSERT_EQ(chdir(TESSALY_BINARY_DIR "/data"), 0);
  }

  // Builds the program and returns what the shader set printed.
  template <typename Build>
  std::string build(Build&& buildProgram) {
    std::stringstream printed;
    std::streambuf* saved = std::cout.rdbuf(printed.rdbuf());
    buildProgram();
    std::cout.rdbuf(saved);
    return printed.str();
  }

  void expectBuilt(int slot, const std::string& log) {
    GLint compiled = 0, linked = 0;
    glGetShaderiv(shaders.fragmentShaders[slot].value, GL_COMPILE_STATUS, &compiled);
    EXPECT_EQ(compiled, GL_TRUE) << log;
    if (shaders.vertexShaders[slot].value) {
      glGetShaderiv(shaders.vertexShaders[slot].value, GL_COMPILE_STATUS, &compiled);
      EXPECT_EQ(compiled, GL_TRUE) << log;
    }
    glGetProgramiv(shaders.programs[slot].value, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE) << log;
    EXPECT_EQ(log.find("rror"), std::string::npos) << log;
    EXPECT_EQ(log.find("arning"), std::string::npos) << log;
    EXPECT_EQ(log.find("Cannot open"), std::string::npos) << log;
  }

  bool hasUniform(int slot, const char* name) { return shaders.programReads(slot, name); }

  ShaderSet shaders;
};

TEST_F(ShaderPrograms, PostProcessingProgramsBuild) {
  const struct {
    const char* path;
    int slot;
  } passes[] = {
      {"PostProcessing//f_combineSSAO.cpp", 3}, {"PostProcessing//f_blurpass.cpp", 4},
      {"PostProcessing//f_simpleblur.cpp", 13}, {"PostProcessing//f_blurhighlights.cpp", 6},
      {"PostProcessing//f_godrays.cpp", 7},     {"PostProcessing//f_occlusion.cpp", 8},
      {"PostProcessing//f_edgefilter.cpp", 9}};
  for (const auto& pass : passes)
    expectBuilt(pass.slot, build([&] { shaders.buildFragmentProgram(pass.path, pass.slot); }));
  // What the frame composition hands each pass is read: the combine the main
  // camera's projector, the key light and the spectrum, the final pass the
  // velocity texture and the spectrum besides the section's grade.
  for (const char* name : {"texture2d_1", "texture2d_2", "texture2d_3", "texture2d_random",
                           "texture2d_occlusion", "Limit", "OcclusionSize", "TextureMatrix2",
                           "KeyLightPosition", "texture1d_dsp", "SkyColor", "time"})
    EXPECT_TRUE(hasUniform(3, name)) << name;
  for (const char* name : {"texture2d_1", "texture2d_velocities", "texture2d_random", "texture2d_2",
                           "texture1d_dsp", "texture2d_glow", "Limit", "time", "GlowLevel",
                           "FlashLevel", "BlackLevel", "GradeLift", "GradeGain", "KickPulse"})
    EXPECT_TRUE(hasUniform(4, name)) << name;
  for (const char* name : {"texture2d_2", "texture2d_random", "texture2d_3", "FullTexel"})
    EXPECT_TRUE(hasUniform(8, name)) << name;
  EXPECT_TRUE(hasUniform(6, "texture2d_1"));
}

TEST_F(ShaderPrograms, MaterialAndVelocityProgramsBuild) {
  expectBuilt(1, build([&] {
                shaders.buildProgram("Materials//v_material1.cpp", "Materials//f_material1.cpp", 1);
              }));
  for (const char* name : {"alpha", "texture2d_1", "texture2d_blob", "ttime", "ProjectionMatrix",
                           "ModelViewMatrix", "TextureMatrix2"})
    EXPECT_TRUE(hasUniform(1, name)) << name;
  // The clip planes of the geometry stream (demo/geometry.h) arrive per vertex.
  EXPECT_GE(glGetAttribLocation(shaders.programs[1].value, "clipPlanes"), 0);
  expectBuilt(5, build([&] {
                shaders.buildProgram("PostProcessing//v_velocities.cpp",
                                     "PostProcessing//f_velocities.cpp", 5);
              }));
}

}  // namespace
