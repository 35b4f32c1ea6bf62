// Vector arithmetic, the three-angle rotation and the easing curves.
#include "core/vector.h"

#include <cmath>

namespace {

// Three rows of four floats; the fourth float of each row is never used.
struct Mat3 {
  float m[3][4];
};

bool defined(const Vec3& v) { return v.state != 0; }

}  // namespace

Vec3 vec3(float x, float y, float z) {
  Vec3 v;
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

Vec3* vecAdd(Vec3* out, Vec3 a, Vec3 b) {
  *out = defined(a) && defined(b) ? vec3(a.x + b.x, a.y + b.y, a.z + b.z) : Vec3();
  return out;
}

Vec3 vecAdd(Vec3 a, Vec3 b) {
  Vec3 result;
  return *vecAdd(&result, a, b);
}

Vec3* vecSub(Vec3* out, Vec3 a, Vec3 b) {
  *out = defined(a) && defined(b) ? vec3(a.x - b.x, a.y - b.y, a.z - b.z) : Vec3();
  return out;
}

Vec3 vecSub(Vec3 a, Vec3 b) {
  Vec3 result;
  return *vecSub(&result, a, b);
}

Vec3* vecScale(Vec3* out, Vec3 v, float s) {
  if (!defined(v)) {
    *out = Vec3();
    return out;
  }
  *out = vec3(v.x * s, v.y * s, v.z * s);
  out->state = v.state;
  return out;
}

Vec3 vecScale(Vec3 v, float s) {
  Vec3 result;
  return *vecScale(&result, v, s);
}

Vec3* vecNeg(Vec3* out, Vec3 v) {
  if (!defined(v)) {
    *out = Vec3();
    return out;
  }
  *out = vec3(-v.x, -v.y, -v.z);
  out->state = v.state;
  return out;
}

Vec3 vecNeg(Vec3 v) {
  Vec3 result;
  return *vecNeg(&result, v);
}

Vec3 vecCross(Vec3 a, Vec3 b) {
  if (!defined(a) || !defined(b)) return Vec3();
  return vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float vecLength(Vec3 v) {
  const float sum = v.x * v.x + v.y * v.y + v.z * v.z;
  return std::sqrt(sum);
}

Vec3* vecNormalize(Vec3* v) {
  if (v->state != 1) return v;
  const float length = vecLength(*v);
  v->state = 2;
  if (length < 1e-8) {
    v->x = v->y = v->z = 0.0f;
    return v;
  }
  const float inverse = 1.0f / length;
  v->x *= inverse;
  v->y *= inverse;
  v->z *= inverse;
  return v;
}

void rotateEuler(Vec3* v, double ax, double ay, double az) {
  const float fa = static_cast<float>(ax);
  const float fb = static_cast<float>(ay);
  const float fc = static_cast<float>(az);
  const float ca = static_cast<float>(std::cos(double{fa}));
  const float sa = static_cast<float>(std::sin(double{fa}));
  const float cb = static_cast<float>(std::cos(double{fb}));
  const float sb = static_cast<float>(std::sin(double{fb}));
  const float cc = static_cast<float>(std::cos(double{fc}));
  const float sc = static_cast<float>(std::sin(double{fc}));
  Mat3 r = {};
  r.m[0][0] = cb * cc;
  r.m[0][1] = -cb * sc;
  r.m[0][2] = sb;
  r.m[1][0] = ca * sc + sa * sb * cc;
  r.m[1][1] = ca * cc - sa * sb * sc;
  r.m[1][2] = -sa * cb;
  r.m[2][0] = sa * sc - ca * sb * cc;
  r.m[2][1] = sa * cc + ca * sb * sc;
  r.m[2][2] = ca * cb;
  const float x = v->x, y = v->y, z = v->z;
  v->x = r.m[0][0] * x + r.m[0][1] * y + r.m[0][2] * z;
  v->y = r.m[1][0] * x + r.m[1][1] * y + r.m[1][2] * z;
  v->z = r.m[2][0] * x + r.m[2][1] * y + r.m[2][2] * z;
  v->state = 1;
}

double softCurve(double x) {
  const double positive = x > 0.0 ? x : 0.0;  // NaN fails the test and gives 0
  const double bend = std::pow(0.5 * positive, 2.2);
  double weight = 0.3 * positive;
  if (weight > 1.0) weight = 1.0;
  return positive + (bend - positive) * (1.0 - weight);
}

double easeInOut(double x, double p) {
  double a = x;
  if (a < 0.0) a = 0.0;
  if (a > 1.0) a = 1.0;
  const double c = (1.0 + std::cos(kPi * a)) / 2.0;
  return std::pow(1.0 - std::pow(c, (p + 1.0) / 2.0), p);
}
