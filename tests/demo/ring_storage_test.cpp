// Rings computed into a record that held other rings before: the strips are
// exactly those of a fresh record, nothing of the earlier ring is left over,
// and the vertex storage is reused rather than allocated again.
#include <gtest/gtest.h>

#include <cstring>

#include "core/random.h"
#include "demo/geometry.h"

// The test's own generator, standing in for the show's.
static Random generator;

namespace {

bool sameVec(const Vec3& a, const Vec3& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool sameStrip(const RingStrip& a, const RingStrip& b) {
  if (!sameVec(a.color, b.color) || !sameVec(a.normal, b.normal)) return false;
  if (a.vertices.size() != b.vertices.size()) return false;
  for (size_t i = 0; i < a.vertices.size(); ++i)
    if (!sameVec(a.vertices[i], b.vertices[i])) return false;
  return true;
}

void expectSame(const RingGeometry& reused, const RingGeometry& fresh, const char* what) {
  EXPECT_EQ(reused.drawn, fresh.drawn) << what;
  EXPECT_TRUE(sameStrip(reused.cap, fresh.cap)) << what;
  EXPECT_TRUE(sameStrip(reused.outerWall, fresh.outerWall)) << what;
  EXPECT_TRUE(sameStrip(reused.innerWall, fresh.innerWall)) << what;
}

RingParams ring(float radius, float width) {
  RingParams params;
  params.axis.z = 1.0f;
  params.axisU.x = 1.0f;
  params.axisV.y = 1.0f;
  params.radius = radius;
  params.width = width;
  params.depth = 0.3f;
  params.color.x = 0.9f;
  params.color.y = 0.4f;
  return params;
}

TEST(RingStorage, ReusedRecordHoldsExactlyTheNewRing) {
  ShapeInputs wide;
  wide.random = &generator;
  wide.segments = 64;
  wide.spectrum[8] = 0.5f;
  wide.spectrum[12] = 0.25f;
  ShapeInputs narrow = wide;
  narrow.segments = 9;
  narrow.phase = 0.7f;

  RingGeometry reused;
  generator.seed(11);
  pulseRingGeometry(7, wide, ring(1.0f, 0.4f), &reused);
  const Vec3* storage = reused.cap.vertices.data();

  // A ring ruled out by its size, then smaller rings of both kinds.
  generator.seed(12);
  flickerRingGeometry(narrow, ring(3.0f, 0.4f), &reused);
  generator.seed(12);
  expectSame(reused, flickerRingGeometry(narrow, ring(3.0f, 0.4f)), "ruled out");

  generator.seed(13);
  flickerRingGeometry(narrow, ring(-0.1f, 0.5f), &reused);
  generator.seed(13);
  expectSame(reused, flickerRingGeometry(narrow, ring(-0.1f, 0.5f)), "flicker");

  generator.seed(14);
  pulseRingGeometry(3, narrow, ring(0.5f, 0.2f), &reused);
  generator.seed(14);
  expectSame(reused, pulseRingGeometry(3, narrow, ring(0.5f, 0.2f)), "pulse");

  EXPECT_EQ(reused.cap.vertices.data(), storage);
}

}  // namespace
