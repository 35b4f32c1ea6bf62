// One shading language for two targets. The shader files under data/ are
// written once, in the subset that desktop GLSL 3.30 core and GLSL ES 3.00
// share, with no version line: the loader puts the version (and, for GL ES,
// the precision statements) in front of the file's text for the context in
// use. CLIP_DISTANCES is defined where the vertex stage may write
// gl_ClipDistance. A "#line 1" follows, so that compile logs count the
// file's own lines.
//
// Vertex inputs are generic attributes bound by name before linking
// (vertexPosition, vertexNormal, vertexColor, clipPlanes; quadCorner for the
// screen quad), so the files need no layout qualifiers for them.
#pragma once

#include <string>
#include <string_view>

enum class ShaderStage { Vertex, Fragment };

enum class ShaderDialect {
  DesktopCore,  // #version 330 core, clip distances available
  Es300,        // #version 300 es, no clip distances
};

std::string composeShaderSource(std::string_view fileText, ShaderDialect dialect);

// The dialect of the context render/ was started with.
ShaderDialect contextShaderDialect();

// Attribute locations shared by the vertex stream, the screen quad and the
// programs that read them.
constexpr unsigned kPositionAttribute = 0;
constexpr unsigned kNormalAttribute = 1;
constexpr unsigned kColorAttribute = 2;
constexpr unsigned kClipPlanesAttribute = 3;  // a mat4: locations 3 to 6, one plane a column

// The vertex stage every fragment-only program of the show is linked with:
// the quad's corner as the position, and texCoord running 0..1 across it.
extern const char* const kScreenQuadVertexSource;
// A program of one colour ("Colour") at positions moved by "Transform", for
// the end fade's quad and the frame-time overlay.
extern const char* const kFlatVertexSource;
extern const char* const kFlatFragmentSource;
