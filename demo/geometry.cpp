// Ring and clip-panel geometry computed into plain records, with the random
// draws each shape makes from the show's sequence, and the shapes drawn into
// the geometry stream (no GL here: geometry_draw.cpp draws the stream).
#include "demo/geometry.h"

#include <cassert>
#include <cmath>
#include <cstring>

#include "core/random.h"

namespace {

// A ring with a negative inner radius starts at the axis: the overlap is taken
// off the width. Every ring routine does this before anything else.
void moveNegativeRadiusIntoWidth(RingParams* ring) {
  if (ring->radius < 0.0f) {
    ring->width += ring->radius;
    ring->radius = 0.0f;
  }
}

// base + dir * rho - axis * h
Vec3 ringPoint(const RingParams& ring, Vec3 dir, float rho, float h) {
  return vecSub(vecAdd(ring.base, vecScale(dir, rho)), vecScale(ring.axis, h));
}

float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

}  // namespace

void ringGeometry(const ShapeInputs& inputs, const RingParams& ring, RingGeometry* geometry) {
  // Emptied field by field, so the vertex arrays keep their storage.
  for (RingStrip* strip : {&geometry->cap, &geometry->outerWall, &geometry->innerWall}) {
    strip->color = Vec3{};
    strip->normal = Vec3{};
    strip->vertices.clear();
  }
  geometry->drawn = false;
  if (ring.radius > 2.5f || ring.radius < -ring.width) return;
  geometry->drawn = true;
  geometry->cap.color = ring.color;
  geometry->cap.normal = vecNeg(ring.axis);
  geometry->outerWall.color = vecScale(ring.color, 0.5f);
  geometry->outerWall.normal = ring.axisU;
  geometry->innerWall.color = geometry->outerWall.color;
  geometry->innerWall.normal = vecNeg(ring.axisU);

  const int count = inputs.segments;
  if (count <= 0) return;
  std::vector<Vec3>& cap = geometry->cap.vertices;
  std::vector<Vec3>& outerWall = geometry->outerWall.vertices;
  std::vector<Vec3>& innerWall = geometry->innerWall.vertices;
  cap.reserve(2 * count);
  outerWall.reserve(2 * count);
  innerWall.reserve(2 * count);
  const float outerRadius = ring.radius + ring.width;
  for (int i = 0; i < count; ++i) {
    // The first and last pair coincide and close the ring; a single pair
    // stands at the phase alone.
    const double step = count > 1 ? 2.0 * kPi * i / (count - 1) : 0.0;
    const double theta = step + inputs.phase;
    const Vec3 dir = vecAdd(vecScale(ring.axisU, static_cast<float>(std::cos(theta))),
                            vecScale(ring.axisV, static_cast<float>(std::sin(theta))));
    const Vec3 innerDeep = ringPoint(ring, dir, ring.radius, ring.depth);
    const Vec3 outerDeep = ringPoint(ring, dir, outerRadius, ring.depth);
    cap.push_back(innerDeep);
    cap.push_back(outerDeep);
    outerWall.push_back(outerDeep);
    outerWall.push_back(ringPoint(ring, dir, outerRadius, 0.0f));
    innerWall.push_back(innerDeep);
    innerWall.push_back(ringPoint(ring, dir, ring.radius, 0.0f));
  }
}

RingGeometry ringGeometry(const ShapeInputs& inputs, const RingParams& ring) {
  RingGeometry geometry;
  ringGeometry(inputs, ring, &geometry);
  return geometry;
}

void pulseRingGeometry(int32_t index, const ShapeInputs& inputs, RingParams ring,
                       RingGeometry* geometry) {
  moveNegativeRadiusIntoWidth(&ring);
  inputs.random->unit();
  // A travelling wave along the ring index, then the louder band index + 5
  // is, the deeper the ring.
  const double wave = std::sin(0.2 * index + 2.0 * inputs.time);
  const float w = static_cast<float>(20.0 * std::pow(wave, 6) + 20.0);
  ring.depth = static_cast<float>(ring.depth + (w - 20.0f) * 0.004);
  const float k = static_cast<float>(0.2 * w);
  int band = index + 5;
  if (band < 0) band = 0;
  if (band >= ShapeInputs::kBands) band = ShapeInputs::kBands - 1;
  ring.depth = ring.depth * (1.0f + k * inputs.spectrum[band]);
  inputs.random->unit();
  inputs.random->unit();
  ringGeometry(inputs, ring, geometry);
}

RingGeometry pulseRingGeometry(int32_t index, const ShapeInputs& inputs, RingParams ring) {
  RingGeometry geometry;
  pulseRingGeometry(index, inputs, ring, &geometry);
  return geometry;
}

void flickerRingGeometry(const ShapeInputs& inputs, RingParams ring, RingGeometry* geometry) {
  moveNegativeRadiusIntoWidth(&ring);
  for (int i = 0; i < 20; ++i) inputs.random->unit();
  const double r = inputs.random->unit();
  double f = 4.5 * r * inputs.spectrum[8];
  if (f < 0.0) f = 0.0;
  if (f > 1.0) f = 1.0;
  // Pull the colour towards a warm orange and shrink the ring by up to half.
  Vec3 flickerColor;
  flickerColor.x = 0.8f;
  flickerColor.y = 0.5f;
  flickerColor.z = 0.3f;
  const float amount = static_cast<float>(f);
  ring.color = vecAdd(ring.color, vecScale(vecSub(flickerColor, ring.color), amount));
  ring.radius = ring.radius * (1.0f - 0.5f * amount);
  inputs.random->unit();
  inputs.random->unit();
  ringGeometry(inputs, ring, geometry);
}

