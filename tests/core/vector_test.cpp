// Vector arithmetic, rotation and easing curves.
#include "core/vector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

Vec3 v3(float x, float y, float z, int32_t state = 1) {
  Vec3 v;
  v.state = state;
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

void expectVec(const Vec3& v, int32_t state, float x, float y, float z, float tolerance = 0.0f) {
  EXPECT_EQ(v.state, state);
  EXPECT_NEAR(v.x, x, tolerance);
  EXPECT_NEAR(v.y, y, tolerance);
  EXPECT_NEAR(v.z, z, tolerance);
}

TEST(VectorTest, UndefinedOperandGivesTheZeroResultInBothForms) {
  const Vec3 a = v3(1, 2, 3);
  const Vec3 undefined = v3(4, 5, 6, 0);
  expectVec(vecAdd(a, undefined), 1, 0, 0, 0);
  expectVec(vecAdd(undefined, a), 1, 0, 0, 0);
  expectVec(vecSub(a, undefined), 1, 0, 0, 0);
  expectVec(vecCross(undefined, a), 1, 0, 0, 0);
  expectVec(vecScale(undefined, 2.0f), 1, 0, 0, 0);
  expectVec(vecNeg(undefined), 1, 0, 0, 0);

  Vec3 out = v3(9, 9, 9, 2);
  EXPECT_EQ(vecAdd(&out, a, undefined), &out);
  expectVec(out, 1, 0, 0, 0);
  out = v3(9, 9, 9, 2);
  EXPECT_EQ(vecNeg(&out, undefined), &out);
  expectVec(out, 1, 0, 0, 0);
}

TEST(VectorTest, ArithmeticAndStatesOfOrdinaryVectors) {
  const Vec3 a = v3(1, 2, 3);
  const Vec3 b = v3(-4, 0.5f, 2, 2);
  expectVec(vecAdd(a, b), 1, -3, 2.5f, 5);
  expectVec(vecSub(a, b), 1, 5, 1.5f, 1);
  expectVec(vecCross(v3(1, 0, 0), v3(0, 1, 0)), 1, 0, 0, 1);
  expectVec(vecCross(a, b), 1, 2.5f, -14, 8.5f);
  expectVec(vecNeg(b), 2, 4, -0.5f, -2);

  // The pointer form may write over its own operand.
  Vec3 acc = a;
  vecSub(&acc, acc, b);
  expectVec(acc, 1, 5, 1.5f, 1);
  vecScale(&acc, acc, 2.0f);
  expectVec(acc, 1, 10, 3, 2);
}

TEST(VectorTest, ScaledUnitVectorStaysMarkedUnit) {
  Vec3 unit = v3(0, 1, 0, 2);
  Vec3 scaled = vecScale(unit, 3.0f);
  expectVec(scaled, 2, 0, 3, 0);
  EXPECT_FLOAT_EQ(vecLength(scaled), 3.0f);
  EXPECT_EQ(vecNormalize(&scaled), &scaled);
  expectVec(scaled, 2, 0, 3, 0);
}

TEST(VectorTest, Normalize) {
  Vec3 v = v3(3, 4, 0);
  vecNormalize(&v);
  expectVec(v, 2, 0.6f, 0.8f, 0, 1e-7f);

  Vec3 zero;
  vecNormalize(&zero);
  expectVec(zero, 2, 0, 0, 0);

  Vec3 tiny = v3(1e-9f, 0, 0);
  vecNormalize(&tiny);
  expectVec(tiny, 2, 0, 0, 0);

  Vec3 undefined = v3(3, 4, 0, 0);
  vecNormalize(&undefined);
  expectVec(undefined, 0, 3, 4, 0);
}

TEST(VectorTest, RotateEulerAppliesXThenYThenZMatrixProduct) {
  Vec3 v = v3(1, 0, 0, 2);
  rotateEuler(&v, 0, 0, kPi / 2);
  expectVec(v, 1, 0, 1, 0, 1e-6f);

  v = v3(0, 1, 0);
  rotateEuler(&v, kPi / 2, 0, 0);
  expectVec(v, 1, 0, 0, 1, 1e-6f);

  v = v3(0, 0, 1);
  rotateEuler(&v, 0, kPi / 2, 0);
  expectVec(v, 1, 1, 0, 0, 1e-6f);

  // Rx * Ry: y turns (1,0,0) to (0,0,-1), then x turns that to (0,1,0).
  // The opposite order would leave it at (0,0,-1).
  v = v3(1, 0, 0);
  rotateEuler(&v, kPi / 2, kPi / 2, 0);
  expectVec(v, 1, 0, 1, 0, 1e-6f);

  // A rotation keeps lengths.
  v = v3(1, -2, 3);
  rotateEuler(&v, 0.3, -1.1, 2.0);
  EXPECT_NEAR(vecLength(v), std::sqrt(14.0f), 1e-5f);
}

TEST(EasingTest, SoftCurve) {
  EXPECT_EQ(softCurve(-1.0), 0.0);
  EXPECT_EQ(softCurve(0.0), 0.0);
  EXPECT_EQ(softCurve(std::numeric_limits<double>::quiet_NaN()), 0.0);
  EXPECT_DOUBLE_EQ(softCurve(2.0), 1.6);
  EXPECT_DOUBLE_EQ(softCurve(5.0), 5.0);
  EXPECT_DOUBLE_EQ(softCurve(10.0 / 3.0), 10.0 / 3.0);
}

TEST(EasingTest, EaseInOut) {
  EXPECT_NEAR(easeInOut(0.5, 1.0), 0.5, 1e-15);
  EXPECT_NEAR(easeInOut(0.25, 1.0), (1.0 - std::cos(kPi * 0.25)) / 2.0, 1e-15);
  for (double p : {0.5, 1.0, 2.0, 5.0}) {
    EXPECT_EQ(easeInOut(-3.0, p), 0.0) << p;
    EXPECT_EQ(easeInOut(0.0, p), 0.0) << p;
    EXPECT_DOUBLE_EQ(easeInOut(1.0, p), 1.0) << p;
    EXPECT_DOUBLE_EQ(easeInOut(7.0, p), 1.0) << p;
  }
  // A larger exponent flattens the start.
  EXPECT_LT(easeInOut(0.1, 3.0), easeInOut(0.1, 1.0));
}

}  // namespace
