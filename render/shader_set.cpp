// The shader set: reads GLSL sources, compiles and links them into slot-indexed
// programs, prints every compile log that holds anything to standard output, and sets uniforms
// from the table of locations read at link time.
#include "render/shader_set.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include "core/data_file.h"
#include "render/gl.h"
#include "render/program_link.h"

namespace {

// Compiles the file's text as a shader of the given stage and prints the
// path and, when it holds anything, the compile log. A file that cannot be
// read compiles as an empty text, so the driver never sees a missing
// buffer; its log, which says only that the text ended early, is not
// printed. With `problems`, a file that cannot be read or does not compile
// adds a line there and on standard error, with the log.
ShaderName compileShaderFile(ShaderStage stage, const char* path,
                             std::vector<std::string>* problems) {
  std::unique_ptr<char[]> source = readShaderSource(path);
  const ShaderName shader = compileShaderText(stage, source ? source.get() : "");
  std::cout << path << std::endl;
  if (!source) {
    if (problems) problems->push_back(dataFileProblem(path, "the shader source cannot be read"));
    return shader;
  }
  const std::string log = shaderLog(shader);
  if (!log.empty()) std::cout << log << std::endl;
  if (problems && !shaderCompiled(shader)) {
    problems->push_back(dataFileProblem(path, "does not compile"));
    std::cerr << problems->back() << "\n" << log << std::endl;
  }
  return shader;
}

bool compiled(ShaderName shader, const std::string& path) {
  if (shaderCompiled(shader)) return true;
  // A file that cannot be read was said so as it was read; the log of its
  // empty text would only say that the text ended early.
  std::string why;
  if (!isRegularDataFile(path, why)) {
    std::cerr << path << ": cannot be read; the program in use stays" << std::endl;
    return false;
  }
  std::cerr << path << ": does not compile; the program in use stays\n"
            << shaderLog(shader) << std::endl;
  return false;
}

bool linked(ProgramName program, const ProgramFiles& files) {
  if (programLinked(program)) return true;
  std::cerr << (files.vertexPath.empty() ? "" : files.vertexPath + " with ") << files.fragmentPath
            << ": does not link; the program in use stays\n"
            << programLog(program) << std::endl;
  return false;
}

}  // namespace

std::unique_ptr<char[]> readShaderSource(const char* path) {
  // Only a regular file is opened: a FIFO would block the open, and a
  // folder opens as a stream on Linux but has no text to read.
  std::string why;
  std::ifstream file;
  if (isRegularDataFile(path, why)) {
    file.open(path, std::ios::binary);
    if (!file.is_open()) why = std::strerror(errno);
  }
  if (!file.is_open()) {
    std::cout << "Cannot open shader source file." << std::endl;
    std::cerr << dataFileProblem(path, "cannot open the shader source: " + why) << std::endl;
    return nullptr;
  }

  file.seekg(0, std::ios::end);
  std::streamoff size = file.tellg();
  file.seekg(0, std::ios::beg);
  if (size < 0) size = 0;

  // Zero-filled, so a short read leaves the unread tail as NULs.
  auto buffer = std::make_unique<char[]>(static_cast<size_t>(size) + 1);
  file.read(buffer.get(), size);
  if (file.fail()) {
    std::cout << path << ": read " << file.gcount() << " of " << size << " bytes of shader source"
              << std::endl;
  }
  buffer[size] = '\0';
  return buffer;
}

ShaderName ShaderSet::screenQuadVertexShader() {
  if (!screenQuadVertex_.value)
    screenQuadVertex_ = compileShaderText(ShaderStage::Vertex, kScreenQuadVertexSource);
  return screenQuadVertex_;
}

void ShaderSet::loadFragmentShader(const char* path, int slot) {
  fragmentShaders[slot] = compileShaderFile(ShaderStage::Fragment, path, &problems);
}

void ShaderSet::loadVertexShader(const char* path, int slot) {
  vertexShaders[slot] = compileShaderFile(ShaderStage::Vertex, path, &problems);
}

void ShaderSet::checkLinked(int slot, const ProgramFiles& files, size_t problemsBefore) {
  // A stage already reported makes the link fail too; once is enough.
  if (problems.size() > problemsBefore || programLinked(programs[slot])) return;
  problems.push_back(dataFileProblem(
      (files.vertexPath.empty() ? "" : files.vertexPath + " with ") + files.fragmentPath,
      "the program does not link"));
  std::cerr << problems.back() << "\n" << programLog(programs[slot]) << std::endl;
}

