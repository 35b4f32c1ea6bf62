// Shader compilation and program linking.
#include "render/program_link.h"

#include <vector>

#include "render/gl.h"

namespace {

constexpr GLsizei kInfoLogSize = 1000;

}  // namespace

ShaderName compileShaderText(ShaderStage stage, const char* text) {
  const std::string source = composeShaderSource(text, contextShaderDialect());
  const char* sourceText = source.c_str();
  const GLuint shader =
      glCreateShader(stage == ShaderStage::Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
  glShaderSource(shader, 1, &sourceText, nullptr);
  glCompileShader(shader);
  return {shader};
}

bool shaderCompiled(ShaderName shader) {
  GLint status = GL_FALSE;
  glGetShaderiv(shader.value, GL_COMPILE_STATUS, &status);
  return status == GL_TRUE;
}

std::string shaderLog(ShaderName shader) {
  char log[kInfoLogSize] = {};
  glGetShaderInfoLog(shader.value, kInfoLogSize, nullptr, log);
  return log;
}

ProgramName linkProgram(ShaderName vertex, ShaderName fragment) {
  const GLuint program = glCreateProgram();
  glAttachShader(program, fragment.value);
  glAttachShader(program, vertex.value);
  glBindAttribLocation(program, kPositionAttribute, "vertexPosition");
  glBindAttribLocation(program, kPositionAttribute, "quadCorner");
  glBindAttribLocation(program, kNormalAttribute, "vertexNormal");
  glBindAttribLocation(program, kColorAttribute, "vertexColor");
  glBindAttribLocation(program, kClipPlanesAttribute, "clipPlanes");
  glLinkProgram(program);
  return {program};
}

bool programLinked(ProgramName program) {
  GLint status = GL_FALSE;
  glGetProgramiv(program.value, GL_LINK_STATUS, &status);
  return status == GL_TRUE;
}

std::string programLog(ProgramName program) {
  char log[kInfoLogSize] = {};
  glGetProgramInfoLog(program.value, kInfoLogSize, nullptr, log);
  return log;
}

int UniformLocations::find(const char* name) const {
  for (const auto& [uniform, location] : byName)
    if (uniform == name) return location;
  return -1;
}

UniformLocations activeUniforms(ProgramName program) {
  UniformLocations table;
  if (!programLinked(program)) return table;
  GLint count = 0, longest = 0;
  glGetProgramiv(program.value, GL_ACTIVE_UNIFORMS, &count);
  glGetProgramiv(program.value, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
  std::vector<char> name(static_cast<size_t>(longest) + 1);
  for (GLint i = 0; i < count; ++i) {
    GLsizei length = 0;
    GLint size = 0;
    GLenum type = 0;
    glGetActiveUniform(program.value, static_cast<GLuint>(i), static_cast<GLsizei>(name.size()),
                       &length, &size, &type, name.data());
    const std::string uniform(name.data(), static_cast<size_t>(length));
    table.byName.emplace_back(uniform, glGetUniformLocation(program.value, uniform.c_str()));
  }
  return table;
}

void deleteProgram(ProgramName program) { glDeleteProgram(program.value); }

void deleteShader(ShaderName shader) { glDeleteShader(shader.value); }
