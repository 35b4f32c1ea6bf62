// Every GLSL shader and program of the show, addressed by caller-chosen slots.
//
// Sources are read from files (GLSL despite the .cpp extension), compiled and
// linked once at startup; the compile log of every shader is printed to
// standard output with its path. Uniforms are set by name on the current
// program, looking the location up on every call. A program can be built
// anew from its files while the show runs; one that fails to compile or link
// leaves the program in use as it was.
#pragma once

#include <GL/glew.h>

#include <memory>
#include <string>
#include <vector>

#include "core/vector.h"

constexpr int kShaderSlotCount = 10128;

// The whole file followed by one NUL byte, or null when the file cannot be
// opened (after printing "Cannot open shader source file.").
std::unique_ptr<char[]> readShaderSource(const char* path);

// The files one program was built from; vertexPath is empty for a
// fragment-only program.
struct ProgramFiles {
  int slot = 0;
  std::string vertexPath;
  std::string fragmentPath;
};

class ShaderSet {
 public:
  void loadFragmentShader(const char* path, int slot);
  void loadVertexShader(const char* path, int slot);
  // Fragment-only program, left current.
  void buildFragmentProgram(const char* path, int slot);
  // Vertex and fragment program, not made current.
  void buildProgram(const char* vertexPath, const char* fragmentPath, int slot);
  // Compiles and links the program's files again. On success the new program
  // replaces the slot's and the old one is deleted; on a compile or link error
  // the log goes to standard error with the file names, the slot keeps its
  // program, and the result is false.
  bool rebuildProgram(const ProgramFiles& files);
  void useProgram(int slot);
  void useFixedFunction();
  // Whether the program in slot uses the uniform `name` (the linker drops
  // what no stage reads).
  bool programReads(int slot, const char* name) const;
  void setUniformFloat(int slot, const char* name, float value);
  void setUniformVec4(int slot, const char* name, float x, float y, float z, float w);
  // Binds textureName to unit on target and points the sampler at it; unit stays active.
  void bindTextureUniform(GLenum target, int slot, int unit, const char* name, GLuint textureName);
  // Texture matrix 2 := bias * perspective * look-at of camera (world -> [0,1] screen coords).
  void setProjectiveTextureMatrix(double fovY, double aspect, double zNear, double zFar,
                                  const Camera& camera);

  GLuint fragmentShaders[kShaderSlotCount] = {};
  GLuint vertexShaders[kShaderSlotCount] = {};
  GLuint programs[kShaderSlotCount] = {};
  std::vector<ProgramFiles> programFiles;  // every program built, in build order
};
