// The frame set-up and end shared by the four scenes.
#include "demo/scenes/scene_frame.h"

#include <algorithm>

#include "core/random.h"
#include "render/draw_state.h"
#include "render/matrix.h"

void beginSceneFrame(const FrameRecord& frame, SceneContext& scene) {
  const RenderResources& renderer = scene.renderer;
  const int w = renderer.renderWidth, h = renderer.renderHeight;
  const double aspect = static_cast<double>(w) / static_cast<double>(h);
  const float t = static_cast<float>(frame.time);
  const float cameraY = static_cast<float>(frame.cameraY);
  ShaderSet& shaders = scene.shaders;
  const int material = scene.programs.material;
  const PartTextures& ids = scene.textures;
  Random& random = scene.random;

  setViewport({0, 0, w, h});
  setSceneState();
  clearColorAndDepth(0.0f, 0.0f, 0.0f, 0.0f);
  const Mat4 projection = perspectiveMatrix(35.0 + scene.beatOffset, aspect, 1.0, 100.0);
  const Mat4 modelView = lookAtMatrix(renderer.mainCamera);

  random.seed(4234234);
  shaders.useProgram(material);
  shaders.setUniformFloat(material, "PosY", cameraY);
  shaders.setUniformFloat(material, "PP", cameraY);
  shaders.bindTextureUniform(TextureTarget::Texture2D, material, 0, "texture2d_1",
                             renderer.textureHandle(ids.noiseNormalMap));
  shaders.bindTextureUniform(TextureTarget::Texture2D, material, 1, "texture2d_2",
                             renderer.textureHandle(ids.depthB));
  shaders.bindTextureUniform(TextureTarget::Texture2D, material, 2, "texture2d_3",
                             renderer.textureHandle(ids.unusedFlat));
  shaders.bindTextureUniform(TextureTarget::Texture2D, material, 3, "texture2d_blob",
                             renderer.textureHandle(ids.blob));
  shaders.bindTextureUniform(TextureTarget::CubeMap, material, 4, "texture2d_cube",
                             renderer.textureHandle(ids.unusedCube));
  shaders.setProjectiveTextureMatrix(material, 65.0, aspect, 1.0, 100.0, renderer.orbitCamera);
  shaders.setUniformFloat(material, "ttime", t);
  shaders.setUniformFloat(material, "PosY", cameraY - 100.0f);
  shaders.setUniformFloat(material, "PosY", cameraY);

  // The program that draws the stream takes the camera's matrices.
  random.seed(4234234);
  shaders.useProgram(material);
  shaders.setUniformMatrix(material, "ProjectionMatrix", projection);
  shaders.setUniformMatrix(material, "ModelViewMatrix", modelView);
  random.unit();

  std::copy_n(frame.spectrum, ShapeInputs::kBands, scene.shapes.spectrum);
  scene.shapes.time = t;
  scene.shapes.geometry = &scene.geometry;
  scene.shapes.random = &random;
}

void endSceneFrame(SceneContext& scene) {
  // Everything the scene drew, in one upload and one draw, with the state
  // the set-up left.
  drawGeometryStream(&scene.geometry, &scene.shaders, scene.programs.material);
}

void faceCorners(const ObjMesh& mesh, size_t face, Vec3 corners[4]) {
  const FaceQuad& quad = mesh.quads[face];
  const size_t count = mesh.positions.size() / 3;
  for (int k = 0; k < 4; ++k) {
    corners[k] = Vec3();
    const int32_t index = quad.corners[k];
    if (index < 0 || static_cast<size_t>(index) >= count) continue;
    corners[k] = vec3(mesh.positions[3 * index], mesh.positions[3 * index + 1],
                      mesh.positions[3 * index + 2]);
  }
}

PanelFrame drawPanel(SceneContext& scene, const Vec3& p0, const Vec3& p1, const Vec3& p2,
                     const Vec3& p3, Vec3 color) {
  PanelFrame frame;
  drawClipPanel(&scene.shapes, p0, p1, p2, p3, &frame.center, &frame.normal, &frame.side,
                &frame.edge, color);
  return frame;
}

RingParams panelRing(const PanelFrame& frame, float width, float radius, float depth, Vec3 color) {
  RingParams ring;
  ring.base = frame.center;
  ring.axis = frame.normal;
  ring.axisU = frame.side;
  ring.axisV = frame.edge;
  ring.width = width;
  ring.radius = radius;
  ring.depth = depth;
  ring.color = color;
  return ring;
}

bool startShellRings(ShapeInputs* shapes, size_t face, double t) {
  const bool reversed = face % 3 == 0;
  shapes->phase = static_cast<float>(reversed ? -0.5 * t : 0.5 * t);
  shapes->segments = 6;
  return reversed;
}

void drawShellRings(ShapeInputs* shapes, const PanelFrame& frame, float widthFactor,
                    float outerRadius, float depth, float fade, float boost, bool reversed) {
  drawPulseRing(500, shapes,
                panelRing(frame, 0.1f * widthFactor, outerRadius, depth,
                          vecScale(vec3(0.3f, 0.4f, 0.6f), 0.2f * fade * boost)));
  if (!reversed) return;
  drawPulseRing(500, shapes,
                panelRing(frame, 0.1f, outerRadius - 0.2f, 0.8f * depth,
                          vecScale(vec3(0.7f, 0.4f, 0.3f), 0.2f * fade * boost)));
  drawPulseRing(500, shapes,
                panelRing(frame, 0.1f, outerRadius - 0.4f, 0.6f * depth,
                          vecScale(vec3(0.8f, 0.7f, 0.2f), 0.4f * fade * boost)));
  drawPulseRing(500, shapes,
                panelRing(frame, 0.1f, outerRadius - 0.6f, 0.4f * depth,
                          vecScale(vec3(0.5f, 0.6f, 0.7f), 0.4f * fade)));
}
