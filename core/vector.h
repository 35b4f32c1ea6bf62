// Vectors and cameras of the show, and the small helpers the scenes and the
// procedural shapes do all their CPU geometry with. Pure arithmetic: no GL.
//
// Vec3 carries a state word: 0 = undefined (operations treat it as absent),
// 1 = ordinary, 2 = known to be of unit length. Camera is the eye/target/up
// triple that the camera script writes and the scenes hand to lookAt.
//
// The vector operations work in single precision; the easing curves work in
// double precision. None of them allocates or fails. Where an operand is
// undefined (state 0) the result is the zero result: state 1, (0, 0, 0).
#pragma once

#include <cstdint>

struct Vec3 {
  int32_t state = 1;
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};
static_assert(sizeof(Vec3) == 16, "Vec3 is the 16-byte vector with a state word");

constexpr double kPi = 3.14159265358979323846;

struct Camera {
  Vec3 eye;
  Vec3 target;
  Vec3 up;
};

// An ordinary vector (state 1) from three components.
Vec3 vec3(float x, float y, float z);

// Add, subtract, scale and negate come in two forms that behave identically:
// one writes into *out and returns out (out may alias an operand), the other
// returns the result by value.
Vec3* vecAdd(Vec3* out, Vec3 a, Vec3 b);  // state 1, a + b
Vec3 vecAdd(Vec3 a, Vec3 b);
Vec3* vecSub(Vec3* out, Vec3 a, Vec3 b);  // state 1, a - b
Vec3 vecSub(Vec3 a, Vec3 b);
// v * s, keeping v's state (a scaled unit vector stays 2).
Vec3* vecScale(Vec3* out, Vec3 v, float s);
Vec3 vecScale(Vec3 v, float s);
Vec3* vecNeg(Vec3* out, Vec3 v);  // -v, keeping v's state
Vec3 vecNeg(Vec3 v);

// State 1, a x b.
Vec3 vecCross(Vec3 a, Vec3 b);
// sqrt(x^2 + y^2 + z^2), the squares and their sum in float. The state is not read.
float vecLength(Vec3 v);
// Only a state-1 vector changes: it becomes state 2 and is scaled by the
// reciprocal of its length (rounded to float); a length below 1e-8 gives
// (0, 0, 0) with state 2. Returns v.
Vec3* vecNormalize(Vec3* v);

// v <- Rx(ax) * Ry(ay) * Rz(az) * v with state 1, angles in radians, each
// rounded to float before its sine and cosine are taken. The input's state is
// not read.
void rotateEuler(Vec3* v, double ax, double ay, double az);

// Fade shape: 0 for x <= 0 (and NaN), about (x/2)^2.2 for small x, the
// identity from x = 10/3 upward.
double softCurve(double x);
// Eased 0..1 ramp: x clamped to [0, 1], then (1 - c^((p+1)/2))^p with
// c = (1 + cos(pi x)) / 2. With p = 1 the plain cosine ease.
double easeInOut(double x, double p);
