// The GL entry points, for render/'s own sources only: no header that other
// folders include pulls this in, so render/ is the one folder that speaks GL.
//
// The desktop build reaches OpenGL 3.3 core through GLEW. The browser build
// (emscripten) speaks WebGL 2, whose entry points are OpenGL ES 3.0's and are
// there from the start; the few names render/ uses that ES 3.0 spells
// otherwise or leaves to an extension are given here.
#pragma once

#ifdef __EMSCRIPTEN__
#define GL_GLEXT_PROTOTYPES
// clang-format off
#include <GLES3/gl3.h>
#include <GLES2/gl2ext.h>
// clang-format on

#define GL_CLIP_DISTANCE0 0x3000  // WEBGL_clip_cull_distance
#define GL_TIMESTAMP GL_TIMESTAMP_EXT
#define GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER 0x8CDB
#define GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER 0x8CDC
inline void glClearDepth(double depth) { glClearDepthf(static_cast<GLfloat>(depth)); }
inline void glQueryCounter(GLuint id, GLenum target) { glQueryCounterEXT(id, target); }
inline void glGetQueryObjectui64v(GLuint id, GLenum name, GLuint64* value) {
  glGetQueryObjectui64vEXT(id, name, value);
}
// WebGL 2 cannot map a buffer into memory: a pixel buffer's frames are not
// read that way in the browser (the capture, which reads them, is desktop only).
inline void* glMapBufferRange(GLenum, GLintptr, GLsizeiptr, GLbitfield) { return nullptr; }
inline GLboolean glUnmapBuffer(GLenum) { return GL_FALSE; }
#else
#include <GL/glew.h>
#endif
