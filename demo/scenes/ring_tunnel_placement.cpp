// The ring tunnel's path, camera, band and layers as plain geometry.
#include "demo/scenes/ring_tunnel_placement.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/random.h"
#include "core/timeline.h"

namespace {

Vec3 normalized(Vec3 v) {
  vecNormalize(&v);
  return v;
}

// One window of the flight: the path parameter runs from `start` at `speed`
// control points per second.
struct FlightWindow {
  double start;
  double speed;
};

FlightWindow flightWindow(double t) {
  if (t <= kTunnelPathSettles) return {35.3, 5};
  if (t <= kTunnelFlightRestart) return {35, 5};
  if (t <= kTunnelMusic) return {45, 5};
  if (t <= kTunnelOrbit) return {50, 4};
  if (t <= kTunnelLetters) return {68, 4};
  if (t <= kTunnelInsideCube) return {84, 4};
  return {100, 4};
}

Vec3 pathPoint(const PathSpline& path, int index) {
  const int last = static_cast<int>(path.points.size()) - 1;
  return path.points[std::clamp(index, 0, last)];
}

// The direction across the path at a step along it: (0, 0, 1) x step.
Vec3 across(Vec3 step) {
  vecNormalize(&step);
  return normalized(vec3(-step.y, step.x, 0.0f));
}

}  // namespace

PathSpline growTunnelPath(double t, Random& random) {
  PathSpline path;
  path.closed = true;
  path.points.reserve(kTunnelPathPoints);
  Vec3 position;
  Vec3 direction = vec3(0.0f, 1.0f, 0.0f);
  double bend = 0.0;
  for (int i = 0; i < kTunnelPathPoints; ++i) {
    if (i % 20 == 0) bend = 0.2 * random.unit() - 0.1;
    const bool sideways = i % 20 < 10;
    if (t <= kTunnelPathSettles) {
      // Snakes sideways for ten points, then climbs for ten.
      if (sideways)
        rotateEuler(&direction, 0.0, 0.0, bend);
      else
        rotateEuler(&direction, 0.02, 0.0, 0.0);
    } else if (t < kTunnelMusic) {
      if (sideways) rotateEuler(&direction, 0.0, 0.0, 0.3 * bend);
    }
    position = vecAdd(position, direction);
    splineAddPoint(&path, position);
  }
  return path;
}

PathCamera tunnelPathCamera(const PathSpline& path, double t) {
  const FlightWindow window = flightWindow(t);
  const double offset = t <= kTunnelPathSettles ? 0.0 : -13.0;
  const float q = static_cast<float>((t - window.start + offset) * window.speed);
  auto at = [&](float u) { return splineEvaluate(path, u); };

  PathCamera camera;
  Vec3 ahead, behind;
  if (t <= kTunnelPathSettles) {
    camera.request.eye = vecAdd(at(q), vec3(0.0f, 0.0f, -10.0f));
    camera.request.target = at(q + 12.0f);
    ahead = at(q + 16.8f);
    behind = at(q + 8.0f);
  } else {
    camera.request.eye = vecAdd(at(q), vec3(0.0f, 0.0f, -14.0f));
    camera.request.target = at(q - 4.0f);
    ahead = t <= kTunnelLetters ? at(q + 16.8f) : at(q + 3.0f);
    behind = at(q - 8.0f);
  }
  camera.focus = t <= kTunnelLetters ? vecScale(vecAdd(ahead, behind), 0.5f) : ahead;
  // Screen-up along the flight: the view direction flattened onto the path plane.
  const Vec3 view = normalized(vecSub(camera.request.target, camera.request.eye));
  camera.request.up = vecCross(vecCross(view, vec3(0.0f, 0.0f, -1.0f)), vec3(0.0f, 0.0f, 1.0f));
  return camera;
}

int tunnelBandHalfWidth(double t) {
  if (t < kTunnelMusic) return 8;
  if (t < kTunnelLetters) return 6;
  return 7;
}

void tunnelTileCorners(const PathSpline& path, int column, int row, double t, Vec3 corners[4]) {
  const Vec3 before = pathPoint(path, row - 1);
  const Vec3 here = pathPoint(path, row);
  const Vec3 after = pathPoint(path, row + 1);
  const Vec3 side1 = across(vecSub(here, before));
  const Vec3 side2 = across(vecSub(after, here));
  const float half = t > kTunnelLookBack ? 0.35f : 0.5f;
  const float k = static_cast<float>(column);
  corners[0] = vecAdd(here, vecScale(side2, k - half));
  corners[1] = vecAdd(here, vecScale(side2, k + half));
  corners[2] = vecAdd(before, vecScale(side1, k + half));
  corners[3] = vecAdd(before, vecScale(side1, k - half));
}

