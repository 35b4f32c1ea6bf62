// The show's random generator: one object, owned by the show's state and
// handed to everything that draws from it.
//
// Every pattern in the show comes from this generator, reseeded with fixed
// seeds every frame, so any frame time always renders the same picture; the
// order of the draws is part of the show, since every later pattern
// continues the sequence. It is the classic linear congruential generator
// (state * 214013 + 2531011, output bits 16..30); the C library's rand()
// differs and must never be called.
#pragma once

#include <cstdint>

class Random {
 public:
  void seed(uint32_t seed) { state_ = seed; }
  // Next value in 0..32767.
  int next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }
  // next() / 32767.0: uniform in [0, 1] with both ends reachable.
  double unit() { return next() / 32767.0; }

 private:
  uint32_t state_ = 1;
};
