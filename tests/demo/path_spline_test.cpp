// Catmull-Rom evaluation of the path spline, closed and open.
#include "demo/path_spline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

Vec3 v3(float x, float y, float z) {
  Vec3 v;
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

// 100 points along a parabola: y = (i - 50)^2 / 10, x = i, z = -i / 2.
PathSpline parabola(bool closed) {
  PathSpline spline;
  spline.closed = closed;
  for (int i = 0; i < 100; ++i)
    splineAddPoint(&spline, v3(static_cast<float>(i), (i - 50) * (i - 50) / 10.0f, -i / 2.0f));
  return spline;
}

void expectSamePoint(const Vec3& a, const Vec3& b, float tolerance = 0.0f) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(PathSplineTest, ClosedSplineWrapsAroundThePoints) {
  const PathSpline spline = parabola(true);
  expectSamePoint(splineEvaluate(spline, 150.0f), splineEvaluate(spline, 50.0f));
  expectSamePoint(splineEvaluate(spline, 50.0f), spline.points[50]);
  // Through every control point, also at the ends and past them.
  for (int i : {0, 1, 2, 3, 42, 97, 98, 99})
    expectSamePoint(splineEvaluate(spline, static_cast<float>(i)), spline.points[i]);
  expectSamePoint(splineEvaluate(spline, 100.0f), spline.points[0]);
  expectSamePoint(splineEvaluate(spline, -1.0f), spline.points[99]);
  expectSamePoint(splineEvaluate(spline, -0.5f), splineEvaluate(spline, 99.5f));

  // Across the seam the curve runs from the last point into the first, with
  // tangents taken across it: at the midpoint (-P98 + 9 P99 + 9 P0 - P1) / 16.
  const Vec3 mid = splineEvaluate(spline, 99.5f);
  const auto& p = spline.points;
  EXPECT_NEAR(mid.y, (-p[98].y + 9 * p[99].y + 9 * p[0].y - p[1].y) / 16, 1e-3f);
  EXPECT_NEAR(mid.x, (-p[98].x + 9 * p[99].x + 9 * p[0].x - p[1].x) / 16, 1e-3f);
}

TEST(PathSplineTest, InteriorFollowsTheCurveThroughThePoints) {
  // Catmull-Rom reproduces a quadratic exactly between its points.
  for (bool closed : {true, false}) {
    const PathSpline spline = parabola(closed);
    for (float u : {2.5f, 10.25f, 33.3f, 50.5f, 77.75f, 96.9f}) {
      const Vec3 s = splineEvaluate(spline, u);
      EXPECT_EQ(s.state, 1);
      EXPECT_NEAR(s.x, u, 1e-4f) << u;
      EXPECT_NEAR(s.y, (u - 50) * (u - 50) / 10, 2e-3f) << u;
      EXPECT_NEAR(s.z, -u / 2, 1e-4f) << u;
    }
  }
}

TEST(PathSplineTest, UnusualParametersStayOnThePath) {
  const PathSpline closed = parabola(true);
  for (float u : {-1e9f, -12345.6f, 1e12f, std::numeric_limits<float>::infinity(),
                  std::numeric_limits<float>::quiet_NaN()}) {
    const Vec3 s = splineEvaluate(closed, u);
    EXPECT_TRUE(std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.z)) << u;
    EXPECT_GE(s.x, -10.0f) << u;
    EXPECT_LE(s.x, 110.0f) << u;
  }
  expectSamePoint(splineEvaluate(closed, std::numeric_limits<float>::quiet_NaN()),
                  closed.points[0]);
  expectSamePoint(splineEvaluate(PathSpline(), 3.0f), Vec3());

  PathSpline single;
  splineAddPoint(&single, v3(1, 2, 3));
  expectSamePoint(splineEvaluate(single, 0.7f), v3(1, 2, 3), 1e-6f);
}

TEST(PathSplineTest, OpenSplineClampsToItsEnds) {
  const PathSpline open = parabola(false);
  expectSamePoint(splineEvaluate(open, 99.0f), open.points[99]);
  expectSamePoint(splineEvaluate(open, 150.0f), open.points[99]);
  expectSamePoint(splineEvaluate(open, -3.0f), open.points[0]);
  // Near the start the missing neighbour is the first point itself.
  const auto& p = open.points;
  const Vec3 s = splineEvaluate(open, 0.5f);
  EXPECT_NEAR(s.y, (-p[0].y + 9 * p[0].y + 9 * p[1].y - p[2].y) / 16, 1e-3f);
}

}  // namespace
