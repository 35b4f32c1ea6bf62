// Compiling and linking inside render/: the one place that names the vertex
// attributes before a link and reads a linked program's uniform table.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "render/gl_names.h"
#include "render/shader_dialect.h"

// The active uniforms of a linked program and their locations.
struct UniformLocations {
  std::vector<std::pair<std::string, int>> byName;
  // -1 when the program does not read the uniform (setting -1 does nothing).
  int find(const char* name) const;
};

// Compiles text (a file's text or a built-in source) for the context's
// dialect. The shader is returned whether or not it compiled.
ShaderName compileShaderText(ShaderStage stage, const char* text);
bool shaderCompiled(ShaderName shader);
std::string shaderLog(ShaderName shader);
// A new program of the two shaders with the attribute locations bound, linked.
ProgramName linkProgram(ShaderName vertex, ShaderName fragment);
bool programLinked(ProgramName program);
std::string programLog(ProgramName program);
UniformLocations activeUniforms(ProgramName program);
void deleteProgram(ProgramName program);
void deleteShader(ShaderName shader);
