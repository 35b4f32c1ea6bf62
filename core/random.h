// The show's one process-wide random sequence.
//
// Every pattern in the show comes from this generator, reseeded with fixed
// seeds every frame, so any frame time always renders the same picture. It is
// the classic linear congruential generator (state * 214013 + 2531011, output
// bits 16..30); the C library's rand() differs and must never be called.
#pragma once

#include <cstdint>

void crtSrand(uint32_t seed);
// Next value in 0..32767.
int crtRand();
// crtRand() / 32767.0: uniform in [0, 1] with both ends reachable.
double randomUnit();
