// The geometry stream's one upload and draw per scene.
#include "render/geometry_stream.h"

#include "render/gl.h"
#include "render/shader_dialect.h"
#include "render/shader_set.h"

namespace {

// Makes *bytes at least size, keeping the buffer bound to target; the data
// is written afterwards with glBufferSubData, so a warm buffer is only
// rewritten, never made again.
void reserveBuffer(GLenum target, BufferName buffer, size_t* bytes, size_t size) {
  glBindBuffer(target, buffer.value);
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

// Makes the stream's vertex array and buffers and points the attributes at
// them, once: pointers set anew every frame made Mesa compile a new vertex
// fetch in the show's fifth frame, an allocation in the middle of the show
// that the soak test catches.
void createVertexArray(GeometryStream* stream) {
  glGenVertexArrays(1, &stream->vertexArray.value);
  glGenBuffers(1, &stream->vertexBuffer.value);
  glGenBuffers(1, &stream->indexBuffer.value);
  glBindVertexArray(stream->vertexArray.value);
  glBindBuffer(GL_ARRAY_BUFFER, stream->vertexBuffer.value);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, stream->indexBuffer.value);
  const GLsizei stride = sizeof(StreamVertex);
  auto attribute = [&](GLuint location, GLint size, size_t offset) {
    glEnableVertexAttribArray(location);
    glVertexAttribPointer(location, size, GL_FLOAT, GL_FALSE, stride, bufferOffset(offset));
  };
  attribute(kPositionAttribute, 3, offsetof(StreamVertex, position));
  attribute(kNormalAttribute, 3, offsetof(StreamVertex, normal));
  attribute(kColorAttribute, 3, offsetof(StreamVertex, color));
  // One column of the mat4 a location.
  for (GLuint k = 0; k < 4; ++k)
    attribute(kClipPlanesAttribute + k, 4, offsetof(StreamVertex, planes) + k * 4 * sizeof(float));
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
  bool clipped = false;
  if (indexCount > 0) {
    clipped = contextShaderDialect() != ShaderDialect::Es300 &&
              glGetAttribLocation(shaders->programs[program].value, "clipPlanes") >= 0;
    if (!stream->vertexArray.value) createVertexArray(stream);
    glBindVertexArray(stream->vertexArray.value);
    reserveBuffer(GL_ARRAY_BUFFER, stream->vertexBuffer, &stream->vertexBufferBytes,
                  stream->vertices.capacity() * sizeof(StreamVertex));
    glBufferSubData(GL_ARRAY_BUFFER, 0,
                    static_cast<GLsizeiptr>(stream->vertices.size() * sizeof(StreamVertex)),
                    stream->vertices.data());
    reserveBuffer(GL_ELEMENT_ARRAY_BUFFER, stream->indexBuffer, &stream->indexBufferBytes,
                  stream->indices.capacity() * sizeof(uint32_t));
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0,
                    static_cast<GLsizeiptr>(indexCount * sizeof(uint32_t)), stream->indices.data());
    for (GLenum k = 0; clipped && k < 4; ++k) glEnable(GL_CLIP_DISTANCE0 + k);
  }

  drawRange(0, alphaFrom);
  if (anyPanel) shaders->setUniformFloat(program, "alpha", 1.0f);
  drawRange(alphaFrom, indexCount - alphaFrom);

  if (indexCount > 0) {
    for (GLenum k = 0; clipped && k < 4; ++k) glDisable(GL_CLIP_DISTANCE0 + k);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
  }
  keepHeadroom(&stream->vertices);
  keepHeadroom(&stream->indices);
  stream->alphaFrom = -1;
}
