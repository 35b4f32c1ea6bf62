// Catmull-Rom evaluation over a closed or open control-point list.
#include "demo/path_spline.h"

#include <cmath>

void splineAddPoint(PathSpline* spline, Vec3 point) {
  spline->points.push_back(point);
  spline->count += 1;
}

namespace {

// One component of the Catmull-Rom segment from p1 to p2 at fraction f, with
// the tangents taken from the neighbours p0 and p3.
float catmullRom(float p0, float p1, float p2, float p3, float f) {
  const float m1 = (p2 - p0) / 2.0f;
  const float m2 = (p3 - p1) / 2.0f;
  return p1 + m1 * f + f * f * (3.0f * (p2 - p1) - 2.0f * m1 - m2) +
         f * f * f * (2.0f * (p1 - p2) + m1 + m2);
}

Vec3 segmentPoint(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& p3, float f) {
  Vec3 out;
  out.x = catmullRom(p0.x, p1.x, p2.x, p3.x, f);
  out.y = catmullRom(p0.y, p1.y, p2.y, p3.y, f);
  out.z = catmullRom(p0.z, p1.z, p2.z, p3.z, f);
  return out;
}

// A control point as an evaluated point: same position, state 1.
Vec3 controlPoint(const Vec3& v) {
  Vec3 out;
  out.x = v.x;
  out.y = v.y;
  out.z = v.z;
  return out;
}

}  // namespace

Vec3 splineEvaluate(const PathSpline& spline, float u) {
  const std::vector<Vec3>& p = spline.points;
  const int n = static_cast<int>(p.size());
  if (n == 0) return Vec3();
  if (!std::isfinite(u)) u = 0.0f;

  if (!spline.closed) {
    if (u >= static_cast<float>(n - 1)) return controlPoint(p[n - 1]);
    if (u <= 0.0f) return controlPoint(p[0]);
    const int i = static_cast<int>(std::floor(u));
    const float f = u - std::floor(u);
    auto at = [&](int k) -> const Vec3& { return p[k < 0 ? 0 : (k > n - 1 ? n - 1 : k)]; };
    return segmentPoint(at(i - 1), at(i), at(i + 1), at(i + 2), f);
  }

  if (u >= static_cast<float>(n - 2) || u <= 2.0f) u += 10000.0f * static_cast<float>(n);
  const float whole = std::floor(u);
  const float f = u - whole;
  // A positive remainder even for parameters far below zero.
  double index = std::fmod(static_cast<double>(whole), static_cast<double>(n));
  if (index < 0.0) index += n;
  const int i = static_cast<int>(index);
  auto at = [&](int k) -> const Vec3& { return p[((k % n) + n) % n]; };
  return segmentPoint(at(i - 1), at(i), at(i + 1), at(i + 2), f);
}
