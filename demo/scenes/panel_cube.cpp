// The finale (from 132 s): a cube of translucent panels drops in and rolls
// into place, turns as one block and flies apart at the end; belts of rings
// on a larger tiled cube join from 170 s, and a shell of small panels wraps
// the cube until 175 s. All panels carry rings pulsing with the music.
#include <cmath>

#include "core/random.h"
#include "core/timeline.h"
#include "demo/scenes/panel_cube_placement.h"
#include "demo/scenes/scene_frame.h"
#include "demo/scenes/scenes.h"

namespace {

void pulse(int index, const ShapeInputs* shapes, const PanelFrame& frame, float width, float radius,
           float depth, Vec3 color) {
  drawPulseRing(index, shapes, panelRing(frame, width, radius, depth, color));
}

// sin(omega t + offset)^power: a sharp beat of the time.
double beat(double t, double omega, double offset, int power) {
  return std::pow(std::sin(omega * t + offset), power);
}

// The share of busy faces: none before the cube has landed, rising with the
// second assembly and again towards the end, all faces calm from 196 s.
double busyThreshold(double t) {
  double p = 0.2;
  if (t > kFinaleSecondAssembly) p = 0.5 * easeInOut((t - kFinaleSecondAssembly) * 0.2, 1.0) + 0.1;
  if (t > kFinaleBlockTurn) p = 0.3 * easeInOut((t - kFinaleShellGone) * 0.3, 1.0) + 0.6;
  return p * (1.0 - easeInOut(t - 195.5, 1.0));
}

// At 172, 180 and 188 s the busy rings double in size and ease back.
float doublings(double t) {
  float factor = 1.0f;
  for (double moment : kFinaleDoublings)
    if (t > moment) factor *= static_cast<float>(2.0 - easeInOut((t - moment) * 0.7, 1.0));
  return factor;
}

void decorateCubeFace(ShapeInputs* shapes, const PanelFrame& frame, int i, double t,
                      Random& random) {
  random.unit();
  random.unit();
  random.next();
  const float w1 = static_cast<float>(0.05 * random.unit() + 0.005);
  const float w2 = static_cast<float>(0.2 * random.unit() + 0.05);
  const float b1 =
      static_cast<float>(0.03 * std::pow(1.2 * std::sin(kPi * t + 0.0005 * i), 16) + 1.03);

  if (random.unit() >= busyThreshold(t)) {
    // A quiet face: ripples or one broad ring, then rings by face number.
    if (random.next() % 4 == 0) {
      for (int n = 0; n < 4; ++n) {
        const float fade = 1.0f - 0.12f * n;
        const float radius = std::fmod(fade * 0.4f * w1 * 14.0f, 0.3f);
        const float depth = static_cast<float>(0.05 + std::fmod(0.2 * w2 * t + 0.024 * n, 0.3));
        pulse(4, shapes, frame, 0.01f, radius, depth,
              vecScale(vec3(0.3f, 0.5f, 0.7f), 1.3f * fade));
      }
    } else {
      const float radius = static_cast<float>(0.3 * (random.unit() + 3.0) - 1.0);
      pulse(6, shapes, frame, 0.4f, radius, b1 * b1 * w1 + 0.05f,
            vecScale(vec3(0.2f, 0.4f, 0.7f), 1.3f));
    }
    if (i % 11 == 0)
      pulse(i / 7 + 5, shapes, frame, 0.015f, 0.03f, 20.0f * w1,
            vecScale(vec3(0.7f, 0.5f, 0.4f), 2.2f));
    if (i % 5 == 0) pulse(6, shapes, frame, 0.033f, 0.3f, 0.3f * b1, vec3(0.6f, 0.8f, 0.9f));
    if (i % 10 == 0) pulse(8, shapes, frame, 0.02f, 0.1f, 0.2f, vec3(0.3f, 0.8f, 0.5f));
    if (i % 6 == 0)
      pulse(i / 7 + 15, shapes, frame, 0.015f, 0.2f, 4.0f * w1, vec3(0.6f, 0.7f, 0.4f));
    return;
  }

  // A busy face: five rings in warm levels whose radii beat with the time.
  shapes->segments = 20;
  const float grow = doublings(t);
  for (int n = 0; n < 5; ++n) {
    const float red = (random.next() % 3 + 1) * 0.33f + 0.5f;
    const float green = (random.next() % 3 + 1) * 0.33f + 0.3f;
    const float blue = (random.next() % 3 + 1) * 0.33f;
    const float swell = static_cast<float>(1.0 + 0.6 * beat(t, kPi, 0.4 * n + 0.01 * i, 14));
    const float radius = (0.04f + 0.05f * n) * swell * grow;
    const float depth =
        static_cast<float>((0.03 + 2.0 * w1) * (1.0 + beat(t, 0.5 * kPi, 0.3 * n, 14)));
    pulse(4, shapes, frame, 0.06f, radius, depth, vec3(red, green, blue));
  }
  if (i % 4 == 0)
    pulse(i / 7 + 5, shapes, frame, 0.01f, 0.3f * grow, 10.0f * w1,
          vecScale(vec3(0.7f, 0.5f, 0.4f), 2.2f));
}

void drawPanelCubeFaces(SceneContext& scene, double t, Random& random) {
  const ObjMesh& mesh = scene.meshes[kMeshRealCube];
  ShapeInputs* shapes = &scene.shapes;
  const FinaleFaceRule rule = panelCubeRule();
  for (size_t i = 0; i < mesh.quads.size(); ++i) {
    Vec3 corners[4];
    faceCorners(mesh, i, corners);
    const FinaleFace face = placeFinaleFace(static_cast<int>(i), corners, t, rule, random);
    const Vec3* c = face.corners;
    shapes->phase = 0.0f;
    const PanelFrame frame = drawPanel(scene, c[3], c[2], c[1], c[0], vec3(0.3f, 0.3f, 0.4f));
    shapes->segments = 6;
    decorateCubeFace(shapes, frame, static_cast<int>(i), t, random);
  }
}

// Blue-grey rings on the belts of the tiled cube; their depth beats and
// collapses as the show breaks up.
void decorateLayerFace(ShapeInputs* shapes, const PanelFrame& frame, int i, int layer, double t,
                       Random& random) {
  shapes->segments = 5;
  const float depth = static_cast<float>(
      (1.0 + 3.6 * beat(t, kPi, 0.01 * i, 34) + 1.6 * beat(t, 0.5 * kPi, 0.3 * layer, 14)) *
      (1.0 - 0.99 * easeInOut(t - 196.7, 1.0)));
  const int choice = random.next() % 3;
  const Vec3 blueGrey = vecScale(vec3(0.2f, 0.4f, 0.7f), 1.3f);
  if (choice == 0 || i % 3 == 0)
    drawFlickerRing(6, shapes, panelRing(frame, 0.03f, 0.12f, 0.05f * depth, blueGrey));
  if (i % 5 == 0)
    pulse(i / 7 + 15, shapes, frame, 0.02f, 0.22f, 0.08f * depth,
          vecScale(vec3(0.5f, 0.6f, 0.7f), 1.2f));
  if (i % 6 == 0) pulse(i / 17 + 5, shapes, frame, 0.05f, 0.04f, 0.12f * depth, blueGrey);
  if (i % 12 == 0 && choice != 2)
    drawFlickerRing(6, shapes,
                    panelRing(frame, 0.012f, 0.3f, 0.2f * depth, vec3(0.7f, 0.4f, 0.3f)));
}

void drawRingLayers(SceneContext& scene, double t, Random& random) {
  const ObjMesh& mesh = scene.meshes[kMeshCube2];
  ShapeInputs* shapes = &scene.shapes;
  const int layers = finaleLayerCount(t);
  for (int layer = 0; layer < layers; ++layer) {
    const FinaleFaceRule rule = ringLayerRule(layer);
    for (size_t i = 0; i < mesh.quads.size(); ++i) {
      Vec3 corners[4];
      faceCorners(mesh, i, corners);
      if (!inLayerBand(corners[0])) continue;
      const FinaleFace face = placeFinaleFace(static_cast<int>(i), corners, t, rule, random);
      const Vec3* c = face.corners;
      shapes->phase = 0.0f;
      const PanelFrame frame = drawPanel(scene, c[3], c[2], c[1], c[0], vec3(0.0f, 0.0f, 0.0f));
      decorateLayerFace(shapes, frame, static_cast<int>(i), layer, t, random);
    }
  }
}

void drawShellFaces(SceneContext& scene, double t, Random& random) {
  const ObjMesh& mesh = scene.meshes[kMeshSurround];
  ShapeInputs* shapes = &scene.shapes;
  random.seed(423423);
  const int count = finaleShellFaceCount(static_cast<int>(mesh.quads.size()), t);
  for (int i = 0; i < count; ++i) {
    Vec3 corners[4];
    faceCorners(mesh, static_cast<size_t>(i), corners);
    random.seed(static_cast<uint32_t>(i + 100 * static_cast<int>(2.0 * t) + 424423));
    for (Vec3& corner : corners) corner = placeShellCorner(corner, t);
    const PanelFrame frame =
        drawPanel(scene, corners[3], corners[2], corners[1], corners[0], vec3(0.1f, 0.1f, 0.15f));
    shapes->phase = static_cast<float>(i % 3 == 0 ? -0.5 * t : 0.5 * t);
    shapes->segments = random.next() % 3 + 4;
    const float swell = static_cast<float>(1.0 + 0.3 * beat(t, kPi, kPi / 2 + 0.001 * i, 8));
    pulse(500, shapes, frame, 0.05f, 0.25f * swell, 0.12f, vec3(0.3f, 0.4f, 0.6f));
    switch (i % 3) {
      case 0:
        pulse(30, shapes, frame, 0.04f, 0.16f * swell, 0.18f, vec3(0.7f, 0.4f, 0.3f));
        break;
      case 1:
        pulse(5, shapes, frame, 0.03f, 0.1f, 0.25f, vec3(0.8f, 0.7f, 0.2f));
        break;
      default:
        pulse(40, shapes, frame, 0.05f, 0.35f, 0.08f, vec3(0.5f, 0.6f, 0.7f));
        break;
    }
    drawFlickerRing(50, shapes, panelRing(frame, 0.22f, 0.1f, 0.06f, vec3(0.7f, 0.6f, 0.5f)));
  }
}

}  // namespace

void drawPanelCube(const FrameRecord& frame, SceneContext& scene) {
  Random& random = scene.random;
  const double t = frame.time;
  beginSceneFrame(frame, scene);
  random.seed(423423);
  drawPanelCubeFaces(scene, t, random);
  if (t > kFinaleBlockTurn) drawRingLayers(scene, t, random);
  if (t < kFinaleShellGone) drawShellFaces(scene, t, random);
  endSceneFrame(scene);
}
