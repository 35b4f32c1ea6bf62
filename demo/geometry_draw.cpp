// The geometry stream's one upload and draw per scene.
#include <GL/glew.h>

#include <cstddef>

#include "demo/geometry.h"
#include "render/shader_set.h"

namespace {

// Makes *bytes at least size, keeping the buffer bound to target; the data
// is written afterwards with glBufferSubData, so a warm buffer is only
// rewritten, never made again.
void reserveBuffer(GLenum target, unsigned buffer, size_t* bytes, size_t size) {
  glBindBuffer(target, buffer);
  if (*bytes >= size) return;
  glBufferData(target, static_cast<GLsizeiptr>(size), nullptr, GL_STREAM_DRAW);
  *bytes = size;
}

const void* bufferOffset(size_t bytes) { return reinterpret_cast<const void*>(bytes); }

// Indices [first, first + count) of the stream's index buffer, which is bound.
void drawRange(size_t first, size_t count) {
  if (count == 0) return;
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_INT,
                 bufferOffset(first * sizeof(uint32_t)));
}

// Points the stream's vertex array (which is bound) at its buffers:
// gl_Vertex, gl_Normal, gl_Color and, from location planes on when the
// program has it, the mat4 of planes. Done once, and again only for a program
// that takes the planes elsewhere: pointers set anew every frame made Mesa
// compile a new vertex fetch in the show's fifth frame, an allocation in the
// middle of the show that the soak test catches.
void describeVertices(GeometryStream* stream, GLint planes) {
  const GLsizei stride = sizeof(StreamVertex);
  glBindBuffer(GL_ARRAY_BUFFER, stream->vertexBuffer);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, stream->indexBuffer);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, stride, bufferOffset(offsetof(StreamVertex, position)));
  glNormalPointer(GL_FLOAT, stride, bufferOffset(offsetof(StreamVertex, normal)));
  glColorPointer(3, GL_FLOAT, stride, bufferOffset(offsetof(StreamVertex, color)));
  for (GLint k = 0; stream->planesLocation >= 0 && k < 4; ++k)
    glDisableVertexAttribArray(stream->planesLocation + k);
  // One column of the mat4 a location.
  for (GLint k = 0; planes >= 0 && k < 4; ++k) {
    glEnableVertexAttribArray(planes + k);
    glVertexAttribPointer(planes + k, 4, GL_FLOAT, GL_FALSE, stride,
                          bufferOffset(offsetof(StreamVertex, planes) + k * 4 * sizeof(float)));
  }
  stream->planesLocation = planes;
}

// Storage for a stream at least half as large again as the one just drawn,
// so that the frames after it, which are much the same, never grow it.
template <typename T>
void keepHeadroom(std::vector<T>* values) {
  const size_t used = values->size();
  if (values->capacity() < used + used / 2) values->reserve(2 * used);
  values->clear();
}

}  // namespace

void drawGeometryStream(GeometryStream* stream, ShaderSet* shaders, int program) {
  const size_t indexCount = stream->indices.size();
  const bool anyPanel = stream->alphaFrom >= 0;
  // Shapes before the first panel keep the "alpha" the program had.
  const size_t alphaFrom = anyPanel ? static_cast<size_t>(stream->alphaFrom) : indexCount;
  GLint planes = -1;
  if (indexCount > 0) {
    planes = glGetAttribLocation(shaders->programs[program], "clipPlanes");
    if (stream->vertexArray == 0) {
      glGenVertexArrays(1, &stream->vertexArray);
      glGenBuffers(1, &stream->vertexBuffer);
      glGenBuffers(1, &stream->indexBuffer);
    }
    glBindVertexArray(stream->vertexArray);
    if (planes != stream->planesLocation) describeVertices(stream, planes);
    reserveBuffer(GL_ARRAY_BUFFER, stream->vertexBuffer, &stream->vertexBufferBytes,
                  stream->vertices.capacity() * sizeof(StreamVertex));
    glBufferSubData(GL_ARRAY_BUFFER, 0,
                    static_cast<GLsizeiptr>(stream->vertices.size() * sizeof(StreamVertex)),
                    stream->vertices.data());
    reserveBuffer(GL_ELEMENT_ARRAY_BUFFER, stream->indexBuffer, &stream->indexBufferBytes,
                  stream->indices.capacity() * sizeof(uint32_t));
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0,
                    static_cast<GLsizeiptr>(indexCount * sizeof(uint32_t)), stream->indices.data());
    for (GLint k = 0; planes >= 0 && k < 4; ++k) glEnable(GL_CLIP_DISTANCE0 + k);
  }

  drawRange(0, alphaFrom);
  if (anyPanel) shaders->setUniformFloat(program, "alpha", 1.0f);
  drawRange(alphaFrom, indexCount - alphaFrom);

  if (indexCount > 0) {
    for (GLint k = 0; planes >= 0 && k < 4; ++k) glDisable(GL_CLIP_DISTANCE0 + k);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
  }
  keepHeadroom(&stream->vertices);
  keepHeadroom(&stream->indices);
  stream->alphaFrom = -1;
}
