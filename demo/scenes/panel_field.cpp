// The falling-panels scene (20 s to 36 s): the small panels of a tiled cube
// drop in from above while spinning, carrying flickering rings, inside a
// slowly turning shell of panels whose rings expand on a three-second cycle
// and light up with the music.
#include <cmath>

#include "core/random.h"
#include "demo/scenes/panel_field_placement.h"
#include "demo/scenes/scene_frame.h"
#include "demo/scenes/scenes.h"

namespace {

void flicker(const ShapeInputs* shapes, const PanelFrame& frame, float width, float radius,
             float depth, Vec3 color) {
  drawFlickerRing(0, shapes, panelRing(frame, width, radius, depth, color));
}

// The rings of one falling panel; all flicker with the music.
void decorateFallingPanel(const ShapeInputs* shapes, const PanelFrame& frame, int i,
                          const FallingPanel& face, double t, Random& random) {
  random.unit();
  random.next();
  const float w1 = static_cast<float>(0.05 * random.unit() + 0.005);
  const float w2 = static_cast<float>(0.2 * random.unit() + 0.05);
  const float f = face.fadeIn, g = face.glow;
  // b1 swells with the beat; p kicks sharply once a second, later for later faces.
  const float b1 =
      static_cast<float>(0.03 * std::pow(1.2 * std::sin(kPi * t + 0.0005 * i), 16) + 1.03);
  const float p =
      static_cast<float>(0.8 * std::pow(std::sin(kPi * t + kPi / 2 - 0.2 + 0.001 * i), 54) + 1.0);

  if (random.next() % 4 == 0) {
    for (int n = 0; n < 4; ++n) {
      const float radius = static_cast<float>(std::fmod(0.2 * w2 * t + 0.024 * n, 0.3));
      flicker(shapes, frame, 0.01f, radius, (1.0f - 0.12f * n) * 0.4f * w1 * 14.0f * f,
              vecScale(vec3(0.3f, 0.5f, 0.7f), 1.3f));
    }
  } else {
    const float radius = static_cast<float>(0.3 * f * (random.unit() + 3.0) - 1.0);
    flicker(shapes, frame, 0.4f, radius, b1 * b1 * w1 + 0.05f,
            vecScale(vec3(0.2f + 0.6f * (p - 1.0f), 0.4f + 0.42f * (p - 1.0f), 0.7f), 1.3f));
  }
  if (i % 11 == 0) {
    const Vec3 warm = vec3(0.7f, 0.5f, 0.4f);
    const float beat = w1 * g * f * p;
    flicker(shapes, frame, 0.015f * p, 0.03f, 2.0f * beat, vecScale(warm, 1.2f));
    flicker(shapes, frame, 0.01f * p, 0.01f, 3.0f * beat, vecScale(warm, 2.2f));
    if (random.next() % 3 == 0)
      flicker(shapes, frame, 0.01f * p, 0.0f, 18.0f * beat, vecScale(warm, 4.2f));
  }
  if (i % 5 == 0) flicker(shapes, frame, 0.033f, 0.3f * f, 0.3f * f * b1, vec3(0.6f, 0.8f, 0.9f));
  if (i % 10 == 0) {
    const float depth = static_cast<float>(0.35 * f * random.unit());
    flicker(shapes, frame, 0.02f * f, 0.1f * f, depth, vec3(0.3f, 0.8f, 0.5f));
  }
  if (i % 6 == 0)
    flicker(shapes, frame, 0.015f, 0.2f, 0.8f * w1 * g * f, vecScale(vec3(0.6f, 0.7f, 0.4f), 1.6f));
}

void drawFallingPanels(SceneContext& scene, double t, Random& random) {
  const ObjMesh& mesh = scene.meshes[kMeshCube2];
  ShapeInputs* shapes = &scene.shapes;
  for (size_t i = 0; i < mesh.quads.size(); ++i) {
    Vec3 corners[4];
    faceCorners(mesh, i, corners);
    const FallingPanel face = placeFallingPanel(static_cast<int>(i), corners, t, random);
    const Vec3* c = face.corners;
    shapes->phase = 0.0f;
    const PanelFrame frame = drawPanel(scene, c[3], c[2], c[1], c[0], vec3(0.3f, 0.3f, 0.4f));
    shapes->segments = 6;
    decorateFallingPanel(shapes, frame, static_cast<int>(i), face, t, random);
  }
}

void drawShell(SceneContext& scene, double t, Random& random) {
  const ObjMesh& mesh = scene.meshes[kMeshSurround];
  ShapeInputs* shapes = &scene.shapes;
  for (size_t j = 0; j < mesh.quads.size(); ++j) {
    Vec3 corners[4];
    faceCorners(mesh, j, corners);
    const FieldShellPanel face = placeFieldShellPanel(static_cast<int>(j), corners, t, random);
    const Vec3* c = face.corners;
    const PanelFrame frame = drawPanel(scene, c[3], c[2], c[1], c[0], vec3(0.0f, 0.0f, 0.0f));
    const bool reversed = startShellRings(shapes, j, t);

    // Each ring grows over a three-second cycle with a random offset and
    // kicks on the beat.
    random.unit();
    random.next();
    const float d0 = static_cast<float>(1.9 * (0.55 * random.unit() + 0.005));
    const double v = random.unit();
    double x = 0.0;
    if (t - 3.0 * v >= 0.0) x = std::fmod(t - 3.0 * random.unit(), 3.0);
    const double pulse = std::pow(std::sin(kPi * t + kPi / 2 + 0.001 * static_cast<double>(j)), 84);
    const float r0 = static_cast<float>((0.2 * pulse + 1.0) * x - 1.0);
    const float boost = 15.0f * shapes->spectrum[8 + j % 4] + 1.0f;
    const float f = random.next() % 5 == 0 ? 25.0f : 1.0f;
    const float s = face.build;

    drawShellRings(shapes, frame, f, r0 + 0.6f, d0, s, boost, reversed);
  }
}

}  // namespace

void drawPanelField(const FrameRecord& frame, SceneContext& scene) {
  Random& random = scene.random;
  beginSceneFrame(frame, scene);
  random.seed(423423);
  drawFallingPanels(scene, frame.time, random);
  random.seed(423423);
  drawShell(scene, frame.time, random);
  endSceneFrame(scene);
}
