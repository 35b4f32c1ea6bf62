// Vectors and cameras of the show.
//
// Vec3 carries a state word: 0 = undefined (operations treat it as absent),
// 1 = ordinary, 2 = known to be of unit length. Camera is the eye/target/up
// triple that the camera script writes and the scenes hand to lookAt.
#pragma once

#include <cstdint>

struct Vec3 {
  int32_t state = 1;
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};
static_assert(sizeof(Vec3) == 16, "Vec3 is the 16-byte vector with a state word");

struct Camera {
  Vec3 eye;
  Vec3 target;
  Vec3 up;
};
