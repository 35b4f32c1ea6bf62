// A mesh of separate four-cornered faces, as the show's panels read them, and
// its OBJ text: "v x y z" lines, one "vn" line per face and faces written as
// "f a//n b//n c//n d//n".
#pragma once

#include <string>
#include <vector>

namespace meshgen {

struct Point3 {
  double x = 0, y = 0, z = 0;
};

Point3 operator+(Point3 a, Point3 b);
Point3 operator-(Point3 a, Point3 b);
Point3 operator*(Point3 a, double s);
double dot(Point3 a, Point3 b);
Point3 cross(Point3 a, Point3 b);
Point3 normalized(Point3 a);

// Corners in file order c0..c3.
struct QuadFace {
  Point3 corner[4];
};

struct QuadMesh {
  std::vector<QuadFace> faces;
};

// Unit normal of (c1 - c0) x (c3 - c0): the direction a face's corners wind
// counter-clockwise about. Scenes that hand the corners over reversed see the
// opposite normal.
Point3 windingNormal(const QuadFace& face);

// Mean of the four corners.
Point3 faceCentre(const QuadFace& face);

// The OBJ text of a mesh. Numbers are written with six decimals by our own
// formatter, so the bytes do not depend on the locale or the C library.
std::string objText(const QuadMesh& mesh, const std::string& title);

// One number as the OBJ text writes it ("-1.250000", never "-0.000000").
std::string formatFixed6(double value);

}  // namespace meshgen
