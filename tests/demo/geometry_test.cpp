// Ring and clip-panel geometry, including the random draws each shape makes.
#include "demo/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/random.h"

// The test's own generator, standing in for the show's.
static Random generator;

namespace {

Vec3 v3(float x, float y, float z) {
  Vec3 v;
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

// A ring in the z = 0 plane whose walls reach down to z = -depth.
RingParams flatRing(float radius, float width, float depth) {
  RingParams ring;
  ring.base = v3(0, 0, 0);
  ring.axis = v3(0, 0, 1);
  ring.axisU = v3(1, 0, 0);
  ring.axisV = v3(0, 1, 0);
  ring.radius = radius;
  ring.width = width;
  ring.depth = depth;
  ring.color = v3(0.2f, 0.4f, 0.6f);
  return ring;
}

float planarDistance(const Vec3& v) { return std::hypot(v.x, v.y); }

// The value the generator gives after `skip` further draws from seed.
int drawAfter(uint32_t seed, int skip) {
  generator.seed(seed);
  for (int i = 0; i < skip; ++i) generator.next();
  return generator.next();
}

TEST(RingGeometryTest, StripLayoutNormalsAndColours) {
  ShapeInputs inputs;
  inputs.random = &generator;
  inputs.segments = 5;
  inputs.phase = 0.3f;
  const RingGeometry g = ringGeometry(inputs, flatRing(1.0f, 0.5f, 0.25f));
  ASSERT_TRUE(g.drawn);
  ASSERT_EQ(g.cap.vertices.size(), 10u);
  ASSERT_EQ(g.outerWall.vertices.size(), 10u);
  ASSERT_EQ(g.innerWall.vertices.size(), 10u);

  // Five pairs at phase + k * pi/2: the last coincides with the first.
  for (int k = 0; k < 5; ++k) {
    const double theta = 0.3 + k * kPi / 2;
    const Vec3& inner = g.cap.vertices[2 * k];
    const Vec3& outer = g.cap.vertices[2 * k + 1];
    EXPECT_NEAR(inner.x, std::cos(theta), 1e-6) << k;
    EXPECT_NEAR(inner.y, std::sin(theta), 1e-6) << k;
    EXPECT_NEAR(outer.x, 1.5 * std::cos(theta), 1e-6) << k;
    EXPECT_NEAR(outer.y, 1.5 * std::sin(theta), 1e-6) << k;
    EXPECT_FLOAT_EQ(inner.z, -0.25f);
    EXPECT_FLOAT_EQ(outer.z, -0.25f);

    // Walls run from the cap's depth back up to the base plane.
    const Vec3& outerDeep = g.outerWall.vertices[2 * k];
    const Vec3& outerTop = g.outerWall.vertices[2 * k + 1];
    EXPECT_FLOAT_EQ(outerDeep.x, outer.x);
    EXPECT_FLOAT_EQ(outerDeep.z, -0.25f);
    EXPECT_FLOAT_EQ(outerTop.x, outer.x);
    EXPECT_FLOAT_EQ(outerTop.z, 0.0f);
    const Vec3& innerTop = g.innerWall.vertices[2 * k + 1];
    EXPECT_FLOAT_EQ(g.innerWall.vertices[2 * k].z, -0.25f);
    EXPECT_FLOAT_EQ(innerTop.y, inner.y);
    EXPECT_FLOAT_EQ(innerTop.z, 0.0f);
  }

  EXPECT_FLOAT_EQ(g.cap.normal.z, -1.0f);
  EXPECT_FLOAT_EQ(g.outerWall.normal.x, 1.0f);
  EXPECT_FLOAT_EQ(g.innerWall.normal.x, -1.0f);
  EXPECT_FLOAT_EQ(g.cap.color.y, 0.4f);
  EXPECT_FLOAT_EQ(g.outerWall.color.y, 0.2f);
  EXPECT_FLOAT_EQ(g.innerWall.color.z, 0.3f);
}

TEST(RingGeometryTest, SizeRulesAndNegativeRadius) {
  ShapeInputs inputs;
  inputs.random = &generator;
  inputs.segments = 6;
  EXPECT_FALSE(pulseRingGeometry(0, inputs, flatRing(3.0f, 0.2f, 0.1f)).drawn);
  EXPECT_TRUE(pulseRingGeometry(0, inputs, flatRing(2.5f, 0.2f, 0.1f)).drawn);
  EXPECT_FALSE(flickerRingGeometry(inputs, flatRing(3.0f, 0.2f, 0.1f)).drawn);

  // -0.1 of radius is taken off the width: inner radius 0, outer 0.2.
  for (const RingGeometry& g : {pulseRingGeometry(0, inputs, flatRing(-0.1f, 0.3f, 0.1f)),
                                flickerRingGeometry(inputs, flatRing(-0.1f, 0.3f, 0.1f))}) {
    ASSERT_TRUE(g.drawn);
    for (size_t i = 0; i < g.cap.vertices.size(); i += 2) {
      EXPECT_FLOAT_EQ(planarDistance(g.cap.vertices[i]), 0.0f);
      EXPECT_NEAR(planarDistance(g.cap.vertices[i + 1]), 0.2f, 1e-6f);
    }
  }
  // A negative radius beyond the width leaves a negative width: not drawn.
  EXPECT_FALSE(pulseRingGeometry(0, inputs, flatRing(-0.5f, 0.3f, 0.1f)).drawn);

  // No segments: still a ring (its strips are begun and ended), no vertices.
  inputs.segments = 0;
  const RingGeometry empty = pulseRingGeometry(0, inputs, flatRing(1.0f, 0.2f, 0.1f));
  EXPECT_TRUE(empty.drawn);
  EXPECT_TRUE(empty.cap.vertices.empty());
}

TEST(RingGeometryTest, PulseDepthFollowsWaveAndBand) {
  ShapeInputs inputs;
  inputs.random = &generator;
  inputs.segments = 4;
  const float depth = 0.25f;

  // Silent band and sin(0.2 index + 2 time) = 0: depth unchanged.
  inputs.time = 0.0f;
  RingGeometry g = pulseRingGeometry(0, inputs, flatRing(1.0f, 0.2f, depth));
  EXPECT_FLOAT_EQ(g.cap.vertices[0].z, -depth);

  // Band at 1 and the sine at +1 or -1: (depth + 0.08) * 9.
  inputs.spectrum[5] = 1.0f;
  for (double angle : {kPi / 2, 3 * kPi / 2}) {
    inputs.time = static_cast<float>(angle / 2);
    g = pulseRingGeometry(0, inputs, flatRing(1.0f, 0.2f, depth));
    EXPECT_NEAR(g.outerWall.vertices[0].z, -(depth + 0.08f) * 9.0f, 1e-5f) << angle;
  }

  // The band is index + 5 and the wave travels along the index.
  inputs.spectrum[5] = 0.0f;
  inputs.spectrum[12] = 1.0f;
  inputs.time = static_cast<float>(kPi / 4 - 0.2 * 7 / 2);
  g = pulseRingGeometry(7, inputs, flatRing(1.0f, 0.2f, depth));
  EXPECT_NEAR(g.cap.vertices[0].z, -(depth + 0.08f) * 9.0f, 1e-4f);

  // A band past the end of the spectrum reads the last band instead. With
  // sin(0.2 * 600 + 2 time) = 0 the depth is just scaled by 1 + 4 * band.
  inputs.time = static_cast<float>((38 * kPi - 120) / 2);
  inputs.spectrum[ShapeInputs::kBands - 1] = 1.0f;
  g = pulseRingGeometry(600, inputs, flatRing(1.0f, 0.2f, depth));
  EXPECT_NEAR(g.cap.vertices[0].z, -depth * 5.0f, 1e-5f);
}

TEST(RingGeometryTest, FlickerColourAndRadiusFollowBandEight) {
  ShapeInputs inputs;
  inputs.random = &generator;
  inputs.segments = 4;
  RingParams ring = flatRing(1.0f, 0.2f, 0.1f);

  generator.seed(7);
  RingGeometry g = flickerRingGeometry(inputs, ring);
  EXPECT_FLOAT_EQ(g.cap.color.x, 0.2f);
  EXPECT_FLOAT_EQ(g.cap.color.z, 0.6f);
  EXPECT_NEAR(planarDistance(g.cap.vertices[0]), 1.0f, 1e-6f);

  // A loud band saturates the flicker: full orange, half the radius. The
  // size rule applies after that, so a radius of 3 then draws.
  inputs.spectrum[8] = 1000.0f;
  generator.seed(7);
  g = flickerRingGeometry(inputs, ring);
  EXPECT_FLOAT_EQ(g.cap.color.x, 0.8f);
  EXPECT_FLOAT_EQ(g.cap.color.y, 0.5f);
  EXPECT_FLOAT_EQ(g.cap.color.z, 0.3f);
  EXPECT_NEAR(planarDistance(g.cap.vertices[0]), 0.5f, 1e-6f);
  EXPECT_TRUE(flickerRingGeometry(inputs, flatRing(3.0f, 0.2f, 0.1f)).drawn);

  // A partial flicker uses the 21st draw of the call.
  inputs.spectrum[8] = 0.1f;
  const double r = drawAfter(7, 20) / 32767.0;
  const float f = static_cast<float>(std::fmin(4.5 * r * 0.1, 1.0));
  generator.seed(7);
  g = flickerRingGeometry(inputs, ring);
  EXPECT_NEAR(g.cap.color.x, 0.2f + 0.6f * f, 1e-6f);
  EXPECT_NEAR(planarDistance(g.cap.vertices[0]), 1.0f - 0.5f * f, 1e-6f);
}

TEST(RingGeometryTest, RandomDrawsPerRingWhetherDrawnOrNot) {
  ShapeInputs inputs;
  inputs.random = &generator;
  inputs.segments = 6;
  // The generator's next value after seeding with 99 and running fn.
  auto nextAfter = [](auto fn) {
    generator.seed(99);
    fn();
    return generator.next();
  };
  for (float radius : {1.0f, 3.0f}) {
    const RingParams ring = flatRing(radius, 0.2f, 0.1f);
    EXPECT_EQ(nextAfter([&] { pulseRingGeometry(3, inputs, ring); }), drawAfter(99, 3)) << radius;
    EXPECT_EQ(nextAfter([&] { flickerRingGeometry(inputs, ring); }), drawAfter(99, 23)) << radius;
  }
  EXPECT_EQ(nextAfter([&] { ringGeometry(inputs, flatRing(1.0f, 0.2f, 0.1f)); }), drawAfter(99, 0));
}

TEST(ClipPanelTest, UnitSquareFrameAndPlanes) {
  const ClipPanelFrame frame = clipPanelFrame(v3(0, 0, 0), v3(1, 0, 0), v3(1, 1, 0), v3(0, 1, 0));
  const float expectedVectors[4][3] = {{0.5f, 0.5f, 0}, {0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
  const Vec3* vectors[4] = {&frame.center, &frame.normal, &frame.side, &frame.edge};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(vectors[i]->x, expectedVectors[i][0]) << i;
    EXPECT_FLOAT_EQ(vectors[i]->y, expectedVectors[i][1]) << i;
    EXPECT_FLOAT_EQ(vectors[i]->z, expectedVectors[i][2]) << i;
  }
  const float expectedPlanes[4][4] = {{0, 1, 0, 0}, {-1, 0, 0, 1}, {0, -1, 0, 1}, {1, 0, 0, 0}};
  for (int k = 0; k < 4; ++k)
    for (int c = 0; c < 4; ++c) EXPECT_FLOAT_EQ(frame.planes[k][c], expectedPlanes[k][c]) << k;
}

TEST(ClipPanelTest, PlanesCutToTheOutlineOfAnyQuad) {
  // A parallelogram with a 45 degree corner at p0, lifted off the origin.
  const Vec3 p[4] = {v3(1, 1, 2), v3(3, 1, 2), v3(4, 2, 2), v3(2, 2, 2)};
  const ClipPanelFrame frame = clipPanelFrame(p[0], p[1], p[2], p[3]);
  EXPECT_NEAR(vecLength(frame.normal), std::sqrt(0.5f), 1e-6f);
  auto inside = [&](Vec3 q) {
    for (const auto& n : frame.planes)
      if (n[0] * q.x + n[1] * q.y + n[2] * q.z + n[3] < -1e-5f) return false;
    return true;
  };
  EXPECT_TRUE(inside(frame.center));
  for (const Vec3& corner : p) EXPECT_TRUE(inside(corner));
  EXPECT_TRUE(inside(v3(2.5f, 1.5f, -7)));  // the prism extends along the normal
  EXPECT_FALSE(inside(v3(1.2f, 1.9f, 2)));  // left of the slanted edge
  EXPECT_FALSE(inside(v3(3.5f, 1.1f, 2)));
  EXPECT_FALSE(inside(v3(2.5f, 2.1f, 2)));
  EXPECT_FALSE(inside(v3(2.5f, 0.9f, 2)));
}

// The stream a scene draws from: what one panel with its rings puts there is
// exactly the records they were computed into, in the order they were drawn.
bool sameFloats(const float* a, const float* b, size_t count) {
  return std::memcmp(a, b, count * sizeof(float)) == 0;
}

::testing::AssertionResult vertexIs(const StreamVertex& v, const Vec3& position, const Vec3& normal,
                                    const Vec3& color, const float (&planes)[4][4]) {
  const float p[3] = {position.x, position.y, position.z};
  const float n[3] = {normal.x, normal.y, normal.z};
  const float c[3] = {color.x, color.y, color.z};
  if (!sameFloats(v.position, p, 3)) return ::testing::AssertionFailure() << "position";
  if (!sameFloats(v.normal, n, 3)) return ::testing::AssertionFailure() << "normal";
  if (!sameFloats(v.color, c, 3)) return ::testing::AssertionFailure() << "colour";
  if (!sameFloats(&v.planes[0][0], &planes[0][0], 16))
    return ::testing::AssertionFailure() << "planes";
  return ::testing::AssertionSuccess();
}

// Checks the strip's vertices from *vertex on and its triangles from *index
// on, and moves both past it. Each quad a0 a1 b0 b1 is split as GL splits a
// quad strip: (b0 a0 b1), (a0 a1 b1).
void expectStrip(const GeometryStream& stream, const RingStrip& strip, const float (&planes)[4][4],
                 size_t* vertex, size_t* index, const char* what) {
  const size_t first = *vertex;
  for (const Vec3& position : strip.vertices)
    EXPECT_TRUE(vertexIs(stream.vertices[(*vertex)++], position, strip.normal, strip.color, planes))
        << what << " vertex " << *vertex - 1 - first;
  for (size_t a = first; a + 3 < first + strip.vertices.size(); a += 2) {
    const uint32_t expected[6] = {uint32_t(a + 2), uint32_t(a),     uint32_t(a + 3),
                                  uint32_t(a),     uint32_t(a + 1), uint32_t(a + 3)};
    for (uint32_t e : expected)
      EXPECT_EQ(stream.indices[(*index)++], e) << what << " quad at " << a;
  }
}

TEST(GeometryStreamTest, PanelWithItsRingsIsTheRecordsInDrawingOrder) {
  ShapeInputs inputs;
  inputs.random = &generator;
  inputs.segments = 5;
  inputs.phase = 0.3f;
  inputs.time = 1.7f;
  inputs.spectrum[8] = 0.15f;
  inputs.spectrum[14] = 0.5f;
  GeometryStream stream;
  inputs.geometry = &stream;

  // A skewed panel, and rings on it as the scenes place them.
  const Vec3 p[4] = {v3(0, 0, 1), v3(1, 0.2f, 1), v3(1.1f, 1, 1.2f), v3(-0.1f, 0.9f, 1)};
  const ClipPanelFrame frame = clipPanelFrame(p[0], p[1], p[2], p[3]);
  RingParams ring = flatRing(0.3f, 0.4f, 0.2f);
  ring.base = frame.center;
  ring.axis = frame.normal;
  ring.axisU = frame.side;
  ring.axisV = frame.edge;
  const Vec3 slate = v3(0.3f, 0.3f, 0.4f);

  // The records, with the random draws the shapes make.
  generator.seed(5);
  const RingGeometry before = pulseRingGeometry(2, inputs, ring);
  const RingGeometry pulse = pulseRingGeometry(9, inputs, ring);
  const RingGeometry flicker = flickerRingGeometry(inputs, ring);
  const int next = generator.next();

  // The same calls drawn: a ring before any panel, the panel, its rings.
  generator.seed(5);
  drawPulseRing(2, &inputs, ring);
  Vec3 center, normal, side, edge;
  drawClipPanel(&inputs, p[0], p[1], p[2], p[3], &center, &normal, &side, &edge, slate);
  drawPulseRing(9, &inputs, ring);
  drawFlickerRing(0, &inputs, ring);
  EXPECT_EQ(generator.next(), next);  // no draw more or less than the records
  EXPECT_TRUE(sameFloats(&center.x, &frame.center.x, 3));
  EXPECT_TRUE(sameFloats(&normal.x, &frame.normal.x, 3));
  EXPECT_TRUE(sameFloats(&side.x, &frame.side.x, 3));
  EXPECT_TRUE(sameFloats(&edge.x, &frame.edge.x, 3));

  // 3 strips of 10 vertices (4 quads, 8 triangles) per ring, 4 vertices and
  // 2 triangles for the panel.
  ASSERT_EQ(stream.vertices.size(), 3u * 30 + 4);
  ASSERT_EQ(stream.indices.size(), 3u * 3 * 24 + 6);
  const float zero[4][4] = {};
  size_t vertex = 0, index = 0;
  // Before any panel the planes are zero, which cuts nothing.
  expectStrip(stream, before.cap, zero, &vertex, &index, "first cap");
  expectStrip(stream, before.outerWall, zero, &vertex, &index, "first outer wall");
  expectStrip(stream, before.innerWall, zero, &vertex, &index, "first inner wall");
  // The panel: its corners in order with its own planes, split (p0 p1 p2)(p0 p2 p3).
  EXPECT_EQ(stream.alphaFrom, static_cast<int64_t>(index));
  for (int k = 0; k < 4; ++k)
    EXPECT_TRUE(vertexIs(stream.vertices[vertex + k], p[k], frame.normal, slate, frame.planes))
        << k;
  const uint32_t panel[6] = {0, 1, 2, 0, 2, 3};
  for (uint32_t e : panel) EXPECT_EQ(stream.indices[index++], vertex + e);
  vertex += 4;
  // Its rings carry its planes.
  for (const RingGeometry* g : {&pulse, &flicker}) {
    expectStrip(stream, g->cap, frame.planes, &vertex, &index, "cap");
    expectStrip(stream, g->outerWall, frame.planes, &vertex, &index, "outer wall");
    expectStrip(stream, g->innerWall, frame.planes, &vertex, &index, "inner wall");
  }

  // A hidden panel (red -0.5) draws nothing but makes its planes current.
  const ClipPanelFrame hidden = clipPanelFrame(p[3], p[2], p[1], p[0]);
  drawClipPanel(&inputs, p[3], p[2], p[1], p[0], nullptr, nullptr, nullptr, nullptr,
                v3(-0.5f, 1, 1));
  EXPECT_EQ(stream.vertices.size(), vertex);
  EXPECT_TRUE(sameFloats(&stream.planes[0][0], &hidden.planes[0][0], 16));
  // A ring too large draws nothing at all.
  drawPulseRing(0, &inputs, flatRing(3.0f, 0.2f, 0.1f));
  EXPECT_EQ(stream.vertices.size(), vertex);
  EXPECT_EQ(stream.indices.size(), index);
}

}  // namespace
