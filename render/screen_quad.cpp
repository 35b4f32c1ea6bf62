// The screen quad every full-screen pass draws, and the flat quads.
#include <iostream>

#include "render/gl.h"
#include "render/program_link.h"
#include "render/render_resources.h"

namespace {

// Corners of (-1,-1)..(1,1) as a triangle strip.
constexpr float kQuadCorners[] = {-1.0f, -1.0f, 1.0f, -1.0f, -1.0f, 1.0f, 1.0f, 1.0f};

void setBlend(Blend blend) {
  if (blend == Blend::Off) {
    glDisable(GL_BLEND);
    return;
  }
  glEnable(GL_BLEND);
  if (blend == Blend::Add)
    glBlendFunc(GL_ONE, GL_ONE);
  else
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

}  // namespace

void RenderResources::createScreenQuad() {
  glGenVertexArrays(1, &screenQuad.vertexArray.value);
  glBindVertexArray(screenQuad.vertexArray.value);
  glGenBuffers(1, &screenQuad.vertexBuffer.value);
  glBindBuffer(GL_ARRAY_BUFFER, screenQuad.vertexBuffer.value);
  glBufferData(GL_ARRAY_BUFFER, sizeof kQuadCorners, kQuadCorners, GL_STATIC_DRAW);
  glEnableVertexAttribArray(kPositionAttribute);
  glVertexAttribPointer(kPositionAttribute, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);

  const ShaderName vertex = compileShaderText(ShaderStage::Vertex, kFlatVertexSource);
  const ShaderName fragment = compileShaderText(ShaderStage::Fragment, kFlatFragmentSource);
  screenQuad.flatProgram = linkProgram(vertex, fragment);
  if (!programLinked(screenQuad.flatProgram))
    std::cerr << "The flat-colour program does not link\n"
              << shaderLog(vertex) << shaderLog(fragment) << programLog(screenQuad.flatProgram)
              << std::endl;
  deleteShader(vertex);
  deleteShader(fragment);
  const UniformLocations uniforms = activeUniforms(screenQuad.flatProgram);
  screenQuad.flatTransform = uniforms.find("Transform");
  screenQuad.flatColour = uniforms.find("Colour");
}

void RenderResources::drawFullScreenQuad() const {
  glBindVertexArray(screenQuad.vertexArray.value);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  glBindVertexArray(0);
}

void RenderResources::drawFlatQuad(const Mat4& transform, float r, float g, float b, float a,
                                   Blend blend) const {
  glUseProgram(screenQuad.flatProgram.value);
  const std::array<float, 16> matrix = matrixFloats(transform);
  glUniformMatrix4fv(screenQuad.flatTransform, 1, GL_FALSE, matrix.data());
  glUniform4f(screenQuad.flatColour, r, g, b, a);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  setBlend(blend);
  drawFullScreenQuad();
  glDisable(GL_BLEND);
  glUseProgram(0);
}
