// The scripted show camera and the orbit camera.
#include "demo/camera_script.h"

#include <gtest/gtest.h>

#include <cmath>

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

void expectVec(const Vec3& v, float x, float y, float z, float tolerance = 1e-5f) {
  EXPECT_EQ(v.state, 1);
  EXPECT_NEAR(v.x, x, tolerance);
  EXPECT_NEAR(v.y, y, tolerance);
  EXPECT_NEAR(v.z, z, tolerance);
}

void expectSameCamera(const Camera& a, const Camera& b) {
  for (auto member : {&Camera::eye, &Camera::target, &Camera::up}) {
    EXPECT_EQ((a.*member).x, (b.*member).x);
    EXPECT_EQ((a.*member).y, (b.*member).y);
    EXPECT_EQ((a.*member).z, (b.*member).z);
  }
}

Camera someRequest() {
  Camera request;
  request.eye = v3(1, 2, 3);
  request.target = v3(4, 5, 6);
  request.up = v3(0.6f, 0.8f, 0);
  return request;
}

TEST(CameraScriptTest, ConditionsAreStrict) {
  const Camera request = someRequest();
  // At 20 exactly the opening track still holds.
  Camera c = scriptCameraAt(20.0, request, 0.0, generator);
  expectVec(c.eye, 2, 0, 12);
  expectVec(c.target, 2, 0, 0);
  expectVec(c.up, 0, 1, 0);
  // Just after, the circling camera at height 5 looks at 5 * cameraZ.
  c = scriptCameraAt(20.001, request, 0.4, generator);
  EXPECT_FLOAT_EQ(c.eye.y, 5.0f);
  EXPECT_NEAR(std::hypot(c.eye.x, c.eye.z), 10.0f, 1e-3f);
  expectVec(c.target, 0, 2, 0);

  // At 124 exactly: 4.2 in front of the requested eye, looking ahead.
  c = scriptCameraAt(124.0, request, 0.0, generator);
  expectVec(c.eye, 1, 2, 7.2f);
  expectVec(c.target, 1, 2, 13);
  expectVec(c.up, 0, 1, 0);
  // Just after: pulled back and turned round.
  c = scriptCameraAt(124.001, request, 0.0, generator);
  expectVec(c.eye, 1, 2, 23.6f);
  expectVec(c.target, 1, 2, -7);

  // At 132 exactly the finale has not begun; just after it has.
  c = scriptCameraAt(132.0, request, 0.0, generator);
  expectVec(c.target, 1, 2, -7);
  c = scriptCameraAt(132.001, request, 0.0, generator);
  expectVec(c.target, 0, -0.05f, 0);
}

TEST(CameraScriptTest, TunnelFollowsTheRequestCamera) {
  const Camera request = someRequest();
  expectSameCamera(scriptCameraAt(36.001, request, 0.0, generator), request);
  expectSameCamera(scriptCameraAt(84.0, request, 0.0, generator), request);
  EXPECT_NE(scriptCameraAt(36.0, request, 0.0, generator).eye.x, request.eye.x);

  // Simulated frames: the script runs before the scene writes its request,
  // so each frame shows the request of the frame before.
  Camera partRequest = initialRequestCamera();
  const Camera initial = partRequest;
  for (int frame = 0; frame < 3; ++frame) {
    const Camera before = partRequest;
    const Camera main = scriptCameraAt(40.0 + frame * 0.02, partRequest, 0.0, generator);
    expectSameCamera(main, before);
    partRequest.eye = v3(static_cast<float>(frame), 10, -10);  // the scene's new request
  }

  // The request camera starts at a usable view: eye away from the target, up
  // not along the view direction.
  const Vec3 view = vecSub(initial.target, initial.eye);
  EXPECT_GT(vecLength(view), 1.0f);
  EXPECT_GT(vecLength(vecCross(view, initial.up)), 0.5f * vecLength(view) * vecLength(initial.up));
}

