// Text in the outline font: each glyph's triangles, the pen moved by its advance.
#include <array>

#include "render/gl.h"
#include "render/render_resources.h"

void RenderResources::drawText(const char* text, const Mat4& transform, float r, float g,
                               float b) const {
  glUseProgram(screenQuad.flatProgram.value);
  glUniform4f(screenQuad.flatColour, r, g, b, 1.0f);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_BLEND);
  glBindVertexArray(font.vertexArray.value);
  // Each glyph moves the pen by its advance, as the characters follow each other.
  double penX = 0.0, penY = 0.0;
  for (const char* c = text; *c; ++c) {
    const auto code = static_cast<unsigned char>(*c);
    if (font.count[code] > 0) {
      const std::array<float, 16> matrix =
          matrixFloats(transform * translationMatrix(penX, penY, 0.0));
      glUniformMatrix4fv(screenQuad.flatTransform, 1, GL_FALSE, matrix.data());
      glDrawArrays(GL_TRIANGLES, font.first[code], font.count[code]);
    }
    penX += font.metrics[code].advanceX;
    penY += font.metrics[code].advanceY;
  }
  glBindVertexArray(0);
  glUseProgram(0);
}
