// The scene's vertex stream: every panel and ring a scene draws, as one
// triangle list in the order they were drawn, uploaded and drawn once at the
// end of the scene.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/gl_names.h"

class ShaderSet;

// One vertex of the geometry stream: 25 floats, interleaved.
struct StreamVertex {
  float position[3];
  float normal[3];
  float color[3];      // RGB, unclamped; alpha is 1 for every shape
  float planes[4][4];  // the clip planes current when its primitive was drawn
};

// A scene's panels and rings as one triangle list, in the order they were
// drawn. Each quad of a panel or of a ring strip becomes two triangles over
// the quad's own vertices, split as the renderer split the GL_QUADS and
// GL_QUAD_STRIP it was given before: panel p0 p1 p2 p3 as (p0 p1 p2)(p0 p2 p3),
// strip quad a0 a1 b0 b1 as (b0 a0 b1)(a0 a1 b1). The ring quads are planar,
// so only rounding depends on the split; panels need not be.
struct GeometryStream {
  std::vector<StreamVertex> vertices;
  std::vector<uint32_t> indices;
  // The last panel's planes. They outlive the draw, as the program's
  // uniforms did: a ring drawn before any panel of a frame is cut by the last
  // panel of the frame before, and before any panel at all they are zero,
  // which cuts nothing.
  float planes[4][4] = {};
  // How many indices came before the first panel since the last draw (that
  // panel set "alpha" to 1 for all that follows it); -1 while none came.
  int64_t alphaFrom = -1;
  // GL side, made at the first draw: the vertex array and its buffers and
  // their sizes in bytes.
  VertexArrayName vertexArray;
  BufferName vertexBuffer, indexBuffer;
  size_t vertexBufferBytes = 0, indexBufferBytes = 0;
};

// Uploads the stream into its buffers and draws it with the program in slot
// program, which must be current: one indexed draw, or two when shapes came
// before the stream's first panel, which sets the program's "alpha" uniform
// to 1 between them as it did when it was drawn. Position, normal and colour
// reach the program as the attributes vertexPosition, vertexNormal and
// vertexColor, the planes as its mat4 attribute "clipPlanes" (one plane a
// column). A program that has that attribute cuts its fragments to the planes
// and writes gl_ClipDistance[0..3] where the context has clip distances;
// they are enabled for the draw (data/Materials: the clip distances drop what
// lies well outside the planes, the fragment stage cuts exactly). Empties the
// stream, keeping its storage and current planes, and leaves no array or
// buffer bound.
void drawGeometryStream(GeometryStream* stream, ShaderSet* shaders, int program);
