// The falling panels: how far they drop from before and after 25 s, and how
// often their random choices change around 33.5 s.
#include <gtest/gtest.h>

#include "core/random.h"
#include "demo/scenes/panel_field_placement.h"

// The test's own generator, standing in for the show's.
static Random generator;

namespace {

// A face low on the tiled cube's front side, so it is still arriving at 25 s.
void lowFace(Vec3 corners[4]) {
  const float xy[4][2] = {{0, -5}, {1.4f, -5}, {1.4f, -3.6f}, {0, -3.6f}};
  for (int k = 0; k < 4; ++k) {
    corners[k].x = xy[k][0];
    corners[k].y = xy[k][1];
    corners[k].z = 5.0f;
  }
}

FallingPanel panel(int i, double t) {
  Vec3 corners[4];
  lowFace(corners);
  return placeFallingPanel(i, corners, t, generator);
}

TEST(FallingPanels, DropTenUnitsBefore25AndThirtyFrom25) {
  const FallingPanel before = panel(3, 24.99), after = panel(3, 25.0);
  ASSERT_GT(before.arrival, 0.0f);
  ASSERT_LT(before.arrival, 1.0f);
  EXPECT_NEAR(before.lift, 10.0f * (1.0f - before.arrival), 1e-5f);
  EXPECT_NEAR(after.lift, 30.0f * (1.0f - after.arrival), 1e-5f);
  // A face that has not yet arrived jumps higher at 25 s.
  EXPECT_GT(after.lift, 2.5f * before.lift);
  EXPECT_GT(after.corners[0].y - before.corners[0].y, 0.1f);
  // Long before 20 s faces hang above, and by 30 s they have landed.
  EXPECT_FLOAT_EQ(panel(3, 19.0).arrival, 0.0f);
  EXPECT_FLOAT_EQ(panel(3, 30.0).arrival, 1.0f);
}

TEST(FallingPanels, ChoicesChangeEveryHalfSecondThenSixteenTimesASecondFrom33_5) {
  // The stagger is the face's first random draw.
  EXPECT_EQ(panel(5, 33.2).stagger, panel(5, 33.45).stagger);
  EXPECT_NE(panel(5, 32.9).stagger, panel(5, 33.1).stagger);
  EXPECT_EQ(panel(5, 33.51).stagger, panel(5, 33.56).stagger);
  EXPECT_NE(panel(5, 33.52).stagger, panel(5, 33.58).stagger);
  EXPECT_NE(panel(5, 33.2).stagger, panel(6, 33.2).stagger);
}

TEST(FallingPanels, AppearFromFrontToBack) {
  Vec3 front[4], back[4];
  lowFace(front);
  lowFace(back);
  for (Vec3& c : back) c.z = -5.0f;
  // At 20 s a face with z >= -5 has not begun to appear; by 28 s every face
  // with z <= 3 has.
  EXPECT_FLOAT_EQ(placeFallingPanel(0, back, 20.0, generator).fadeIn, 0.0f);
  EXPECT_FLOAT_EQ(placeFallingPanel(0, back, 28.0, generator).fadeIn, 1.0f);
  EXPECT_GT(placeFallingPanel(0, back, 22.0, generator).fadeIn,
            placeFallingPanel(0, front, 22.0, generator).fadeIn);
}

}  // namespace