void ShaderSet::buildFragmentProgram(const char* path, int slot) {
  const size_t problemsBefore = problems.size();
  programFiles.push_back({slot, "", path});
  loadFragmentShader(path, slot);
  programs[slot] = linkProgram(screenQuadVertexShader(), fragmentShaders[slot]);
  checkLinked(slot, programFiles.back(), problemsBefore);
  uniforms_[slot] = activeUniforms(programs[slot]);
  useProgram(slot);
}

void ShaderSet::buildProgram(const char* vertexPath, const char* fragmentPath, int slot) {
  const size_t problemsBefore = problems.size();
  programFiles.push_back({slot, vertexPath, fragmentPath});
  loadVertexShader(vertexPath, slot);
  loadFragmentShader(fragmentPath, slot);
  programs[slot] = linkProgram(vertexShaders[slot], fragmentShaders[slot]);
  checkLinked(slot, programFiles.back(), problemsBefore);
  uniforms_[slot] = activeUniforms(programs[slot]);
}

bool ShaderSet::rebuildProgram(const ProgramFiles& files) {
  const bool withVertex = !files.vertexPath.empty();
  const ShaderName fragment =
      compileShaderFile(ShaderStage::Fragment, files.fragmentPath.c_str(), nullptr);
  const ShaderName vertex =
      withVertex ? compileShaderFile(ShaderStage::Vertex, files.vertexPath.c_str(), nullptr)
                 : screenQuadVertexShader();
  bool ok = compiled(fragment, files.fragmentPath);
  if (withVertex) ok = compiled(vertex, files.vertexPath) && ok;
  ProgramName program;
  if (ok) {
    program = linkProgram(vertex, fragment);
    ok = linked(program, files);
  }
  // Deleting a shader or program that is attached or in use only marks it;
  // GL frees it once nothing refers to it.
  const int slot = files.slot;
  if (!ok) {
    deleteProgram(program);
    deleteShader(fragment);
    if (withVertex) deleteShader(vertex);
    return false;
  }
  deleteProgram(programs[slot]);
  deleteShader(fragmentShaders[slot]);
  if (withVertex) deleteShader(vertexShaders[slot]);
  programs[slot] = program;
  fragmentShaders[slot] = fragment;
  if (withVertex) vertexShaders[slot] = vertex;
  uniforms_[slot] = activeUniforms(program);
  return true;
}

void ShaderSet::useProgram(int slot) { glUseProgram(programs[slot].value); }

ProgramName ShaderSet::exchangeProgram(int slot, ProgramName program) {
  const ProgramName held = programs[slot];
  programs[slot] = program;
  uniforms_[slot] = activeUniforms(program);
  return held;
}

int ShaderSet::location(int slot, const char* name) const {
  const auto found = uniforms_.find(slot);
  return found == uniforms_.end() ? -1 : found->second.find(name);
}

bool ShaderSet::programReads(int slot, const char* name) const {
  return programs[slot].value != 0 && location(slot, name) >= 0;
}

void ShaderSet::setUniformFloat(int slot, const char* name, float value) {
  glUniform1f(location(slot, name), value);
}

void ShaderSet::setUniformVec4(int slot, const char* name, float x, float y, float z, float w) {
  glUniform4f(location(slot, name), x, y, z, w);
}

void ShaderSet::setUniformMatrix(int slot, const char* name, const Mat4& matrix) {
  const std::array<float, 16> floats = matrixFloats(matrix);
  glUniformMatrix4fv(location(slot, name), 1, GL_FALSE, floats.data());
}

void ShaderSet::bindTextureUniform(TextureTarget target, int slot, int unit, const char* name,
                                   TextureName texture) {
  glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
  glBindTexture(target == TextureTarget::CubeMap ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D,
                texture.value);
  glUniform1i(location(slot, name), unit);
}

void ShaderSet::setProjectiveTextureMatrix(int slot, double fovY, double aspect, double zNear,
                                           double zFar, const Camera& camera) {
  setUniformMatrix(
      slot, "TextureMatrix2",
      textureBiasMatrix() * perspectiveMatrix(fovY, aspect, zNear, zFar) * lookAtMatrix(camera));
}
