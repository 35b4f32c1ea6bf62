// Builders of the show's meshes: tiled cubes, the opening wall mosaic, the
// surrounding shell and the block letters.
#include "tools/meshgen/show_meshes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace meshgen {
namespace {

// A small deterministic generator, independent of the C library.
class Lcg {
 public:
  explicit Lcg(uint32_t seed) : state_(seed) {}
  double unit() {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) / 16777216.0;
  }

 private:
  uint32_t state_;
};

// Adds a cube of half-size `half` around `centre`, each side cut into n x n
// tiles shrunk by `inset` on every edge so that the tiles read as panels.
void addTiledCube(QuadMesh& mesh, Point3 centre, double half, int n, double inset, bool outward) {
  // Per side: the outward axis and two in-plane axes u, v with u x v = outward.
  const Point3 X{1, 0, 0}, Y{0, 1, 0}, Z{0, 0, 1};
  struct Side {
    Point3 out, u, v;
  };
  const Side sides[6] = {{Z, X, Y},      {Z * -1, Y, X}, {X, Y, Z},
                         {X * -1, Z, Y}, {Y, Z, X},      {Y * -1, X, Z}};
  const double step = 2 * half / n;
  for (const Side& side : sides) {
    for (int j = 0; j < n; ++j) {
      for (int i = 0; i < n; ++i) {
        double u0 = -half + i * step + inset, u1 = -half + (i + 1) * step - inset;
        double v0 = -half + j * step + inset, v1 = -half + (j + 1) * step - inset;
        Point3 base = centre + side.out * half;
        auto at = [&](double u, double v) { return base + side.u * u + side.v * v; };
        QuadFace face;
        face.corner[0] = at(u0, v0);
        face.corner[2] = at(u1, v1);
        // Counter-clockwise about the outward axis, or the mirror order.
        face.corner[1] = outward ? at(u1, v0) : at(u0, v1);
        face.corner[3] = outward ? at(u0, v1) : at(u1, v0);
        mesh.faces.push_back(face);
      }
    }
  }
}

struct Rect {
  double x0, y0, x1, y1;
};

// Cuts a rectangle in two along its longer side until it is no larger than a
// randomly drawn panel size, giving a mosaic of varied panels.
void splitMosaic(Rect r, Lcg& rng, std::vector<Rect>& out) {
  double w = r.x1 - r.x0, h = r.y1 - r.y0;
  double limit = 0.9 + 1.7 * rng.unit();
  if (std::max(w, h) <= limit) {
    out.push_back(r);
    return;
  }
  double f = 0.3 + 0.4 * rng.unit();
  if (w >= h) {
    double x = r.x0 + f * w;
    splitMosaic({r.x0, r.y0, x, r.y1}, rng, out);
    splitMosaic({x, r.y0, r.x1, r.y1}, rng, out);
  } else {
    double y = r.y0 + f * h;
    splitMosaic({r.x0, r.y0, r.x1, y}, rng, out);
    splitMosaic({r.x0, y, r.x1, r.y1}, rng, out);
  }
}

double softCurve(double x) {
  double xp = x > 0 ? x : 0;
  double b = std::pow(0.5 * xp, 2.2);
  double w = std::clamp(0.3 * xp, 0.0, 1.0);
  return b * (1 - w) + xp * w;
}

// Glyphs in a 1.6 x 2.4 box, each stroke a convex quad wound counter-clockwise.
struct Glyph2 {
  double x[4], y[4];
};

std::vector<Glyph2> glyphStrokes(char letter) {
  switch (letter) {
    case 'R':
      return {{{0, 0.45, 0.45, 0}, {0, 0, 2.4, 2.4}},
              {{0.55, 1.1, 1.1, 0.55}, {1.95, 1.95, 2.4, 2.4}},
              {{1.2, 1.6, 1.6, 1.2}, {1.1, 1.1, 2.4, 2.4}},
              {{0.55, 1.1, 1.1, 0.55}, {1.1, 1.1, 1.5, 1.5}},
              {{1.15, 1.6, 1.05, 0.6}, {0, 0, 1.0, 1.0}}};
    case 'V':
      return {{{0.5, 0.75, 0.45, 0}, {0.55, 0.55, 2.4, 2.4}},
              {{0.85, 1.1, 1.6, 1.15}, {0.55, 0.55, 2.4, 2.4}},
              {{0.5, 1.1, 1.1, 0.5}, {0, 0, 0.45, 0.45}}};
    default:  // 'K'
      return {{{0, 0.45, 0.45, 0}, {0, 0, 2.4, 2.4}},
              {{0.55, 0.95, 1.6, 1.15}, {1.1, 1.1, 2.4, 2.4}},
              {{1.15, 1.6, 0.95, 0.55}, {0, 0, 1.0, 1.0}}};
  }
}

}  // namespace

QuadMesh buildOpeningWall() {
  Lcg rng(20241);
  std::vector<Rect> rects;
  splitMosaic({-8, -3.5, 8, 3.5}, rng, rects);
  // Panels run left to right, so neighbouring faces pulse with neighbouring bands.
  std::stable_sort(rects.begin(), rects.end(), [](const Rect& a, const Rect& b) {
    double ax = a.x0 + a.x1, bx = b.x0 + b.x1;
    return ax != bx ? ax < bx : a.y0 + a.y1 > b.y0 + b.y1;
  });
  const double gap = 0.06;
  QuadMesh mesh;
  for (const Rect& r : rects) {
    double x0 = r.x0 + gap, x1 = r.x1 - gap, y0 = r.y0 + gap, y1 = r.y1 - gap;
    // Top-left, top-right, bottom-right, bottom-left: clockwise seen from +z,
    // so the winding normal is -z and the rings rise toward the camera.
    mesh.faces.push_back({{{x0, y1, 0}, {x1, y1, 0}, {x1, y0, 0}, {x0, y0, 0}}});
  }
  return mesh;
}

