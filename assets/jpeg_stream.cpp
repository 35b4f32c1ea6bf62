// The file and memory byte sources of the JPEG decoder.
#include "assets/jpeg_stream.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/data_file.h"

jpeg_decoder_file_stream::~jpeg_decoder_file_stream() { close(); }

void jpeg_decoder_file_stream::close() {
  if (file) std::fclose(file);
  file = nullptr;
}

bool jpeg_decoder_file_stream::open(const char* path) {
  close();
  eofReached = false;
  readFailed = false;
  // Only a regular file: a FIFO would block the open, a device never end.
  std::string why;
  if (!isRegularDataFile(path, why)) return false;
  file = std::fopen(path, "rb");
  return file != nullptr;
}

int jpeg_decoder_file_stream::read(uint8_t* buffer, int maxBytes, bool* endOfFile) {
  if (!file) return -1;
  if (eofReached) {
    *endOfFile = true;
    return 0;
  }
  if (readFailed) return -1;
  size_t wanted = maxBytes > 0 ? static_cast<size_t>(maxBytes) : 0;
  size_t got = std::fread(buffer, 1, wanted, file);
  if (got < wanted) {
    if (std::ferror(file)) {
      readFailed = true;
      return -1;
    }
    eofReached = true;
    *endOfFile = true;
  }
  return static_cast<int>(got);
}

int jpeg_decoder_memory_stream::read(uint8_t* buffer, int maxBytes, bool* endOfFile) {
  size_t count = std::min(size - position, static_cast<size_t>(std::max(maxBytes, 0)));
  if (count) std::memcpy(buffer, data + position, count);
  position += count;
  if (position == size) *endOfFile = true;
  return static_cast<int>(count);
}
