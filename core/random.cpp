// The show's linear congruential generator.
#include "core/random.h"

namespace {
uint32_t generatorState = 1;
}

void crtSrand(uint32_t seed) { generatorState = seed; }

int crtRand() {
  generatorState = generatorState * 214013u + 2531011u;
  return static_cast<int>((generatorState >> 16) & 0x7FFFu);
}

double randomUnit() { return crtRand() / 32767.0; }
