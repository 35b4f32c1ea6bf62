// The opening: panels grow out of the origin and drop into place, further
// left ones first.
#include "demo/scenes/opening_placement.h"

#include <gtest/gtest.h>

#include "core/random.h"

// The test's own generator, standing in for the show's.
static Random generator;

namespace {

void panelAt(float x, Vec3 corners[4]) {
  const float xy[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  for (int k = 0; k < 4; ++k) {
    corners[k].x = x + xy[k][0];
    corners[k].y = xy[k][1];
    corners[k].z = 0.0f;
  }
}

TEST(OpeningPlacement, PanelOnTheRightIsCollapsedAboveTheOriginAtTheStart) {
  Vec3 corners[4];
  panelAt(7.0f, corners);  // q = 7 r - 7.7 <= 4 whatever the draw
  const OpeningWallFace face = placeOpeningWallFace(12, corners, 0.0, generator);
  EXPECT_FLOAT_EQ(face.grow, 0.0f);
  for (const Vec3& c : face.corners) {
    EXPECT_FLOAT_EQ(c.x, 0.0f);
    EXPECT_FLOAT_EQ(c.y, 10.0f);
    EXPECT_FLOAT_EQ(c.z, 0.0f);
  }
}

TEST(OpeningPlacement, PanelsFurtherLeftStartEarlierAndLandInPlace) {
  Vec3 left[4], right[4];
  panelAt(-8.0f, left);
  panelAt(6.0f, right);
  EXPECT_GT(placeOpeningWallFace(4, left, 3.0, generator).grow,
            placeOpeningWallFace(4, right, 3.0, generator).grow);
  // Landed: the corners are the mesh's own.
  const OpeningWallFace landed = placeOpeningWallFace(4, left, 19.0, generator);
  EXPECT_FLOAT_EQ(landed.grow, 1.0f);
  for (int k = 0; k < 4; ++k) {
    EXPECT_FLOAT_EQ(landed.corners[k].x, left[k].x);
    EXPECT_FLOAT_EQ(landed.corners[k].y, left[k].y);
  }
}

TEST(OpeningPlacement, CubeTurnsAboutZ) {
  Vec3 corners[4];
  panelAt(-0.25f, corners);  // the 0.25 shift puts the first corner at (0, 1, 0)
  const OpeningCubeFace face =
      placeOpeningCubeFace(2, corners, 5.0 * 3.14159265358979323846, generator);
  // 0.1 t = pi / 2: (0, 1, 0) turns to (-1, 0, 0).
  EXPECT_NEAR(face.corners[0].x, -1.0f, 1e-5f);
  EXPECT_NEAR(face.corners[0].y, 0.0f, 1e-5f);
}

}  // namespace
