// The frame set-up and end shared by the four scenes.
#include "demo/scenes/scene_frame.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>

#include "core/random.h"
#include "demo/look_at.h"
#include "demo/screen_quad.h"

namespace {

void resetTextureMatrix(GLenum unit) {
  glActiveTexture(unit);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
}

}  // namespace

void beginSceneFrame(part_start* part, RenderResources* renderer, int useOrbitCamera,
                     int useVelocityProgram) {
  const int w = renderer->renderWidth, h = renderer->renderHeight;
  const double aspect = static_cast<double>(w) / static_cast<double>(h);
  const float t = static_cast<float>(part->partTime);
  const float cameraY = static_cast<float>(part->frameInputCopy.cameraY);
  ShaderSet& shaders = part->shaders;
  const int material = part->programs.material;
  const PartTextures& ids = part->textureIds;

  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(35.0 + part->beatOffset, aspect, 1.0, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  lookAt(useOrbitCamera ? &renderer->orbitCamera : &renderer->mainCamera);

  crtSrand(4234234);
  resetFixedState();
  shaders.useProgram(material);
  shaders.setUniformFloat(material, "PosY", cameraY);
  shaders.setUniformFloat(material, "PP", cameraY);
  shaders.bindTextureUniform(GL_TEXTURE_2D, material, 0, "texture2d_1",
                             renderer->textureHandle(ids.noiseNormalMap));
  shaders.bindTextureUniform(GL_TEXTURE_2D, material, 1, "texture2d_2",
                             renderer->textureHandle(ids.depthB));
  shaders.bindTextureUniform(GL_TEXTURE_2D, material, 2, "texture2d_3",
                             renderer->textureHandle(ids.unusedFlat));
  shaders.bindTextureUniform(GL_TEXTURE_2D, material, 3, "texture2d_blob",
                             renderer->textureHandle(ids.blob));
  shaders.bindTextureUniform(GL_TEXTURE_CUBE_MAP, material, 4, "texture2d_cube",
                             renderer->textureHandle(ids.unusedCube));
  // Leaves texture matrix mode with unit 0 active.
  shaders.setProjectiveTextureMatrix(65.0, aspect, 1.0, 100.0, renderer->orbitCamera);

  crtSrand(4234234);
  if (useVelocityProgram) shaders.useProgram(part->programs.velocities);
  glEnable(GL_CULL_FACE);
  glDisable(GL_CULL_FACE);
  glPushMatrix();
  resetTextureMatrix(GL_TEXTURE1);
  randomUnit();

  resetTextureMatrix(GL_TEXTURE0);
  glMatrixMode(GL_MODELVIEW);
  shaders.setUniformFloat(material, "ttime", t);
  shaders.setUniformFloat(material, "PosY", cameraY - 100.0f);
  shaders.setUniformFloat(material, "PosY", cameraY);
  glColor3f(1.0f, 1.0f, 1.0f);

  std::copy_n(part->frameInputCopy.spectrum, ShapeInputs::kBands, part->shapeInputs.spectrum);
  part->shapeInputs.time = t;
  part->shapeInputs.geometry = &part->sceneGeometry;
}

void endSceneFrame(part_start* part) {
  // Everything the scene drew, in one upload and one draw, with the state
  // the set-up left.
  drawGeometryStream(&part->sceneGeometry, &part->shaders, part->programs.material);
  glColor3f(1.0f, 0.0f, 0.0f);
  glDisable(GL_CULL_FACE);
  // The push of the set-up was made in texture matrix mode on unit 0.
  glActiveTexture(GL_TEXTURE0);
  glMatrixMode(GL_TEXTURE);
  glPopMatrix();
  glLoadIdentity();
  part->shaders.useFixedFunction();
  glLineWidth(2.0f);
  glBegin(GL_LINES);
  glEnd();
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

PanelFrame drawPanel(part_start* part, const Vec3& p0, const Vec3& p1, const Vec3& p2,
                     const Vec3& p3, Vec3 color) {
  PanelFrame frame;
  drawClipPanel(&part->shapeInputs, p0, p1, p2, p3, &frame.center, &frame.normal, &frame.side,
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
