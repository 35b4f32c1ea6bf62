// The turn shared by the shells of the opening and the falling-panels scene:
// each corner moved 0.25 along x, then turned about z by 0.1 t.
#pragma once

#include "core/vector.h"

inline void turnShellCorners(const Vec3 corners[4], double t, Vec3 out[4]) {
  Vec3 shift;
  shift.x = 0.25f;
  for (int k = 0; k < 4; ++k) {
    out[k] = vecAdd(corners[k], shift);
    rotateEuler(&out[k], 0.0, 0.0, 0.1 * t);
  }
}
