// The CPU transforms against what they must do to points: the perspective
// maps the frustum's corners onto the cube of clip space, look-at puts the
// eye at the origin looking down -z with up along +y, and a billboard keeps
// only the translation.
#include "render/matrix.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// a times (x, y, z, 1), divided by w.
std::array<double, 3> project(const Mat4& a, double x, double y, double z) {
  const std::array<double, 4> p = transformPoint(a, x, y, z);
  return {p[0] / p[3], p[1] / p[3], p[2] / p[3]};
}

void expectNear(const std::array<double, 3>& actual, double x, double y, double z) {
  EXPECT_NEAR(actual[0], x, 1e-9);
  EXPECT_NEAR(actual[1], y, 1e-9);
  EXPECT_NEAR(actual[2], z, 1e-9);
}

TEST(Matrix, PerspectiveMapsTheFrustumOntoClipSpace) {
  const double fov = 35.0, aspect = 16.0 / 9.0, zNear = 1.0, zFar = 100.0;
  const Mat4 p = perspectiveMatrix(fov, aspect, zNear, zFar);
  const double halfHeight = std::tan(fov / 2.0 * kPi / 180.0);
  // The top right corner of the near plane, and of the far plane.
  expectNear(project(p, halfHeight * aspect * zNear, halfHeight * zNear, -zNear), 1, 1, -1);
  expectNear(project(p, -halfHeight * aspect * zFar, -halfHeight * zFar, -zFar), -1, -1, 1);
  // The clip w is the distance in front of the eye.
  EXPECT_NEAR(transformPoint(p, 0, 0, -7)[3], 7.0, 1e-12);
}

TEST(Matrix, LookAtPutsTheEyeAtTheOriginFacingMinusZ) {
  Camera camera;
  camera.eye = {1, 3.0f, 2.0f, 5.0f};
  camera.target = {1, 0.5f, -1.0f, 0.25f};
  camera.up = {1, 0.0f, 1.0f, 0.0f};
  const Mat4 view = lookAtMatrix(camera);
  expectNear(project(view, 3.0, 2.0, 5.0), 0, 0, 0);
  const double distance = std::sqrt(2.5 * 2.5 + 3.0 * 3.0 + 4.75 * 4.75);
  const std::array<double, 3> target = project(view, 0.5, -1.0, 0.25);
  EXPECT_NEAR(target[0], 0.0, 1e-6);
  EXPECT_NEAR(target[1], 0.0, 1e-6);
  EXPECT_NEAR(target[2], -distance, 1e-6);
  // A point above the eye along up appears above it: +y in the view.
  const std::array<double, 3> above = project(view, 3.0, 3.0, 5.0);
  EXPECT_GT(above[1], 0.5);
  // The view keeps lengths: the distance to the target is unchanged.
  EXPECT_NEAR(std::sqrt(target[0] * target[0] + target[1] * target[1] + target[2] * target[2]),
              distance, 1e-6);
}

TEST(Matrix, ProductsOrthoAndBillboard) {
  const Mat4 moved = translationMatrix(1, 2, 3) * scaleMatrix(2, 2, 2);
  expectNear(project(moved, 1, 1, 1), 3, 4, 5);
  expectNear(project(rotationZMatrix(90.0), 1, 0, 0), 0, 1, 0);
  expectNear(project(orthoMatrix(0, 320, 0, 180, -10, 10), 320, 0, 0), 1, -1, 0);
  expectNear(project(textureBiasMatrix(), -1, 1, 0), 0, 1, 0.5);
  const Mat4 turnedAndMoved = translationMatrix(4, 5, 6) * rotationZMatrix(30.0);
  expectNear(project(billboardMatrix(turnedAndMoved), 1, 0, 0), 5, 5, 6);
}

// The inverse of a camera's view and projection takes a pixel back to the
// point it shows: the far corner of the frustum goes back where it came from.
TEST(Matrix, InverseUndoesAViewAndProjection) {
  const Mat4 view = perspectiveMatrix(35.0, 16.0 / 9.0, 1.0, 100.0) *
                    lookAtMatrix(1.0, 2.0, 3.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
  const std::array<double, 3> clip = project(view, 4.0, -2.0, -30.0);
  expectNear(project(inverseMatrix(view), clip[0], clip[1], clip[2]), 4.0, -2.0, -30.0);
  const Mat4 identity = inverseMatrix(view) * view;
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(identity.m[i], i % 5 == 0 ? 1.0 : 0.0, 1e-9);
  EXPECT_EQ(inverseMatrix(scaleMatrix(1, 0, 1)).m, Mat4{}.m) << "a flat matrix has no inverse";
}

}  // namespace
