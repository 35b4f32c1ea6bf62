// Test MP3s made at test time: a generated signal written as a 16-bit stereo
// WAV at 44100 Hz and encoded with lame.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace test_tracks {

constexpr int kRate = 44100;

// A sine whose frequency lies on the centre of the given spectrum band.
inline std::function<float(int64_t)> bandSine(int band, double amplitude) {
  return [band, amplitude](int64_t frame) {
    return static_cast<float>(amplitude * std::sin(2.0 * M_PI * band * frame / 1024.0));
  };
}

inline void writeWav(const std::string& path, const std::function<float(int64_t)>& signal,
                     int64_t frames) {
  std::vector<int16_t> pcm(static_cast<size_t>(frames) * 2);
  for (int64_t i = 0; i < frames; ++i) {
    const double value = std::round(signal(i) * 32767.0);
    pcm[i * 2] = pcm[i * 2 + 1] =
        static_cast<int16_t>(std::fmax(-32768.0, std::fmin(32767.0, value)));
  }
  const uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&out](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&out](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("RIFF", 4);
  u32(36 + dataBytes);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(2);
  u32(kRate);
  u32(kRate * 4);
  u16(4);
  u16(16);
  out.write("data", 4);
  u32(dataBytes);
  out.write(reinterpret_cast<const char*>(pcm.data()), dataBytes);
}

// Encodes the signal to DIR/name-PID.mp3 (DIR is the test temp folder) and
// returns the path. The process id keeps test processes that CTest runs in
// parallel from writing the same file at once.
inline std::string makeMp3(const std::string& name, const std::function<float(int64_t)>& signal,
                           int64_t frames) {
  const std::string base =
      testing::TempDir() + "tessaly_sound_" + name + "-" + std::to_string(getpid());
  writeWav(base + ".wav", signal, frames);
  const std::string command = "lame --quiet -b 192 '" + base + ".wav' '" + base + ".mp3'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::remove((base + ".wav").c_str());
  return base + ".mp3";
}

inline std::vector<char> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::vector<char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace test_tracks
