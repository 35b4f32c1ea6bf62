// The tunnel: its path grown from the frame's random sequence, the flight
// camera, the band's strength, the cube layers and the blinking letters.
#include <gtest/gtest.h>

#include <cmath>

#include "core/random.h"
#include "demo/camera_script.h"
#include "demo/scenes/ring_tunnel_placement.h"

// The test's own generator, standing in for the show's.
static Random generator;

namespace {

// The sequence as the scene's frame set-up leaves it.
PathSpline pathAt(double t) {
  generator.seed(4234234);
  generator.unit();
  return growTunnelPath(t, generator);
}

void expectNear(const Vec3& a, const Vec3& b, float tolerance) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(TunnelPath, SnakesUntil68ThenRunsStraightAlongY) {
  const PathSpline straight = pathAt(70.0);
  ASSERT_EQ(straight.count, kTunnelPathPoints);
  ASSERT_EQ(straight.points.size(), static_cast<size_t>(kTunnelPathPoints));
  for (int i = 0; i < kTunnelPathPoints; ++i) {
    EXPECT_FLOAT_EQ(straight.points[i].x, 0.0f) << i;
    EXPECT_FLOAT_EQ(straight.points[i].y, static_cast<float>(i + 1)) << i;
    EXPECT_FLOAT_EQ(straight.points[i].z, 0.0f) << i;
  }
  // Before 52 s the path bends sideways and climbs out of the plane.
  const PathSpline early = pathAt(40.0);
  EXPECT_GT(std::fabs(early.points[99].x), 1.0f);
  EXPECT_GT(std::fabs(early.points[99].z), 1.0f);
  // The same frame time grows the same path.
  const PathSpline again = pathAt(40.0);
  expectNear(again.points[57], early.points[57], 0.0f);
}

TEST(TunnelPath, SplineWrapsAroundItsHundredPoints) {
  const PathSpline path = pathAt(40.0);
  expectNear(splineEvaluate(path, 150.0f), splineEvaluate(path, 50.0f), 1e-4f);
  expectNear(splineEvaluate(path, 50.0f), path.points[50], 1e-4f);
}

TEST(TunnelCamera, FlightStartsWhereTheScriptExpectsIt) {
  // The camera script starts its request camera at the flight's view of the
  // first tunnel frame (within a frame's flight of 36 s); a path grown with a
  // draw too many or too few bends away from it by far more.
  const Camera start = initialRequestCamera();
  const PathCamera camera = tunnelPathCamera(pathAt(36.0), 36.0);
  expectNear(camera.request.eye, start.eye, 0.15f);
  expectNear(camera.request.target, start.target, 0.15f);
  EXPECT_FLOAT_EQ(camera.request.up.z, 0.0f);
}

TEST(TunnelCamera, HangsOffThePathLookingBackFrom52) {
  const PathSpline path = pathAt(80.0);
  const PathCamera camera = tunnelPathCamera(path, 80.0);
  // q = (80 - 50 - 13) * 4 = 68: the eye 14 below point 68, the target 4 points behind.
  expectNear(camera.request.eye, vecAdd(path.points[68], Vec3{1, 0, 0, -14}), 1e-3f);
  expectNear(camera.request.target, path.points[64], 1e-3f);
  EXPECT_LT(camera.request.up.y, 0.0f);  // screen-up points back along the flight
}

TEST(TunnelBand, FadesInFrom36AndFollowsTheBassFrom68) {
  Vec3 focus;
  EXPECT_FLOAT_EQ(tileStrength(focus, focus, 36.0, 0.0f), 0.0f);
  EXPECT_FLOAT_EQ(tileStrength(focus, focus, 40.0, 0.0f), 5.0f);
  Vec3 far;
  far.x = 7.0f;
  EXPECT_FLOAT_EQ(tileStrength(far, focus, 45.0, 0.0f), 0.0f);
  EXPECT_FLOAT_EQ(tileStrength(focus, focus, 70.0, 0.0f), 0.0f);
  EXPECT_GT(tileStrength(focus, focus, 70.0, 0.5f), 0.0f);
  EXPECT_FLOAT_EQ(musicGate(70.0, 3.0f), 2.0f);
  EXPECT_EQ(tunnelBandHalfWidth(60.0), 8);
  EXPECT_EQ(tunnelBandHalfWidth(70.0), 6);
  EXPECT_EQ(tunnelBandHalfWidth(110.0), 7);
}

TEST(TunnelBand, TilesSpanTheirColumnAcrossThePath) {
  const PathSpline path = pathAt(70.0);
  Vec3 c[4];
  tunnelTileCorners(path, -2, 10, 70.0, c);
  // Along +y the side vector is -x: column k spans -(k +- 0.5) in x.
  EXPECT_FLOAT_EQ(c[0].x, 2.5f);
  EXPECT_FLOAT_EQ(c[1].x, 1.5f);
  EXPECT_FLOAT_EQ(c[0].y, 11.0f);
  EXPECT_FLOAT_EQ(c[3].y, 10.0f);
  tunnelTileCorners(path, -2, 10, 125.0, c);
  EXPECT_NEAR(c[0].x - c[1].x, 0.7f, 1e-5f);
  // Nearness falls with distance from the eye and from the flight line.
  Vec3 eye;
  EXPECT_GT(tileNearness(Vec3(), 0, eye), tileNearness(Vec3(), 5, eye));
  EXPECT_GT(tileNearness(Vec3(), 0, eye), tileNearness(Vec3{1, 0, 10, 0}, 0, eye));
  // From 68 s only every second tile is drawn.
  EXPECT_TRUE(tileDrawn(1, 4, 60.0));
  EXPECT_TRUE(tileDrawn(0, 4, 70.0));
  EXPECT_FALSE(tileDrawn(1, 4, 70.0));
}

TEST(TunnelLayers, OneLayerFrom68ThreeFrom100EnclosingTheCameraFrom116) {
  EXPECT_EQ(tunnelLayerCount(60.0), 0);
  EXPECT_EQ(tunnelLayerCount(80.0), 1);
  EXPECT_EQ(tunnelLayerCount(110.0), 3);
  Vec3 corner{1, 5, 5, 5}, centre;
  // Gone at 84 s, back at full size just after.
  EXPECT_NEAR(vecLength(placeLayerCorner(corner, 0, centre, 83.999)), 0.0f, 0.05f);
  const float normal = vecLength(placeLayerCorner(corner, 0, centre, 90.0));
  EXPECT_GT(normal, 0.35f * vecLength(corner));
  EXPECT_NEAR(vecLength(placeLayerCorner(corner, 0, centre, 120.0)) /
                  vecLength(placeLayerCorner(corner, 0, centre, 90.0)),
              6.0f * (0.4f + 0.05f * std::sin(240.0f)) / (0.4f + 0.05f * std::sin(180.0f)), 1e-3f);
}

TEST(TunnelLetters, EachLetterIsWhollyOnOrOffForHalfASecond) {
  for (int k = 0; k < 3; ++k) {
    int shown = 0, hidden = 0;
    for (int half = 201; half < 231; ++half) {
      const bool first = letterVisible(k, half * 0.5 + 0.01, generator);
      for (double f : {0.1, 0.25, 0.49})
        EXPECT_EQ(letterVisible(k, half * 0.5 + f, generator), first)
            << "letter " << k << " at " << half * 0.5 + f;
      (first ? shown : hidden) += 1;
    }
    EXPECT_GT(shown, 0) << "letter " << k;
    EXPECT_GT(hidden, 0) << "letter " << k;
    EXPECT_FALSE(letterVisible(k, 99.9, generator));
    EXPECT_FALSE(letterVisible(k, 116.0, generator));
  }
}

}  // namespace
