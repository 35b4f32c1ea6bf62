// Writes SIZE pseudo-random bytes from SEED to standard output, the same
// bytes for the same seed, so a damaged data file can be made again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: random_bytes SIZE SEED\n");
    return 2;
  }
  long long size = std::atoll(argv[1]);
  uint64_t state = std::strtoull(argv[2], nullptr, 10) * 0x9E3779B97F4A7C15ull + 1;
  unsigned char block[4096];
  while (size > 0) {
    const int count = size < 4096 ? static_cast<int>(size) : 4096;
    for (int i = 0; i < count; ++i) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      block[i] = static_cast<unsigned char>(state >> 32);
    }
    if (std::fwrite(block, 1, count, stdout) != static_cast<size_t>(count)) return 1;
    size -= count;
  }
  return 0;
}
