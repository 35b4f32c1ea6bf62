// WAV writing with dither and bounds-checked WAV reading.
#include "wav.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace synth {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

uint32_t get16(const std::vector<uint8_t>& in, size_t at) { return in[at] | (in[at + 1] << 8); }

uint32_t get32(const std::vector<uint8_t>& in, size_t at) {
  return get16(in, at) | (get16(in, at + 2) << 16);
}

int16_t quantise(float x, Noise& dither) {
  // Triangular dither of one least significant bit.
  double v = x * 32767.0 + (dither.unit() - dither.unit());
  return static_cast<int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
}

}  // namespace

bool writeWav(const std::string& path, const StereoBuffer& audio, std::string& error) {
  const uint32_t dataBytes = static_cast<uint32_t>(audio.frames() * 4);
  std::vector<uint8_t> bytes;
  bytes.reserve(44 + dataBytes);
  bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
  put32(bytes, 36 + dataBytes);
  bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(bytes, 16);
  put16(bytes, 1);  // PCM
  put16(bytes, 2);
  put32(bytes, kSampleRate);
  put32(bytes, kSampleRate * 4);
  put16(bytes, 4);
  put16(bytes, 16);
  bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
  put32(bytes, dataBytes);
  Noise dither(0xD17E4u);
  for (size_t i = 0; i < audio.frames(); ++i) {
    put16(bytes, static_cast<uint16_t>(quantise(audio.left[i], dither)));
    put16(bytes, static_cast<uint16_t>(quantise(audio.right[i], dither)));
  }
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file) {
    error = path + ": cannot write the file";
    return false;
  }
  return true;
}

bool readWav(const std::string& path, StereoBuffer& audio, int& sampleRate, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = path + ": cannot open the file";
    return false;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                             std::istreambuf_iterator<char>());
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    error = path + ": not a RIFF WAVE file";
    return false;
  }
  int channels = 0, bits = 0, format = 0;
  size_t dataAt = 0, dataSize = 0;
  for (size_t at = 12; at + 8 <= bytes.size();) {
    uint32_t size = get32(bytes, at + 4);
    size_t body = at + 8;
    size_t available = std::min<size_t>(size, bytes.size() - body);
    if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && available >= 16) {
      format = static_cast<int>(get16(bytes, body));
      channels = static_cast<int>(get16(bytes, body + 2));
      sampleRate = static_cast<int>(get32(bytes, body + 4));
      bits = static_cast<int>(get16(bytes, body + 14));
    } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
      dataAt = body;
      dataSize = available;  // a streamed file may declare more than it holds
    }
    at = body + size + (size & 1);
  }
  if (format != 1 || bits != 16 || (channels != 1 && channels != 2)) {
    error = path + ": only 16-bit PCM mono or stereo is supported";
    return false;
  }
  if (dataAt == 0) {
    error = path + ": no data chunk";
    return false;
  }
  size_t frames = dataSize / (2 * channels);
  audio = StereoBuffer(frames);
  for (size_t i = 0; i < frames; ++i) {
    size_t at = dataAt + i * 2 * channels;
    float l = static_cast<int16_t>(get16(bytes, at)) / 32768.0f;
    float r = channels == 2 ? static_cast<int16_t>(get16(bytes, at + 2)) / 32768.0f : l;
    audio.left[i] = l;
    audio.right[i] = r;
  }
  return true;
}

}  // namespace synth
