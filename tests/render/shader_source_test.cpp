// Reading shader sources: whole file plus a NUL, or no buffer with a message.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "render/shader_set.h"

namespace {

std::string writeTempFile(const std::string& name, const std::string& bytes) {
  std::string path = testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

TEST(ReadShaderSource, HoldsTheWholeFileFollowedByOneNul) {
  // Bytes a text-mode read would alter (CR LF) and an embedded NUL stay as they are.
  const char raw[] = "void main() {\r\n  gl_FragColor = vec4(1.0);\0x\n}\n";
  const std::string text(raw, sizeof raw - 1);
  std::string path = writeTempFile("tessaly_source.frag", text);
  std::unique_ptr<char[]> buffer = readShaderSource(path.c_str());
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(std::string(buffer.get(), text.size()), text);
  EXPECT_EQ(buffer[text.size()], '\0');
}

TEST(ReadShaderSource, EmptyFileGivesOneNulByte) {
  std::string path = writeTempFile("tessaly_empty.frag", "");
  testing::internal::CaptureStdout();
  std::unique_ptr<char[]> buffer = readShaderSource(path.c_str());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer[0], '\0');
}

TEST(ReadShaderSource, UnopenablePathsGiveNoBufferAndTheMessage) {
  const std::string missing = testing::TempDir() + "tessaly_no_such_shader.frag";
  const std::string directory = testing::TempDir();
  for (const std::string& path : {missing, directory}) {
    testing::internal::CaptureStdout();
    std::unique_ptr<char[]> buffer = readShaderSource(path.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot open shader source file.\n") << path;
    EXPECT_EQ(buffer, nullptr) << path;
  }
}

}  // namespace
