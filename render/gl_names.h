// GL object names, typed so that a texture is never passed where a
// framebuffer or a program is meant, and so that no folder above render/
// needs a GL header to hold one. Zero is "none", as in GL.
#pragma once

struct TextureName {
  unsigned value = 0;
};

struct ProgramName {
  unsigned value = 0;
};

struct ShaderName {
  unsigned value = 0;
};

struct FramebufferName {
  unsigned value = 0;
};

struct RenderbufferName {
  unsigned value = 0;
};

struct BufferName {
  unsigned value = 0;
};

struct VertexArrayName {
  unsigned value = 0;
};
