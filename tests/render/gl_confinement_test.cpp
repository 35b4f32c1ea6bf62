// The render layer is the one folder that speaks GL, and nothing anywhere is
// the fixed-function pipeline: the sources of every other folder include no
// GL header and call no gl* function, no source calls a fixed-function entry
// point, and no shader of the data pack reads the fixed-function built-ins.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The file's text without its // comments, which may name GL calls freely.
std::string codeOf(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(file), {}};
  static const std::regex comment("//[^\n]*");
  return std::regex_replace(text, comment, "");
}

// "folder/file:line: text" for each line of the sources under folders that
// matches pattern.
std::vector<std::string> findings(const std::vector<std::string>& folders,
                                  const std::regex& pattern) {
  std::vector<std::string> found;
  for (const std::string& folder : folders) {
    const fs::path root = fs::path(TESSALY_SOURCE_DIR) / folder;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      const std::string extension = entry.path().extension().string();
      if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
      std::istringstream lines(codeOf(entry.path()));
      std::string line;
      for (int number = 1; std::getline(lines, line); ++number)
        if (std::regex_search(line, pattern))
          found.push_back(fs::relative(entry.path(), TESSALY_SOURCE_DIR).string() + ":" +
                          std::to_string(number) + ": " + line);
    }
  }
  return found;
}

TEST(GLConfinement, NoFolderButRenderIncludesOrCallsGL) {
  const std::regex gl(R"((#include\s*<GL/)|(#include\s*<GLES)|(\bglu?[A-Z]\w*\s*\())");
  EXPECT_EQ(findings({"app", "capture", "runtime", "demo", "platform", "core", "assets"}, gl),
            std::vector<std::string>{});
}

TEST(GLConfinement, NothingIsFixedFunction) {
  const std::regex fixed(
      R"(\b(glBegin|glEnd|glPushMatrix|glPopMatrix|glMatrixMode|glLoadIdentity|glCallLists?|)"
      R"(glNewList|glGenLists|glPushAttrib|glPopAttrib|glColor[34]\w*|glVertex[234]\w*|)"
      R"(glTexCoord\w*|glOrtho|glTexImage1D|gluPerspective|gluLookAt)\s*\()");
  EXPECT_EQ(findings({"app", "capture", "runtime", "demo", "platform", "core", "assets", "render"},
                     fixed),
            std::vector<std::string>{});
  const std::regex builtIns(
      R"(\b(gl_FragColor|gl_FragData|gl_TexCoord|gl_Vertex|gl_Normal|gl_Color|ftransform|)"
      R"(gl_ModelViewMatrix|gl_ProjectionMatrix|gl_TextureMatrix|texture2D|#version)\b)");
  EXPECT_EQ(findings({"data/Materials", "data/PostProcessing"}, builtIns),
            std::vector<std::string>{});
}

}  // namespace
