// The benchmark's floor programs.
#include "render/floor_programs.h"

#include "render/program_link.h"
#include "render/shader_set.h"

namespace {

const char* const kConstantColourSource =
    "layout(location = 0) out vec4 colour0;\n"
    "layout(location = 1) out vec4 colour1;\n"
    "layout(location = 2) out vec4 colour2;\n"
    "void main() {\n"
    "  colour0 = vec4(0.5, 0.5, 0.5, 1.0);\n"
    "  colour1 = colour0;\n"
    "  colour2 = colour0;\n"
    "}\n";

const char* const kOneReadSource =
    "uniform sampler2D firstInput;\n"
    "out vec4 fragColor;\n"
    "void main() { fragColor = texelFetch(firstInput, ivec2(gl_FragCoord.xy), 0); }\n";

}  // namespace

FloorPrograms::FloorPrograms(ShaderSet& shaders) : shaders_(shaders) {
  const ShaderName constantColour = compileShaderText(ShaderStage::Fragment, kConstantColourSource);
  const ShaderName oneRead = compileShaderText(ShaderStage::Fragment, kOneReadSource);
  const ShaderName quadVertex = compileShaderText(ShaderStage::Vertex, kScreenQuadVertexSource);
  for (const ProgramFiles& files : shaders.programFiles) {
    const bool ownVertex = !files.vertexPath.empty();
    outOfSlot_.emplace_back(
        files.slot, ownVertex ? linkProgram(shaders.vertexShaders[files.slot], constantColour)
                              : linkProgram(quadVertex, oneRead));
  }
  deleteShader(constantColour);
  deleteShader(oneRead);
  deleteShader(quadVertex);
}

FloorPrograms::~FloorPrograms() {
  if (inPlace_) exchange();
  for (const auto& [slot, program] : outOfSlot_) deleteProgram(program);
}

void FloorPrograms::exchange() {
  for (auto& [slot, program] : outOfSlot_) program = shaders_.exchangeProgram(slot, program);
  inPlace_ = !inPlace_;
}