RingGeometry flickerRingGeometry(const ShapeInputs& inputs, RingParams ring) {
  RingGeometry geometry;
  flickerRingGeometry(inputs, ring, &geometry);
  return geometry;
}

ClipPanelFrame clipPanelFrame(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3) {
  ClipPanelFrame frame;
  frame.center = vecScale(vecAdd(vecAdd(vecAdd(p0, p1), p2), p3), 0.25f);
  Vec3 edge = vecSub(p1, p0);
  vecNormalize(&edge);
  Vec3 side0 = vecSub(p3, p0);
  vecNormalize(&side0);
  frame.edge = edge;
  frame.normal = vecCross(edge, side0);
  frame.side = vecCross(frame.normal, edge);

  const Vec3 corners[4] = {p0, p1, p2, p3};
  for (int k = 0; k < 4; ++k) {
    const Vec3 a = corners[k];
    const Vec3 b = corners[(k + 1) % 4];
    Vec3 along = vecSub(a, b);
    vecNormalize(&along);
    const Vec3 inward = vecCross(along, frame.normal);
    const Vec3 middle = vecScale(vecAdd(a, b), 0.5f);
    frame.planes[k][0] = inward.x;
    frame.planes[k][1] = inward.y;
    frame.planes[k][2] = inward.z;
    frame.planes[k][3] = -dot(inward, middle);
  }
  return frame;
}

namespace {

void appendVertex(GeometryStream* stream, const Vec3& position, const Vec3& normal,
                  const Vec3& color) {
  StreamVertex vertex;
  vertex.position[0] = position.x;
  vertex.position[1] = position.y;
  vertex.position[2] = position.z;
  vertex.normal[0] = normal.x;
  vertex.normal[1] = normal.y;
  vertex.normal[2] = normal.z;
  vertex.color[0] = color.x;
  vertex.color[1] = color.y;
  vertex.color[2] = color.z;
  std::memcpy(vertex.planes, stream->planes, sizeof vertex.planes);
  stream->vertices.push_back(vertex);
}

void appendTriangle(GeometryStream* stream, uint32_t a, uint32_t b, uint32_t c) {
  stream->indices.push_back(a);
  stream->indices.push_back(b);
  stream->indices.push_back(c);
}

// A quad strip's vertices, and two triangles for each quad a0 a1 b0 b1 of it.
// Both end on b1, the vertex flat values come from: on a wall, one at its foot
// on the panel, whose plane the material reads from it.
void appendStrip(GeometryStream* stream, const RingStrip& strip) {
  const size_t count = strip.vertices.size();
  if (count < 4) return;  // not one quad: GL draws nothing
  const uint32_t base = static_cast<uint32_t>(stream->vertices.size());
  for (const Vec3& v : strip.vertices) appendVertex(stream, v, strip.normal, strip.color);
  for (uint32_t a = base; a + 3 < base + count; a += 2) {
    appendTriangle(stream, a + 2, a, a + 3);
    appendTriangle(stream, a, a + 1, a + 3);
  }
}

}  // namespace

void appendClipPanel(GeometryStream* stream, const ClipPanelFrame& frame, const Vec3 corners[4],
                     Vec3 color) {
  if (stream->alphaFrom < 0) stream->alphaFrom = static_cast<int64_t>(stream->indices.size());
  std::memcpy(stream->planes, frame.planes, sizeof stream->planes);
  if (color.x <= -0.5f) return;
  const uint32_t base = static_cast<uint32_t>(stream->vertices.size());
  for (int k = 0; k < 4; ++k) appendVertex(stream, corners[k], frame.normal, color);
  appendTriangle(stream, base, base + 1, base + 2);
  appendTriangle(stream, base, base + 2, base + 3);
}

void appendRing(GeometryStream* stream, const RingGeometry& geometry) {
  if (!geometry.drawn) return;
  appendStrip(stream, geometry.cap);
  appendStrip(stream, geometry.outerWall);
  appendStrip(stream, geometry.innerWall);
}

namespace {

// The record every ring is computed into before it is appended; the scenes
// draw from one thread only.
RingGeometry& ringScratch() {
  static RingGeometry geometry;
  return geometry;
}

GeometryStream* streamOf(const ShapeInputs* inputs) {
  assert(inputs->geometry && "ShapeInputs::geometry must name the stream the shapes go to");
  return inputs->geometry;
}

}  // namespace

void drawPulseRing(int32_t index, const ShapeInputs* inputs, RingParams ring) {
  pulseRingGeometry(index, *inputs, ring, &ringScratch());
  appendRing(streamOf(inputs), ringScratch());
}

void drawFlickerRing(int32_t /*index*/, const ShapeInputs* inputs, RingParams ring) {
  flickerRingGeometry(*inputs, ring, &ringScratch());
  appendRing(streamOf(inputs), ringScratch());
}

void drawClipPanel(const ShapeInputs* inputs, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Vec3* outCenter,
                   Vec3* outNormal, Vec3* outSide, Vec3* outEdge, Vec3 color) {
  const ClipPanelFrame frame = clipPanelFrame(p0, p1, p2, p3);
  if (outCenter) *outCenter = frame.center;
  if (outNormal) *outNormal = frame.normal;
  if (outSide) *outSide = frame.side;
  if (outEdge) *outEdge = frame.edge;
  const Vec3 corners[4] = {p0, p1, p2, p3};
  appendClipPanel(streamOf(inputs), frame, corners, color);
}
