// The shader set: reads GLSL sources, compiles and links them into slot-indexed
// programs, prints every compile log to standard output, and sets uniforms by name.
#include "render/shader_set.h"

#include <GL/glu.h>

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

constexpr GLsizei kInfoLogSize = 1000;

// Creates a shader of the given type, compiles the file's text into it and
// prints the path and the compile log. A file that cannot be read compiles as
// an empty string, so the driver never sees a missing buffer.
GLuint compileShaderFile(GLenum type, const char* path) {
  std::unique_ptr<char[]> source = readShaderSource(path);
  const char* text = source ? source.get() : "";
  GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);

  char log[kInfoLogSize] = {};
  glGetShaderInfoLog(shader, kInfoLogSize, nullptr, log);
  std::cout << path << std::endl;
  std::cout << log << std::endl;
  return shader;
}

bool compiled(GLuint shader, const std::string& path) {
  GLint status = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  if (status == GL_TRUE) return true;
  char log[kInfoLogSize] = {};
  glGetShaderInfoLog(shader, kInfoLogSize, nullptr, log);
  std::cerr << path << ": does not compile; the program in use stays\n" << log << std::endl;
  return false;
}

bool linked(GLuint program, const ProgramFiles& files) {
  GLint status = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &status);
  if (status == GL_TRUE) return true;
  char log[kInfoLogSize] = {};
  glGetProgramInfoLog(program, kInfoLogSize, nullptr, log);
  std::cerr << (files.vertexPath.empty() ? "" : files.vertexPath + " with ") << files.fragmentPath
            << ": does not link; the program in use stays\n"
            << log << std::endl;
  return false;
}

}  // namespace

std::unique_ptr<char[]> readShaderSource(const char* path) {
  std::error_code error;
  std::ifstream file;
  // A directory opens as a stream on Linux but has no text to read.
  if (!std::filesystem::is_directory(path, error)) file.open(path, std::ios::binary);
  if (!file.is_open()) {
    std::cout << "Cannot open shader source file." << std::endl;
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

void ShaderSet::loadFragmentShader(const char* path, int slot) {
  fragmentShaders[slot] = compileShaderFile(GL_FRAGMENT_SHADER, path);
}

void ShaderSet::loadVertexShader(const char* path, int slot) {
  vertexShaders[slot] = compileShaderFile(GL_VERTEX_SHADER, path);
}

void ShaderSet::buildFragmentProgram(const char* path, int slot) {
  programFiles.push_back({slot, "", path});
  loadFragmentShader(path, slot);
  programs[slot] = glCreateProgram();
  glAttachShader(programs[slot], fragmentShaders[slot]);
  glLinkProgram(programs[slot]);
  useProgram(slot);
}

void ShaderSet::buildProgram(const char* vertexPath, const char* fragmentPath, int slot) {
  programFiles.push_back({slot, vertexPath, fragmentPath});
  loadVertexShader(vertexPath, slot);
  loadFragmentShader(fragmentPath, slot);
  programs[slot] = glCreateProgram();
  glAttachShader(programs[slot], fragmentShaders[slot]);
  glAttachShader(programs[slot], vertexShaders[slot]);
  glLinkProgram(programs[slot]);
}

bool ShaderSet::rebuildProgram(const ProgramFiles& files) {
  const bool withVertex = !files.vertexPath.empty();
  const GLuint fragment = compileShaderFile(GL_FRAGMENT_SHADER, files.fragmentPath.c_str());
  const GLuint vertex =
      withVertex ? compileShaderFile(GL_VERTEX_SHADER, files.vertexPath.c_str()) : 0;
  bool ok = compiled(fragment, files.fragmentPath);
  if (withVertex) ok = compiled(vertex, files.vertexPath) && ok;
  GLuint program = 0;
  if (ok) {
    program = glCreateProgram();
    glAttachShader(program, fragment);
    if (withVertex) glAttachShader(program, vertex);
    glLinkProgram(program);
    ok = linked(program, files);
  }
  // Deleting a shader or program that is attached or in use only marks it;
  // GL frees it once nothing refers to it.
  const int slot = files.slot;
  if (!ok) {
    glDeleteProgram(program);
    glDeleteShader(fragment);
    glDeleteShader(vertex);
    return false;
  }
  glDeleteProgram(programs[slot]);
  glDeleteShader(fragmentShaders[slot]);
  if (withVertex) glDeleteShader(vertexShaders[slot]);
  programs[slot] = program;
  fragmentShaders[slot] = fragment;
  if (withVertex) vertexShaders[slot] = vertex;
  return true;
}

void ShaderSet::useProgram(int slot) { glUseProgram(programs[slot]); }

void ShaderSet::useFixedFunction() { glUseProgram(0); }

bool ShaderSet::programReads(int slot, const char* name) const {
  return programs[slot] != 0 && glGetUniformLocation(programs[slot], name) >= 0;
}

void ShaderSet::setUniformFloat(int slot, const char* name, float value) {
  glUniform1f(glGetUniformLocation(programs[slot], name), value);
}

void ShaderSet::setUniformVec4(int slot, const char* name, float x, float y, float z, float w) {
  glUniform4f(glGetUniformLocation(programs[slot], name), x, y, z, w);
}

void ShaderSet::bindTextureUniform(GLenum target, int slot, int unit, const char* name,
                                   GLuint textureName) {
  GLint location = glGetUniformLocation(programs[slot], name);
  glActiveTexture(GL_TEXTURE0 + unit);
  glBindTexture(target, textureName);
  glUniform1i(location, unit);
}

void ShaderSet::setProjectiveTextureMatrix(double fovY, double aspect, double zNear, double zFar,
                                           const Camera& camera) {
  // Texture matrix 2 = bias [-1,1] -> [0,1], then the camera's projection and
  // view. Only that matrix is written, so no other matrix stack needs saving;
  // the caller is left in texture matrix mode with unit 0 active.
  glMatrixMode(GL_TEXTURE);
  glActiveTextureARB(GL_TEXTURE2);
  glLoadIdentity();
  glTranslatef(0.5f, 0.5f, 0.5f);
  glScalef(0.5f, 0.5f, 0.5f);
  gluPerspective(fovY, aspect, zNear, zFar);
  gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.target.x, camera.target.y,
            camera.target.z, camera.up.x, camera.up.y, camera.up.z);

  glActiveTextureARB(GL_TEXTURE0);
}
