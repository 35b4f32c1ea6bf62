// The version and precision lines, and the programs render/ keeps in code.
#include "render/shader_dialect.h"

std::string composeShaderSource(std::string_view fileText, ShaderDialect dialect) {
  std::string source;
  switch (dialect) {
    case ShaderDialect::DesktopCore:
      source = "#version 330 core\n#define CLIP_DISTANCES 1\n";
      break;
    case ShaderDialect::Es300:
      source =
          "#version 300 es\nprecision highp float;\nprecision highp int;\n"
          "precision highp sampler2D;\n";
      break;
  }
  source += "#line 1\n";
  source += fileText;
  return source;
}

// The browser build speaks WebGL 2, whose shading language is GLSL ES 3.00.
ShaderDialect contextShaderDialect() {
#ifdef __EMSCRIPTEN__
  return ShaderDialect::Es300;
#else
  return ShaderDialect::DesktopCore;
#endif
}

const char* const kScreenQuadVertexSource =
    "in vec2 quadCorner;\n"
    "out vec2 texCoord;\n"
    "void main() {\n"
    "  texCoord = quadCorner * 0.5 + 0.5;\n"
    "  gl_Position = vec4(quadCorner, 0.0, 1.0);\n"
    "}\n";

const char* const kFlatVertexSource =
    "uniform mat4 Transform;\n"
    "in vec3 vertexPosition;\n"
    "void main() { gl_Position = Transform * vec4(vertexPosition, 1.0); }\n";

const char* const kFlatFragmentSource =
    "uniform vec4 Colour;\n"
    "out vec4 fragColor;\n"
    "void main() { fragColor = Colour; }\n";
