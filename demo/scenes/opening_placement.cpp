// Placement of the opening scene's panels.
#include "demo/scenes/opening_placement.h"

#include <algorithm>
#include <cstdint>

#include "core/random.h"
#include "demo/scenes/turning_shell.h"

namespace {

float clamp01(float x) { return std::clamp(x, 0.0f, 1.0f); }

// Seeds the face and draws its stagger: a random delay against the x of the
// first corner, so panels further left start earlier.
float faceStagger(int face, const Vec3& c0, Random& random) {
  random.seed(static_cast<uint32_t>(face + 424423));
  random.unit();
  return static_cast<float>(7.0 * random.unit()) - 1.1f * c0.x;
}

}  // namespace

OpeningWallFace placeOpeningWallFace(int i, const Vec3 corners[4], double t, Random& random) {
  OpeningWallFace face;
  const float q = faceStagger(i, corners[0], random);
  const float a = 0.1f * q;
  const float ft = static_cast<float>(t);
  const float p1 = clamp01(a + 0.15f * ft - 0.4f);
  face.grow = static_cast<float>(easeInOut(p1, 1.0));
  const float p2 = clamp01(0.15f * ft - 1.7f + a);
  const float p3 = clamp01(0.193f * ft - 2.7f + 0.05f * q);
  face.rings = static_cast<float>(easeInOut(8.0f * (p2 - p3), 1.0));

  Vec3 lift;
  lift.y = 10.0f * (1.0f - face.grow);
  for (int k = 0; k < 4; ++k) face.corners[k] = vecAdd(vecScale(corners[k], face.grow), lift);
  return face;
}

OpeningCubeFace placeOpeningCubeFace(int j, const Vec3 corners[4], double t, Random& random) {
  OpeningCubeFace face;
  const float q = faceStagger(j, corners[0], random);
  const float a = 0.1f * q;
  const float ft = static_cast<float>(t);
  const float p2 = clamp01(0.15f * ft - 1.7f + a);
  const float p3 = clamp01(0.193f * ft - 2.75f + 0.05f * q);
  face.rings = static_cast<float>(easeInOut(8.0f * (p2 - p3), 1.0));

  random.unit();
  turnShellCorners(corners, t, face.corners);
  return face;
}
