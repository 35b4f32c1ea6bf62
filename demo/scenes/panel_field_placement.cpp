// Placement of the falling-panels scene's panels.
#include "demo/scenes/panel_field_placement.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/random.h"
#include "core/timeline.h"
#include "demo/scenes/turning_shell.h"

namespace {

double clamp01(double x) { return std::clamp(x, 0.0, 1.0); }

Vec3 up(float y) {
  Vec3 v;
  v.y = y;
  return v;
}

}  // namespace

FallingPanel placeFallingPanel(int i, const Vec3 corners[4], double t, Random& random) {
  FallingPanel face;
  // New random choices every half second, from 33.5 s sixteen times a second.
  random.seed(static_cast<uint32_t>(i + static_cast<int>(2.0 * t) + 424423));
  if (t > kFieldShrink) random.seed(static_cast<uint32_t>(i + static_cast<int>(16.0 * t) + 424423));
  for (int k = 0; k < 121; ++k) random.unit();
  const float r = static_cast<float>(random.unit());
  face.stagger = 7.0f * r - 1.1f * corners[0].x;
  random.unit();

  face.fadeIn = static_cast<float>(
      easeInOut(clamp01((t - kPanelFieldStart - 0.5 * (corners[0].z + 5.0f)) * 0.25), 1.0));

  Vec3 c[4];
  for (int k = 0; k < 4; ++k) c[k] = vecScale(corners[k], 0.225f);
  const Vec3 middle = vecScale(vecAdd(vecAdd(c[0], c[1]), vecAdd(c[2], c[3])), 0.25f);
  random.unit();

  // Higher faces arrive first; all fall back after 33 s.
  const double y = c[0].y;
  const double a = clamp01(0.1 * (3.0 * y + 2.0 * (t - 19.0)));
  const double b = clamp01(0.1 * (3.0 * y + (t - 33.0)));
  face.arrival = static_cast<float>(easeInOut(a - b, 2.0));

  if (t > kFieldShrink) {
    const float k =
        static_cast<float>(easeInOut((t - kFieldShrink - 3.0 * random.unit()) * 0.5, 1.0));
    for (Vec3& corner : c) corner = vecAdd(middle, vecScale(vecSub(corner, middle), 1.0f - k));
  }
  for (Vec3& corner : c) {
    rotateEuler(&corner, 0.0, 0.5 * t, 0.0);
    rotateEuler(&corner, 0.0, 0.0, 7.0 * (1.0 - face.arrival));
  }
  face.lift = (t >= kFieldHighDrop ? 30.0f : 10.0f) * (1.0f - face.arrival);
  for (Vec3& corner : c) corner = vecAdd(corner, up(face.lift));
  // A slow breathing, phased by the height the face has reached.
  const float breath = static_cast<float>(1.0 + 0.1 * std::sin(0.5 * kPi * t + 1.3 * c[0].y));
  for (int k = 0; k < 4; ++k) face.corners[k] = vecScale(c[k], breath);

  random.unit();
  face.glow = 10.0f * std::pow(face.arrival, 4.0f);
  return face;
}

FieldShellPanel placeFieldShellPanel(int j, const Vec3 corners[4], double t, Random& random) {
  FieldShellPanel face;
  // New random choices once a second.
  random.seed(static_cast<uint32_t>(7 * static_cast<int>(t) + j + 424423));
  random.unit();
  const float r = static_cast<float>(random.unit());
  const float q = 7.0f * r - 1.1f * corners[0].x;
  face.build = static_cast<float>(easeInOut(clamp01(0.15 * t - 0.4 + 0.1 * q), 1.0));
  random.unit();
  turnShellCorners(corners, t, face.corners);
  return face;
}
