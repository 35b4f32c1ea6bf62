// Byte sources for the JPEG decoder: an abstract stream and a C-file stream.
//
// The decoder pulls bytes through jpeg_decoder_stream::read and never seeks,
// so any source (file, memory, network) can feed it.
#pragma once

#include <cstdint>
#include <cstdio>

class jpeg_decoder_stream {
 public:
  virtual ~jpeg_decoder_stream() = default;
  // Delivers up to maxBytes into buffer. Returns the count delivered, or -1 on
  // a read error; sets *endOfFile once the source has no more bytes.
  virtual int read(uint8_t* buffer, int maxBytes, bool* endOfFile) = 0;
  // Called by the decoder when it takes the stream and when it stops with an error.
  virtual void attach() {}
  virtual void detach() {}
};

// Reads a file through one C file handle, opened in binary mode.
class jpeg_decoder_file_stream : public jpeg_decoder_stream {
 public:
  jpeg_decoder_file_stream() = default;
  jpeg_decoder_file_stream(const jpeg_decoder_file_stream&) = delete;
  jpeg_decoder_file_stream& operator=(const jpeg_decoder_file_stream&) = delete;
  ~jpeg_decoder_file_stream() override;

  // Closes any open file, clears the end and error flags and opens path.
  // False when the file cannot be opened.
  bool open(const char* path);
  void close();
  int read(uint8_t* buffer, int maxBytes, bool* endOfFile) override;

 private:
  std::FILE* file = nullptr;
  bool eofReached = false;
  bool readFailed = false;
};

// Reads from a byte range owned by the caller (tests, tools, fuzzing).
class jpeg_decoder_memory_stream : public jpeg_decoder_stream {
 public:
  jpeg_decoder_memory_stream(const uint8_t* data, size_t size) : data(data), size(size) {}
  int read(uint8_t* buffer, int maxBytes, bool* endOfFile) override;

 private:
  const uint8_t* data;
  size_t size;
  size_t position = 0;
};