QuadMesh buildTurningCube() {
  QuadMesh mesh;
  addTiledCube(mesh, {0, 0, -6.5}, 5.0, 4, 0.12, false);
  return mesh;
}

QuadMesh buildFallingCube() {
  QuadMesh mesh;
  addTiledCube(mesh, {0, 0, 0}, 5.0, 7, 0.07, true);
  return mesh;
}

QuadMesh buildPanelCube() {
  QuadMesh mesh;
  addTiledCube(mesh, {0, 0, 0}, 4.0, 4, 0.12, true);
  return mesh;
}

QuadMesh buildShell() {
  const int count = 100;
  const double radius = 14.5;
  const double goldenAngle = 3.14159265358979323846 * (3 - std::sqrt(5.0));
  Lcg rng(7031);
  QuadMesh mesh;
  // Panel centres on a Fibonacci sphere from top to bottom, so a shell that
  // appears face by face builds downwards.
  for (int i = 0; i < count; ++i) {
    double y = 1 - 2 * (i + 0.5) / count;
    double ring = std::sqrt(1 - y * y);
    Point3 n{ring * std::cos(goldenAngle * i), y, ring * std::sin(goldenAngle * i)};
    Point3 reference = std::fabs(n.y) > 0.95 ? Point3{1, 0, 0} : Point3{0, 1, 0};
    Point3 e1 = normalized(cross(reference, n));
    Point3 e2 = cross(n, e1);
    double turn = 1.5707963 * rng.unit();
    Point3 a = e1 * std::cos(turn) + e2 * std::sin(turn);
    Point3 b = cross(n, a);
    double halfA = 0.8 + 0.7 * rng.unit(), halfB = 0.8 + 0.7 * rng.unit();
    Point3 c = n * radius;
    // a x b = n (outward); this order winds about -n, so the rings face inward.
    mesh.faces.push_back({{c - a * halfA - b * halfB, c - a * halfA + b * halfB,
                           c + a * halfA + b * halfB, c + a * halfA - b * halfB}});
  }
  return mesh;
}

ViewAt tunnelViewAt(double t) {
  // The straight path has point i at (0, i + 1, 0); the flight parameter is
  // q = (t - 97) * 4 control points, the eye 14 below the path and the target
  // 4 points behind it.
  double q = (t - 97) * 4;
  Point3 reqEye{0, q + 1, -14}, reqTarget{0, q - 3, 0};
  ViewAt view;
  if (t > 108) {
    double g = (t - 108) * 0.1 + 3.4 - 2.2;
    view.eye = reqEye + Point3{14 * std::cos(g), 14 * std::sin(g) - 3.4 * softCurve(t - 112), 11.3};
  } else {
    double f = (t - 100) * 0.3 - 2.2;
    view.eye = reqEye + Point3{14 * std::cos(f), 14 * std::sin(f), 5.1};
  }
  view.target = reqTarget + Point3{0, 0, -3};
  view.up = {0, 0, -1};
  return view;
}

std::vector<LetterStation> letterStations() {
  // One word every two seconds or so keeps a word in view for the whole window.
  // The words stand 1.6 units above the target on screen, over the ring
  // layers turning round it. The last one stands off the flight line: the
  // camera flies through the path's end around 111 s.
  return {{100.8, 0, 0, 1.6}, {102.6, 0, 0, 1.6}, {104.4, 0, 0, 1.6}, {106.4, 0, 0, 1.6},
          {108.6, 0, 0, 1.6}, {111.6, 0, 0, 1.6}, {115.3, 8, 3, 1.6}};
}

QuadMesh buildLetter(char letter) {
  const double letterAdvance = 2.1, wordWidth = 5.8, glyphHeight = 2.4;
  const int slot = letter == 'R' ? 0 : letter == 'V' ? 1 : 2;
  QuadMesh mesh;
  for (const LetterStation& station : letterStations()) {
    // The word stands square to the camera's view, near the point it looks at.
    ViewAt view = tunnelViewAt(station.time);
    Point3 forward = normalized(view.target - view.eye);
    Point3 right = normalized(cross(forward, view.up));
    Point3 up = cross(right, forward);
    Point3 centre =
        view.target + forward * station.beyondTarget + right * station.lateral + up * station.rise;
    double offsetX = slot * letterAdvance - wordWidth / 2, offsetY = -glyphHeight / 2;
    for (const Glyph2& stroke : glyphStrokes(letter)) {
      QuadFace face;
      // Counter-clockwise in (right, up) winds toward the viewer.
      for (int k = 0; k < 4; ++k) {
        face.corner[k] = centre + right * (stroke.x[k] + offsetX) + up * (stroke.y[k] + offsetY);
      }
      mesh.faces.push_back(face);
    }
  }
  return mesh;
}

std::vector<NamedMesh> buildShowMeshes() {
  return {{"test2.obj", buildOpeningWall()}, {"cube.obj", buildTurningCube()},
          {"cube2.obj", buildFallingCube()}, {"realcube.obj", buildPanelCube()},
          {"surround.obj", buildShell()},    {"R.obj", buildLetter('R')},
          {"V.obj", buildLetter('V')},       {"K.obj", buildLetter('K')}};
}

}  // namespace meshgen