float tileReach(const Vec3& centre, const Vec3& focus, double t) {
  double a = 1.0 - 0.15 * vecLength(vecSub(centre, focus));
  if (t > kTunnelPathSettles) {
    // A slow wave across the band.
    a += 0.45 + 0.45 * std::pow(std::cos(0.855 * centre.z + t) * std::sin(0.855 * centre.x + t), 4);
  }
  a = std::clamp(6.0 * a, 0.0, 5.0) * easeInOut((t - kRingTunnelStart) * 0.25, 1.0);
  // The band fades out from 64 s to 68 s, before the music takes over.
  if (t < kTunnelMusic) a *= 1.0 - easeInOut((t - kTunnelBandFade) * 0.25, 1.0);
  return static_cast<float>(a);
}

float musicGate(double t, float band2) {
  if (t < kTunnelMusic) return 1.0f;
  const float music = 1.3f * band2;
  return std::min(music * music, 2.0f);
}

float tileStrength(const Vec3& centre, const Vec3& focus, double t, float band2) {
  return tileReach(centre, focus, t) * musicGate(t, band2);
}

float tileNearness(const Vec3& centre, int column, const Vec3& eye) {
  const float lane = 3.5f - 0.5f * std::fabs(column + 0.5f);
  return lane - 0.15f * vecLength(vecSub(centre, eye));
}

float faceNearness(const Vec3& centre, const Vec3& eye) {
  return 3.5f - 0.15f * vecLength(vecSub(centre, eye));
}

void seedTile(int column, int row, double t, Random& random) {
  const int tile = 16 * row + column + 8;
  const uint32_t halfSecond =
      static_cast<uint32_t>(tile + 2000 * static_cast<int>(2.0 * t) + 424423);
  if (t <= kTunnelPathSettles) {
    random.seed(static_cast<uint32_t>(100 * row));
    if ((column + row) % 3 == 1) random.seed(halfSecond);
  } else {
    random.seed(halfSecond);
  }
  for (int k = 0; k < 16; ++k) random.unit();
}

bool tileDrawn(int column, int row, double t) {
  return t < kTunnelMusic || (column + row) % 2 == 0;
}

int tunnelLayerCount(double t) {
  if (t <= kTunnelMusic) return 0;
  return t <= kTunnelLetters ? 1 : 3;
}

void seedLayerFace(int layer, int i, double t, Random& random) {
  const int step = t < kTunnelOrbit ? static_cast<int>(t / 2.0) : static_cast<int>(2.0 * t);
  random.seed(static_cast<uint32_t>(i + 300 * layer + 1000 * step + 424423));
}

Vec3 placeLayerCorner(const Vec3& corner, int layer, const Vec3& centre, double t) {
  const double angle = t * (0.4 + 0.15 * layer) + 2.1 * layer;
  float scale = static_cast<float>(0.4 + 0.05 * std::sin(2.0 * t + layer));
  // The cube shrinks away during 83 to 84 s and returns at full size.
  if (t < kTunnelOrbit) scale *= static_cast<float>(1.0 - easeInOut(t - 83.0, 1.0));
  Vec3 c = vecScale(corner, scale);
  if (t < kTunnelOrbit) {
    rotateEuler(&c, 0.3 * angle, 0.3 * angle, 0.0);
  } else {
    // One turning axis; from 100 s each of the three layers leans its own way.
    if (t > kTunnelLetters) rotateEuler(&c, layer * kPi / 3.0, 0.0, 0.0);
    rotateEuler(&c, 0.0, 0.0, 0.3 * angle);
  }
  // From 116 s the cube is large enough to enclose the camera.
  if (t > kTunnelLookBack)
    c = vecScale(c, 4.0f);
  else if (t > kTunnelInsideCube)
    c = vecScale(c, 6.0f);
  return vecAdd(c, centre);
}

bool letterVisible(int k, double t, Random& random) {
  if (t <= kTunnelLetters || t >= kTunnelInsideCube) return false;
  random.seed(static_cast<uint32_t>(1431 * k + 4125 * static_cast<int>(2.0 * t) + 423421));
  for (int n = 0; n < 1000; ++n) random.next();
  return random.next() % 2 == 1;
}
