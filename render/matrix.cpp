// CPU transforms.
#include "render/matrix.h"

#include <cmath>
#include <utility>

namespace {

double& at(Mat4& a, int row, int column) { return a.m[column * 4 + row]; }
double at(const Mat4& a, int row, int column) { return a.m[column * 4 + row]; }

}  // namespace

Mat4 identityMatrix() {
  Mat4 a{};
  for (int i = 0; i < 4; ++i) at(a, i, i) = 1.0;
  return a;
}

Mat4 operator*(const Mat4& a, const Mat4& b) {
  Mat4 product{};
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += at(a, row, k) * at(b, k, column);
      at(product, row, column) = sum;
    }
  return product;
}

std::array<double, 4> transformPoint(const Mat4& a, double x, double y, double z, double w) {
  std::array<double, 4> result{};
  for (int row = 0; row < 4; ++row)
    result[row] = at(a, row, 0) * x + at(a, row, 1) * y + at(a, row, 2) * z + at(a, row, 3) * w;
  return result;
}

Mat4 perspectiveMatrix(double fovYDegrees, double aspect, double zNear, double zFar) {
  const double halfAngle = fovYDegrees / 2.0 * kPi / 180.0;
  const double cotangent = std::cos(halfAngle) / std::sin(halfAngle);
  const double depth = zFar - zNear;
  Mat4 a{};
  at(a, 0, 0) = cotangent / aspect;
  at(a, 1, 1) = cotangent;
  at(a, 2, 2) = -(zFar + zNear) / depth;
  at(a, 3, 2) = -1.0;
  at(a, 2, 3) = -2.0 * zNear * zFar / depth;
  return a;
}

Mat4 lookAtMatrix(double eyeX, double eyeY, double eyeZ, double centerX, double centerY,
                  double centerZ, double upX, double upY, double upZ) {
  auto normalized = [](double v[3]) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0) return;
    for (int i = 0; i < 3; ++i) v[i] /= length;
  };
  auto cross = [](const double a[3], const double b[3], double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
  };
  double forward[3] = {centerX - eyeX, centerY - eyeY, centerZ - eyeZ};
  const double upIn[3] = {upX, upY, upZ};
  normalized(forward);
  double side[3], up[3];
  cross(forward, upIn, side);
  normalized(side);
  cross(side, forward, up);
  Mat4 a = identityMatrix();
  for (int column = 0; column < 3; ++column) {
    at(a, 0, column) = side[column];
    at(a, 1, column) = up[column];
    at(a, 2, column) = -forward[column];
  }
  return a * translationMatrix(-eyeX, -eyeY, -eyeZ);
}

Mat4 lookAtMatrix(const Camera& camera) {
  return lookAtMatrix(camera.eye.x, camera.eye.y, camera.eye.z, camera.target.x, camera.target.y,
                      camera.target.z, camera.up.x, camera.up.y, camera.up.z);
}

Mat4 orthoMatrix(double left, double right, double bottom, double top, double zNear, double zFar) {
  Mat4 a = identityMatrix();
  at(a, 0, 0) = 2.0 / (right - left);
  at(a, 1, 1) = 2.0 / (top - bottom);
  at(a, 2, 2) = -2.0 / (zFar - zNear);
  at(a, 0, 3) = -(right + left) / (right - left);
  at(a, 1, 3) = -(top + bottom) / (top - bottom);
  at(a, 2, 3) = -(zFar + zNear) / (zFar - zNear);
  return a;
}

Mat4 translationMatrix(double x, double y, double z) {
  Mat4 a = identityMatrix();
  at(a, 0, 3) = x;
  at(a, 1, 3) = y;
  at(a, 2, 3) = z;
  return a;
}

Mat4 scaleMatrix(double x, double y, double z) {
  Mat4 a{};
  at(a, 0, 0) = x;
  at(a, 1, 1) = y;
  at(a, 2, 2) = z;
  at(a, 3, 3) = 1.0;
  return a;
}

Mat4 rotationZMatrix(double angleDegrees) {
  const double radians = angleDegrees * kPi / 180.0;
  Mat4 a = identityMatrix();
  at(a, 0, 0) = std::cos(radians);
  at(a, 0, 1) = -std::sin(radians);
  at(a, 1, 0) = std::sin(radians);
  at(a, 1, 1) = std::cos(radians);
  return a;
}

Mat4 billboardMatrix(const Mat4& a) {
  Mat4 b = a;
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column) at(b, row, column) = row == column ? 1.0 : 0.0;
  return b;
}

Mat4 inverseMatrix(const Mat4& a) {
  // Gauss-Jordan elimination with partial pivoting on [a | identity].
  double work[4][8] = {};
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) work[row][column] = at(a, row, column);
    work[row][4 + row] = 1.0;
  }
  for (int column = 0; column < 4; ++column) {
    int pivot = column;
    for (int row = column + 1; row < 4; ++row)
      if (std::fabs(work[row][column]) > std::fabs(work[pivot][column])) pivot = row;
    if (work[pivot][column] == 0.0) return Mat4{};
    for (int k = 0; k < 8; ++k) std::swap(work[column][k], work[pivot][k]);
    const double scale = 1.0 / work[column][column];
    for (int k = 0; k < 8; ++k) work[column][k] *= scale;
    for (int row = 0; row < 4; ++row) {
      if (row == column) continue;
      const double factor = work[row][column];
      for (int k = 0; k < 8; ++k) work[row][k] -= factor * work[column][k];
    }
  }
  Mat4 inverse{};
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column) at(inverse, row, column) = work[row][4 + column];
  return inverse;
}

Mat4 textureBiasMatrix() { return translationMatrix(0.5, 0.5, 0.5) * scaleMatrix(0.5, 0.5, 0.5); }

std::array<float, 16> matrixFloats(const Mat4& a) {
  std::array<float, 16> floats{};
  for (int i = 0; i < 16; ++i) floats[i] = static_cast<float>(a.m[i]);
  return floats;
}