TEST(CameraScriptTest, FramingOffsetsAroundTheRequest) {
  const Camera request = someRequest();
  // 84..100: circling 10 units around the requested eye in x and y.
  for (double t : {90.0, 95.0}) {
    const Camera c = scriptCameraAt(t, request, 0.0, generator);
    EXPECT_NEAR(std::hypot(c.eye.x - 1, c.eye.y - 2), 10.0f, 1e-4f) << t;
    expectVec(c.target, 4, 6.4f, 4);
    expectVec(c.up, 0, 0, -1);
  }
  // 100..108: 14 units around it, 5.1 above; target 3 below the request's.
  Camera c = scriptCameraAt(104.0, request, 0.0, generator);
  EXPECT_NEAR(std::hypot(c.eye.x - 1, c.eye.y - 2), 14.0f, 1e-4f);
  EXPECT_NEAR(c.eye.z, 8.1f, 1e-5f);
  expectVec(c.target, 4, 5, 3);
  // 108..116 adds a lift of 6.2.
  EXPECT_NEAR(scriptCameraAt(110.0, request, 0.0, generator).eye.z, 14.3f, 1e-5f);
}

// Where the eye is, not only how far it is from its centre: a turn the
// wrong way round or a mirrored axis keeps every distance above.
TEST(CameraScriptTest, EyePositionsAlongTheShow) {
  const Camera request = someRequest();
  const struct {
    double t;
    float x, y, z;
  } moments[] = {
      {22.0, -7.0774f, 5.0f, -5.0441f},     // circling the falling panels
      {30.0, 4.3f, -4.6291f, 1.8899f},      // swinging over them
      {88.0, -7.2132f, -3.7047f, 4.7017f},  // circling the tunnel's requested eye
      {95.0, -6.8168f, -4.2368f, 5.6f},
      {104.0, 8.5642f, -9.7806f, 8.1f},
      {110.0, 3.3795f, 15.7963f, 14.3f},
      {140.0, 3.453f, 2.7739f, -6.7254f},  // around the panel cube
      {152.0, -6.4729f, -0.3038f, 1.0f},
      {157.0, -0.1334f, -5.5829f, 0.8618f},
  };
  for (const auto& m : moments) {
    SCOPED_TRACE(m.t);
    expectVec(scriptCameraAt(m.t, request, 0.0, generator).eye, m.x, m.y, m.z, 1e-3f);
  }
  // The tilts of the up vector while circling the panels and the cube.
  expectVec(scriptCameraAt(22.0, request, 0.0, generator).up, 0, 1, 0.2851f, 1e-3f);
  expectVec(scriptCameraAt(140.0, request, 0.0, generator).up, 0.8367f, 1, 0.7539f, 1e-3f);
}

TEST(CameraScriptTest, FinaleCameraAndItsGeneratorSideEffect) {
  const Camera request = someRequest();
  // At 160 the ease factor is back at 1: the eye is 6.48 from the z axis at height 1.
  Camera c = scriptCameraAt(160.0, request, 0.0, generator);
  EXPECT_NEAR(std::hypot(c.eye.x, c.eye.y), 6.48f, 1e-5f);
  EXPECT_NEAR(c.eye.z, 1.0f, 1e-6f);
  expectVec(c.target, 0, 0, 0);
  expectVec(c.up, 0, 0, 1);
  // Just after 156 the factor has dropped to 0.6.
  c = scriptCameraAt(156.0001, request, 0.0, generator);
  EXPECT_NEAR(std::hypot(c.eye.x, c.eye.y), 6.48f * 0.6f, 1e-3f);

  c = scriptCameraAt(170.0, request, 0.0, generator);
  expectVec(c.eye, 7.1f, 0, 0);

  // The generator is left at seed 44 * (int)(t / 2) + 42342342 plus 1001 draws.
  for (double t : {133.9, 160.0, 171.0}) {
    generator.seed(5);
    scriptCameraAt(t, request, 0.0, generator);
    const int next = generator.next();
    generator.seed(44 * static_cast<int>(t * 0.5) + 42342342);
    for (int i = 0; i < 1001; ++i) generator.next();
    EXPECT_EQ(next, generator.next()) << t;
  }
  // Before the finale the script leaves the generator alone.
  generator.seed(5);
  const int untouched = generator.next();
  generator.seed(5);
  scriptCameraAt(120.0, request, 0.0, generator);
  EXPECT_EQ(generator.next(), untouched);
}

}  // namespace
