// The finale's placement: the two drops of the panel cube, the ring layers
// and the shell's build-up and removal, and the frozen choices at the end.
#include <gtest/gtest.h>

#include "core/random.h"
#include "demo/scenes/panel_cube_placement.h"

// The test's own generator, standing in for the show's.
static Random generator;

namespace {

// A face of the tiled cube's front side.
void frontFace(Vec3 corners[4]) {
  const float xy[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (int k = 0; k < 4; ++k) {
    corners[k].x = xy[k][0];
    corners[k].y = xy[k][1];
    corners[k].z = 4.0f;
  }
}

FinaleFace face(int i, double t) {
  Vec3 corners[4];
  frontFace(corners);
  return placeFinaleFace(i, corners, t, panelCubeRule(), generator);
}

TEST(FinalePlacement, FacesDropInOneEveryTenthOfASecond) {
  // At 132 s nothing has arrived: every face hangs the full 7 units above.
  for (int i : {0, 1, 50, 95}) EXPECT_FLOAT_EQ(face(i, 132.0).lift, 7.0f) << "face " << i;
  // Face 0 lands at 137 s, face 50 five seconds later.
  EXPECT_LT(face(0, 136.9).arrival, 1.0f);
  EXPECT_FLOAT_EQ(face(0, 137.0).arrival, 1.0f);
  EXPECT_LT(face(50, 141.9).arrival, 1.0f);
  EXPECT_FLOAT_EQ(face(50, 142.0).arrival, 1.0f);
  EXPECT_FLOAT_EQ(face(50, 142.0).lift, 0.0f);
}

TEST(FinalePlacement, SecondAssemblyRestartsAt148AsIfFrom144) {
  EXPECT_FLOAT_EQ(face(0, 147.9).lift, 0.0f);
  // easeInOut(0.8) = (1 - cos 0.8 pi) / 2 leaves 7 * 0.0955 = 0.67 units.
  EXPECT_NEAR(face(0, 148.0001).lift, 0.67f, 0.01f);
  for (int i : {40, 41, 60, 95}) EXPECT_NEAR(face(i, 148.0001).lift, 7.0f, 1e-3f) << "face " << i;
  // Face i lands again at 149 + 0.1 i.
  EXPECT_FLOAT_EQ(face(0, 149.0).arrival, 1.0f);
  EXPECT_LT(face(20, 150.9).arrival, 1.0f);
  EXPECT_FLOAT_EQ(face(20, 151.0).arrival, 1.0f);
}

TEST(FinalePlacement, SpinKeepsTheCubeAroundTheOriginUntilItBreaksUp) {
  // Scaled by 0.4 the front face lies within 0.4 * |(1, 1, 4)| of the origin
  // once landed, whatever the spin; after the break-up it has flown off along z.
  for (double t : {150.0, 165.0, 190.0}) {
    const FinaleFace f = face(3, t);
    for (const Vec3& c : f.corners) EXPECT_LE(vecLength(c), 0.4f * 4.25f) << "t = " << t;
  }
  const FinaleFace gone = face(3, 203.0);
  EXPECT_GT(vecLength(gone.corners[0]), 8.0f);
}

TEST(FinalePlacement, RandomChoicesChangeEveryHalfSecondUntil196ThenFreeze) {
  auto nextDraw = [](int i, double t) {
    face(i, t);
    return generator.next();
  };
  EXPECT_EQ(nextDraw(7, 150.1), nextDraw(7, 150.4));
  EXPECT_NE(nextDraw(7, 150.4), nextDraw(7, 150.6));
  EXPECT_EQ(nextDraw(7, 196.2), nextDraw(7, 199.9));
  // Different faces take different choices.
  EXPECT_NE(nextDraw(7, 150.1), nextDraw(8, 150.1));
}

TEST(FinalePlacement, RingLayersJoinFrom170AndShellIsGoneFrom175) {
  EXPECT_EQ(finaleLayerCount(164.5), 0);
  EXPECT_EQ(finaleLayerCount(170.0), 0);
  EXPECT_EQ(finaleLayerCount(170.1), 1);
  EXPECT_EQ(finaleLayerCount(177.0), 2);
  EXPECT_EQ(finaleLayerCount(182.0), 3);
  EXPECT_EQ(finaleLayerCount(185.1), 4);
  EXPECT_EQ(finaleLayerCount(204.0), 4);

  const int n = 100;
  EXPECT_GT(finaleShellFaceCount(n, 132.0), 0);
  EXPECT_LT(finaleShellFaceCount(n, 132.0), n / 4);  // still building up
  EXPECT_EQ(finaleShellFaceCount(n, 150.0), n);
  EXPECT_LT(finaleShellFaceCount(n, 170.0), n);  // being taken down
  EXPECT_EQ(finaleShellFaceCount(n, 175.0), 0);
  EXPECT_EQ(finaleShellFaceCount(n, 180.0), 0);
  EXPECT_EQ(finaleShellFaceCount(0, 150.0), 0);
}

TEST(FinalePlacement, LayersAreNestedBeltsAroundThePanelCube) {
  Vec3 inBand;
  inBand.x = 1.3f;
  Vec3 outside;
  outside.x = -1.5f;
  EXPECT_TRUE(inLayerBand(inBand));
  EXPECT_FALSE(inLayerBand(outside));
  for (int layer = 1; layer < 4; ++layer)
    EXPECT_GT(ringLayerRule(layer).scale, ringLayerRule(layer - 1).scale);
  EXPECT_GT(ringLayerRule(0).scale, panelCubeRule().scale);
}

}  // namespace
