// Compiling and linking inside render/: the one place that names the vertex
// attributes before a link and reads a linked program's uniform table.
#pragma once

#include <string>

#include "render/gl_names.h"
#include "render/shader_dialect.h"
#include "render/shader_set.h"

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
