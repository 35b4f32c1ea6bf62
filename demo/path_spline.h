// A Catmull-Rom spline through a list of control points, as the tunnel scene
// grows its path each frame.
//
// Parameters are measured in control points: u = 3 is the fourth point,
// u = 3.5 halfway between the fourth and the fifth. A closed spline wraps
// around the point list (the last point runs on into the first); an open one
// clamps to its ends.
#pragma once

#include <cstdint>
#include <vector>

#include "core/vector.h"

struct PathSpline {
  std::vector<Vec3> points;  // control points in order
  bool closed = true;
  int32_t count = 0;  // number of control points, kept by splineAddPoint
};

// Appends point and increments count.
void splineAddPoint(PathSpline* spline, Vec3 point);

// The point at parameter u (state 1); (0, 0, 0) for a spline without points.
// Closed: u is taken modulo the number of points, so with 100 points u = 150
// gives the point at 50. Near the ends of the list (u <= 2 or u >= count - 2)
// the parameter is first shifted by 10000 * count in float, which coarsens
// its fractional part there. A non-finite u reads as 0.
// Open: u at or beyond the last point gives the last point, u at or before 0
// the first.
Vec3 splineEvaluate(const PathSpline& spline, float u);
