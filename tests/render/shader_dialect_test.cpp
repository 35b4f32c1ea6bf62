// Every shader of the data pack, and the programs render/ keeps in code,
// compile as desktop GLSL 3.30 core and as GLSL ES 3.00 (without clip
// distances) once the loader has put its lines in front: checked with
// the reference compiler, glslangValidator, so no ES context is needed.
#include "render/shader_dialect.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

// The compiler's report for text as a shader of stage, or "" when it compiles.
std::string compileErrors(const std::string& text, ShaderStage stage, const std::string& name) {
  const std::string path =
      testing::TempDir() + name + (stage == ShaderStage::Vertex ? ".vert" : ".frag");
  std::ofstream(path, std::ios::binary) << text;
  const std::string log = path + ".log";
  const std::string command = "glslangValidator '" + path + "' > '" + log + "' 2>&1";
  if (std::system(command.c_str()) == 0) return "";
  std::ifstream file(log);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void expectCompilesEverywhere(const std::string& fileText, ShaderStage stage,
                              const std::string& name) {
  const struct {
    ShaderDialect dialect;
    const char* label;
  } dialects[] = {{ShaderDialect::DesktopCore, "desktop"}, {ShaderDialect::Es300, "es"}};
  for (const auto& d : dialects) {
    const std::string source = composeShaderSource(fileText, d.dialect);
    EXPECT_EQ(compileErrors(source, stage, name + "_" + d.label), "") << name << " as " << d.label;
  }
}

TEST(ShaderDialects, EveryShaderCompilesForBothTargets) {
  ASSERT_EQ(std::system("glslangValidator --version > /dev/null 2>&1"), 0)
      << "glslangValidator is missing: tools/install-packages installs glslang-tools";
  int checked = 0;
  for (const char* folder : {"Materials", "PostProcessing"}) {
    for (const auto& entry :
         fs::directory_iterator(fs::path(TESSALY_SOURCE_DIR) / "data" / folder)) {
      const std::string name = entry.path().stem().string();
      std::ifstream file(entry.path(), std::ios::binary);
      const std::string text{std::istreambuf_iterator<char>(file), {}};
      expectCompilesEverywhere(text, name[0] == 'v' ? ShaderStage::Vertex : ShaderStage::Fragment,
                               name);
      ++checked;
    }
  }
  EXPECT_GE(checked, 11);
  expectCompilesEverywhere(kScreenQuadVertexSource, ShaderStage::Vertex, "screen_quad");
  expectCompilesEverywhere(kFlatVertexSource, ShaderStage::Vertex, "flat");
  expectCompilesEverywhere(kFlatFragmentSource, ShaderStage::Fragment, "flat");
}

// A compile log counts the file's own lines: the loader's lines come before
// a "#line 1".
TEST(ShaderDialects, LogsCountTheFilesOwnLines) {
  const std::string broken = "out vec4 fragColor;\nvoid main() {\n  fragColor = vec4(1.0;\n}\n";
  for (ShaderDialect dialect : {ShaderDialect::DesktopCore, ShaderDialect::Es300}) {
    const std::string log =
        compileErrors(composeShaderSource(broken, dialect), ShaderStage::Fragment, "broken");
    EXPECT_NE(log.find(":3:"), std::string::npos) << log;
  }
}

}  // namespace
