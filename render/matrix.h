// The show's transforms, computed on the CPU and handed to the shaders as
// uniforms: perspective and look-at with the formulas of the classic GL
// utility calls, and the few products the passes need. Column-major, as GL
// stores a matrix: element (row, column) is m[column * 4 + row].
#pragma once

#include <array>

#include "core/vector.h"

struct Mat4 {
  std::array<double, 16> m;
};

Mat4 identityMatrix();
Mat4 operator*(const Mat4& a, const Mat4& b);
// a times the point (x, y, z, w).
std::array<double, 4> transformPoint(const Mat4& a, double x, double y, double z, double w = 1.0);

// The projection of a symmetric frustum: fovY degrees of vertical view,
// width over height aspect, near and far planes at the given distances.
Mat4 perspectiveMatrix(double fovYDegrees, double aspect, double zNear, double zFar);
// The view from eye towards center with up as the screen's upward direction.
Mat4 lookAtMatrix(double eyeX, double eyeY, double eyeZ, double centerX, double centerY,
                  double centerZ, double upX, double upY, double upZ);
// The same with a camera's eye, target and up (state words ignored).
Mat4 lookAtMatrix(const Camera& camera);
Mat4 orthoMatrix(double left, double right, double bottom, double top, double zNear, double zFar);
Mat4 translationMatrix(double x, double y, double z);
Mat4 scaleMatrix(double x, double y, double z);
// A turn of angleDegrees about the z axis.
Mat4 rotationZMatrix(double angleDegrees);
// a with its upper-left 3 x 3 set to identity and its translation kept: a
// quad drawn with it faces the viewer wherever it stands.
Mat4 billboardMatrix(const Mat4& a);
// The matrix that undoes a (the identity's zero matrix when a has no inverse).
Mat4 inverseMatrix(const Mat4& a);
// Maps [-1, 1] onto [0, 1] on every axis: clip space to texture space.
Mat4 textureBiasMatrix();

// The matrix as GL's single-precision uniform takes it.
std::array<float, 16> matrixFloats(const Mat4& a);
