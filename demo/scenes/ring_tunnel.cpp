// The ring tunnel flight (36 s to 132 s): a path grown from a fixed seed,
// the camera flying along its spline, a band of panels lining it whose rings
// pulse with the music, tiled-cube layers around the camera's target from
// 68 s and the blinking letters from 100 s to 116 s.
#include <algorithm>
#include <cmath>

#include "core/random.h"
#include "core/timeline.h"
#include "demo/scenes/ring_tunnel_placement.h"
#include "demo/scenes/scene_frame.h"
#include "demo/scenes/scenes.h"

namespace {

// What the rings of one tunnel panel follow.
struct TileLight {
  float strength;   // a: the tile strength
  float nearness;   // v: the tile's nearness to the camera
  int row;          // picks the rings by number and the phase of the beat
  float depthGain;  // deeper (and somewhat brighter) rings on the later cube layers
};

void flicker(const ShapeInputs* shapes, const PanelFrame& frame, float width, float radius,
             float depth, Vec3 color) {
  drawFlickerRing(0, shapes, panelRing(frame, width, radius, depth, color));
}

void pulse(int index, const ShapeInputs* shapes, const PanelFrame& frame, float width, float radius,
           float depth, Vec3 color) {
  drawPulseRing(index, shapes, panelRing(frame, width, radius, depth, color));
}

// The rings of a band tile (and of the faces drawn like one). Returns the
// ring strength s (0 when no rings were drawn).
float decorateTile(ShapeInputs* shapes, const PanelFrame& frame, const TileLight& light, double t,
                   Random& random) {
  random.unit();
  random.next();
  const float w1 = static_cast<float>(0.05 * random.unit() + 0.005);
  const float w2 = static_cast<float>(0.2 * random.unit() + 0.05);
  const float a = light.strength;
  const int row = light.row;
  const float band2 = shapes->spectrum[2];

  const bool near = t < kTunnelMusic ? light.nearness >= -9.1f : light.nearness >= 0.5f;
  if (random.next() % 3 != 0 && near) {
    float s = std::clamp(0.9f * a, 0.0f, 1.5f);
    if (t > kTunnelPathSettles)
      s *= static_cast<float>(2.0 * (0.5 + 0.5 * std::sin(kPi * t + 0.5 * row)) + 1.0);
    // Rings stand out of the band; from 124 s they turn inwards.
    const float depth = (t > kTunnelLookBack ? -0.1f : 0.1f) * a * light.depthGain;
    // Brightness follows the strength and kicks with the bass band.
    const float glow = (0.35f + 0.65f * std::min(s, 1.5f) / 1.5f) * (1.0f + band2) *
                       (0.75f + 0.25f * light.depthGain);
    if (s > 0.1f) {
      if (random.next() % 3 == 0) {
        for (int n = 0; n < 4; ++n) {
          const float fade = 1.0f - 0.12f * n;
          flicker(shapes, frame, 0.01f, std::fmod(fade * 0.4f * w1 * 24.0f * a, 0.45f),
                  3.0f * fade * depth, vecScale(vec3(0.2f, 0.4f, 0.7f), 1.3f * glow));
        }
        flicker(shapes, frame, 6.0f * w1 + 0.02f, 0.12f * s, (0.5f + w2) * depth,
                vecScale(vec3(0.7f, 0.4f, 0.3f), glow));
      }
      const int wave = row % 40 + 2;  // neighbouring rows pulse in a travelling wave
      if (row % 9 == 0) {
        flicker(shapes, frame, 0.03f, 0.2f * std::min(s, 1.5f), 6.0f * depth,
                vecScale(vec3(0.7f, 0.5f, 0.4f), 1.2f * glow));
        flicker(shapes, frame, 0.01f, 0.05f, 8.0f * depth,
                vecScale(vec3(0.7f, 0.5f, 0.4f), 2.2f * glow));
      }
      if (row % 6 == 0)
        pulse(wave, shapes, frame, 0.02f, 0.25f, (w1 + 2.0f) * depth,
              vecScale(vec3(0.8f, 0.7f, 0.2f), glow));
      if (row % 4 == 0)
        pulse(wave, shapes, frame, 0.01f * a, 0.3f, 0.5f * depth,
              vecScale(vec3(0.2f, 0.4f, 0.7f), 1.3f * glow));
      if (row % 10 == 0)
        pulse(wave, shapes, frame, 0.05f, 0.1f, 0.2f * depth,
              vecScale(vec3(0.4f, 1.0f, 0.4f), glow));
      if (row % 5 == 0)
        pulse(wave, shapes, frame, 0.015f, 0.35f, 3.0f * depth,
              vecScale(vec3(0.5f, 0.6f, 0.7f), glow));
      if (row % 14 == 0 || t > kTunnelLetters)
        pulse(wave, shapes, frame, 0.04f, 0.05f * std::min(s, 1.5f), 2.6f * depth,
              vecScale(vec3(0.7f, 0.4f, 0.3f), glow));
    }
    return s;
  }
  // Beyond the lit stretch: one small ember, of a random size class.
  if (t > kTunnelMusic && t < kTunnelInsideCube && light.nearness < 0.5f &&
      light.nearness >= -16.7f) {
    float size = 1.0f;
    if (random.unit() < 0.15)
      size = 10.0f;
    else if (random.unit() < 0.2)
      size = 2.0f;
    const float radius = static_cast<float>(0.1 + 0.1 * random.unit());
    flicker(shapes, frame, 0.015f * size, radius, 0.03f * size * (1.0f + band2),
            vecScale(vec3(0.4f, 0.2f, 0.15f), 1.0f + 0.1f * size));
  }
  return 0.0f;
}

void setSegments(ShapeInputs* shapes, double t, Random& random) {
  shapes->segments = t > kTunnelPathSettles ? random.next() % 3 + 4 : 6;
}

void drawBand(SceneContext& scene, const PathSpline& path, const PathCamera& camera, double t,
              Random& random) {
  ShapeInputs* shapes = &scene.shapes;
  const int half = tunnelBandHalfWidth(t);
  for (int row = 1; row <= path.count - 3; ++row) {
    for (int column = -half; column < half; ++column) {
      Vec3 c[4];
      tunnelTileCorners(path, column, row, t, c);
      const Vec3 centre = vecScale(vecAdd(vecAdd(c[0], c[1]), vecAdd(c[2], c[3])), 0.25f);
      TileLight light;
      light.strength = tileStrength(centre, camera.focus, t, shapes->spectrum[2]);
      light.nearness = tileNearness(centre, column, camera.request.eye);
      light.row = row;
      light.depthGain = 1.0f;
      seedTile(column, row, t, random);
      if (!tileDrawn(column, row, t)) continue;
      shapes->phase = 0.0f;
      const PanelFrame frame = drawPanel(scene, c[0], c[1], c[2], c[3], vec3(0.0f, 0.0f, 0.0f));
      setSegments(shapes, t, random);
      decorateTile(shapes, frame, light, t, random);
    }
  }
}

void drawLayers(SceneContext& scene, const PathCamera& camera, double t, Random& random) {
  const ObjMesh& mesh = scene.meshes[kMeshCube2];
  ShapeInputs* shapes = &scene.shapes;
  const int layers = tunnelLayerCount(t);
  // Rings grow deeper and brighter at 84 s and again at 100 s.
  const float gain = t > kTunnelLetters ? 2.2f : t > kTunnelOrbit ? 1.6f : 1.0f;
  const float enlarge = t > kTunnelLookBack ? 4.0f : t > kTunnelInsideCube ? 6.0f : 1.0f;
  // Once the cube encloses the camera its panels are dark slate walls.
  const Vec3 wall = t > kTunnelInsideCube ? vec3(0.15f, 0.15f, 0.2f) : vec3(0.0f, 0.0f, 0.0f);
  // Each layer's extra rings in a colour of its own.
  static const Vec3 kLayerColors[3] = {vec3(0.8f, 0.7f, 0.2f), vec3(0.2f, 0.4f, 0.7f),
                                       vec3(0.7f, 0.4f, 0.3f)};
  for (int layer = 0; layer < layers; ++layer) {
    random.seed(423423);
    const int step = 5 + 4 * layer;  // the faces that carry the extra rings
    for (size_t i = 0; i < mesh.quads.size(); ++i) {
      Vec3 c[4];
      faceCorners(mesh, i, c);
      const int face = static_cast<int>(i);
      seedLayerFace(layer, face, t, random);
      for (Vec3& corner : c) corner = placeLayerCorner(corner, layer, camera.request.target, t);
      const Vec3 centre = vecScale(vecAdd(vecAdd(c[0], c[1]), vecAdd(c[2], c[3])), 0.25f);
      // Strength is measured at the cube's own size, so an enlarged cube
      // lights up all around the camera it encloses.
      const Vec3 target = camera.request.target;
      const Vec3 unscaled = vecAdd(target, vecScale(vecSub(centre, target), 1.0f / enlarge));
      TileLight light;
      // The layers keep a glow between the bass beats that gate the band.
      light.strength =
          tileReach(unscaled, target, t) * std::max(musicGate(t, shapes->spectrum[2]), 0.35f);
      light.nearness = faceNearness(unscaled, camera.request.eye);
      light.row = face;
      light.depthGain = gain;
      shapes->phase = 0.0f;
      const PanelFrame frame = drawPanel(scene, c[3], c[2], c[1], c[0], wall);
      setSegments(shapes, t, random);
      const float s = decorateTile(shapes, frame, light, t, random);
      if (t > kTunnelLayerRings && face % step == 0)
        pulse(face / 7 + 15, shapes, frame, 0.05f, 0.15f * std::max(s, 0.3f), 0.2f * gain,
              vecScale(kLayerColors[layer], gain));
    }
  }
}

void drawLetters(SceneContext& scene, const PathCamera& camera, double t, Random& random) {
  static const MeshNumber kLetters[3] = {kMeshLetterR, kMeshLetterV, kMeshLetterK};
  ShapeInputs* shapes = &scene.shapes;
  for (int k = 0; k < 3; ++k) {
    if (!letterVisible(k, t, random)) continue;
    const ObjMesh& mesh = scene.meshes[kLetters[k]];
    for (size_t i = 0; i < mesh.quads.size(); ++i) {
      Vec3 c[4];
      faceCorners(mesh, i, c);
      const Vec3 centre = vecScale(vecAdd(vecAdd(c[0], c[1]), vecAdd(c[2], c[3])), 0.25f);
      shapes->phase = 0.0f;
      // Pale panels, lit like rings, so the word reads against the layers.
      const PanelFrame frame = drawPanel(scene, c[3], c[2], c[1], c[0], vec3(0.5f, 0.56f, 0.72f));
      setSegments(shapes, t, random);
      pulse(2, shapes, frame, 0.12f, 0.05f, 0.25f, vecScale(vec3(0.2f, 0.4f, 0.7f), 1.3f));
      TileLight light;
      light.strength = tileStrength(centre, camera.focus, t, shapes->spectrum[2]);
      light.nearness = faceNearness(centre, camera.request.eye);
      light.row = static_cast<int>(i);
      light.depthGain = 1.0f;
      decorateTile(shapes, frame, light, t, random);
    }
  }
}

}  // namespace

void drawRingTunnel(const FrameRecord& frame, SceneContext& scene) {
  Random& random = scene.random;
  const double t = frame.time;
  beginSceneFrame(frame, scene);
  // The path continues the sequence the set-up seeded.
  const PathSpline path = growTunnelPath(t, random);
  const PathCamera camera = tunnelPathCamera(path, t);
  scene.requestCamera = camera.request;
  drawBand(scene, path, camera, t, random);
  if (t > kTunnelMusic) drawLayers(scene, camera, t, random);
  if (t > kTunnelLetters && t < kTunnelInsideCube) drawLetters(scene, camera, t, random);
  endSceneFrame(scene);
}
