// Every GLSL shader and program of the show, addressed by caller-chosen slots.
//
// Sources are read from files (GLSL despite the .cpp extension), given their
// version line for the context (render/shader_dialect.h), compiled and linked
// once at startup; the compile log of every shader is printed to standard
// output with its path. A fragment-only program is linked with the screen
// quad's vertex stage. The locations of a program's uniforms are read once,
// when it links; uniforms are then set by name on the current program from
// that table. A program can be built anew from its files while the show
// runs; one that fails to compile or link leaves the program in use as it was.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/vector.h"
#include "render/gl_names.h"
#include "render/matrix.h"
#include "render/program_link.h"

constexpr int kShaderSlotCount = 10128;

// The whole file followed by one NUL byte, or null when the file cannot be
// opened or is not a regular file (after printing "Cannot open shader source
// file." and, on standard error, the file, its folder and the reason).
std::unique_ptr<char[]> readShaderSource(const char* path);

// The files one program was built from; vertexPath is empty for a
// fragment-only program.
struct ProgramFiles {
  int slot = 0;
  std::string vertexPath;
  std::string fragmentPath;
};

// What a sampler uniform is bound to.
enum class TextureTarget { Texture2D, CubeMap };

class ShaderSet {
 public:
  ShaderSet() = default;
  ShaderSet(const ShaderSet&) = delete;
  ShaderSet& operator=(const ShaderSet&) = delete;

  void loadFragmentShader(const char* path, int slot);
  void loadVertexShader(const char* path, int slot);
  // Fragment-only program (with the screen quad's vertex stage), left current.
  void buildFragmentProgram(const char* path, int slot);
  // Vertex and fragment program, not made current.
  void buildProgram(const char* vertexPath, const char* fragmentPath, int slot);
  // Compiles and links the program's files again. On success the new program
  // replaces the slot's and the old one is deleted; on a compile or link error
  // the log goes to standard error with the file names, the slot keeps its
  // program, and the result is false.
  bool rebuildProgram(const ProgramFiles& files);
  void useProgram(int slot);
  // Puts program into slot, with its own uniform table, and hands back the
  // program the slot held, which the caller then owns.
  ProgramName exchangeProgram(int slot, ProgramName program);
  // Whether the program in slot uses the uniform `name` (the linker drops
  // what no stage reads).
  bool programReads(int slot, const char* name) const;
  // Setters of the current program's uniforms, which must be slot's.
  void setUniformFloat(int slot, const char* name, float value);
  void setUniformVec4(int slot, const char* name, float x, float y, float z, float w);
  void setUniformMatrix(int slot, const char* name, const Mat4& matrix);
  // Binds texture to unit on target and points the sampler at it.
  void bindTextureUniform(TextureTarget target, int slot, int unit, const char* name,
                          TextureName texture);
  // "TextureMatrix2" := bias * perspective * look-at of camera, which takes a
  // world position to the camera's picture in [0, 1] texture coordinates.
  void setProjectiveTextureMatrix(int slot, double fovY, double aspect, double zNear, double zFar,
                                  const Camera& camera);

  ShaderName fragmentShaders[kShaderSlotCount] = {};
  ShaderName vertexShaders[kShaderSlotCount] = {};
  ProgramName programs[kShaderSlotCount] = {};
  std::vector<ProgramFiles> programFiles;  // every program built, in build order
  // One line for each file of a build (not a rebuild) that could not be
  // read, did not compile or did not link: the show draws on without it, an
  // offline render refuses to.
  std::vector<std::string> problems;

 private:
  void checkLinked(int slot, const ProgramFiles& files, size_t problemsBefore);
  int location(int slot, const char* name) const;
  ShaderName screenQuadVertexShader();

  std::map<int, UniformLocations> uniforms_;
  ShaderName screenQuadVertex_;
};
