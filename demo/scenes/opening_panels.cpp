// The opening scene (below 20 s): the wall's panels grow out of the origin
// and drop into place one after another, each carrying music-driven rings,
// while the panels of a cube behind them turn slowly about z.
#include <cmath>

#include "core/random.h"
#include "demo/scenes/opening_placement.h"
#include "demo/scenes/scene_frame.h"
#include "demo/scenes/scenes.h"

namespace {

void drawWallPanels(SceneContext& scene, double t, Random& random) {
  const ObjMesh& mesh = scene.meshes[kMeshTest2];
  ShapeInputs* shapes = &scene.shapes;
  for (size_t i = 0; i < mesh.quads.size(); ++i) {
    Vec3 corners[4];
    faceCorners(mesh, i, corners);
    const OpeningWallFace face = placeOpeningWallFace(static_cast<int>(i), corners, t, random);
    const Vec3* c = face.corners;
    shapes->phase = 0.0f;
    const PanelFrame frame = drawPanel(scene, c[0], c[1], c[2], c[3], vec3(0.3f, 0.3f, 0.4f));
    shapes->segments = 5;
    const float s4 = std::pow(face.grow, 4.0f);
    const float d = face.rings;

    random.unit();
    random.next();
    const float w = static_cast<float>(0.005 + 0.05 * random.unit());
    const float u2 = static_cast<float>(random.unit());

    const int n = static_cast<int>(i);
    drawPulseRing(
        n / 2 + 6, shapes,
        panelRing(frame, 1.3f * d, 0.2f * u2 * d, w, vecScale(vec3(0.2f, 0.4f, 0.7f), 1.3f)));
    if (n % 6 == 0)
      drawPulseRing(n / 3 + 5, shapes,
                    panelRing(frame, 0.02f * d, 0.02f * d, 4.0f * w * s4,
                              vecScale(vec3(0.7f, 0.5f, 0.4f), 1.2f)));
    if (n % 5 == 0)
      drawPulseRing(8, shapes,
                    panelRing(frame, 0.15f * d, 0.1f * d, 1.5f * w * s4, vec3(0.4f, 1.0f, 0.4f)));
    if (n % 4 == 0) {
      const int k = random.next() % 14;
      drawPulseRing(5, shapes,
                    panelRing(frame, 0.023f * d, 0.004f * d, k * w * s4, vec3(1.0f, 1.0f, 0.5f)));
    }
    if (n % 8 == 0) {
      const int k = random.next() % 24 + 5;
      drawPulseRing(3, shapes,
                    panelRing(frame, 0.013f * d, 0.003f * d, k * w * s4, vec3(1.0f, 1.0f, 1.0f)));
    }
  }
}

void drawTurningPanels(SceneContext& scene, double t, Random& random) {
  const ObjMesh& mesh = scene.meshes[kMeshCube];
  ShapeInputs* shapes = &scene.shapes;
  for (size_t j = 0; j < mesh.quads.size(); ++j) {
    Vec3 corners[4];
    faceCorners(mesh, j, corners);
    const OpeningCubeFace face = placeOpeningCubeFace(static_cast<int>(j), corners, t, random);
    const Vec3* c = face.corners;
    const PanelFrame frame = drawPanel(scene, c[0], c[1], c[2], c[3], vec3(0.0f, 0.0f, 0.0f));
    const bool reversed = startShellRings(shapes, j, t);
    const float band = shapes->spectrum[8 + j % 4];

    // Each ring grows over a three-second cycle from a random start.
    random.unit();
    random.next();
    const float w = static_cast<float>(0.005 + 0.55 * random.unit());
    const double u = random.unit();
    float f = 0.0f;
    if (t - 3.0 * u >= 0.0) f = static_cast<float>(std::fmod(t - 3.0 * random.unit(), 3.0));
    const float m = random.next() % 5 == 0 ? 25.0f : 1.0f;
    const float g = 15.0f * band + 1.0f;
    const float d = face.rings;

    drawShellRings(shapes, frame, m, f - 0.4f, 1.9f * w, d, g, reversed);
  }
}

}  // namespace

void drawOpeningPanels(const FrameRecord& frame, SceneContext& scene) {
  Random& random = scene.random;
  beginSceneFrame(frame, scene);
  random.seed(423423);
  drawWallPanels(scene, frame.time, random);
  random.seed(423423);
  drawTurningPanels(scene, frame.time, random);
  endSceneFrame(scene);
}
