// Vector arithmetic for the mesh builders and the OBJ writer.
#include "tools/meshgen/quad_mesh.h"

#include <cmath>
#include <cstdint>

namespace meshgen {

Point3 operator+(Point3 a, Point3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Point3 operator-(Point3 a, Point3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Point3 operator*(Point3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(Point3 a, Point3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Point3 cross(Point3 a, Point3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Point3 normalized(Point3 a) {
  double length = std::sqrt(dot(a, a));
  return length > 0 ? a * (1.0 / length) : a;
}

Point3 windingNormal(const QuadFace& face) {
  return normalized(cross(face.corner[1] - face.corner[0], face.corner[3] - face.corner[0]));
}

Point3 faceCentre(const QuadFace& face) {
  return (face.corner[0] + face.corner[1] + face.corner[2] + face.corner[3]) * 0.25;
}

std::string formatFixed6(double value) {
  // Round to millionths in integers; a value that rounds to zero prints unsigned.
  int64_t micro = static_cast<int64_t>(std::llround(value * 1e6));
  std::string text;
  if (micro < 0) {
    text += '-';
    micro = -micro;
  }
  text += std::to_string(micro / 1000000);
  std::string fraction = std::to_string(micro % 1000000);
  text += '.';
  text += std::string(6 - fraction.size(), '0') + fraction;
  return text;
}

std::string objText(const QuadMesh& mesh, const std::string& title) {
  std::string text = "# " + title + "\n";
  text += "# " + std::to_string(mesh.faces.size()) + " four-cornered faces\n";
  for (const QuadFace& face : mesh.faces) {
    for (const Point3& p : face.corner) {
      text += "v " + formatFixed6(p.x) + " " + formatFixed6(p.y) + " " + formatFixed6(p.z) + "\n";
    }
  }
  for (const QuadFace& face : mesh.faces) {
    Point3 n = windingNormal(face);
    text += "vn " + formatFixed6(n.x) + " " + formatFixed6(n.y) + " " + formatFixed6(n.z) + "\n";
  }
  for (size_t i = 0; i < mesh.faces.size(); ++i) {
    std::string n = std::to_string(i + 1);
    text += "f";
    for (size_t k = 0; k < 4; ++k) text += " " + std::to_string(4 * i + k + 1) + "//" + n;
    text += "\n";
  }
  return text;
}

}  // namespace meshgen
