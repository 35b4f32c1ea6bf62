// libFuzzer target for the shader-source reader: any file content comes back
// byte for byte with one NUL after it, whatever its size and bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "render/shader_set.h"

namespace {

std::string sourcePath() {
  const char* folder = std::getenv("TMPDIR");
  return std::string(folder ? folder : "/tmp") + "/tessaly_shader_fuzz_" +
         std::to_string(getpid()) + ".cpp";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = sourcePath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  std::unique_ptr<char[]> buffer = readShaderSource(path.c_str());
  if (!buffer) std::abort();
  if ((size && std::memcmp(buffer.get(), data, size) != 0) || buffer[size] != '\0') std::abort();
  return 0;
}
