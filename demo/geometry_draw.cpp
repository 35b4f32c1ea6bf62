// Immediate-mode emission of the procedural shapes.
#include <GL/glew.h>

#include "demo/geometry.h"
#include "render/shader_set.h"

namespace {

void vertex(const Vec3& v) { glVertex3f(v.x, v.y, v.z); }
void normal(const Vec3& n) { glNormal3f(n.x, n.y, n.z); }

// A wall strip sets its normal with every pair of vertices.
void emitWall(const RingStrip& strip) {
  glColor3f(strip.color.x, strip.color.y, strip.color.z);
  glBegin(GL_QUAD_STRIP);
  for (size_t i = 0; i + 1 < strip.vertices.size(); i += 2) {
    normal(strip.normal);
    vertex(strip.vertices[i]);
    vertex(strip.vertices[i + 1]);
  }
  glEnd();
}

// The record every ring is computed into before it is emitted; drawing runs
// on the GL thread only.
RingGeometry& ringScratch() {
  static RingGeometry geometry;
  return geometry;
}

}  // namespace

void emitRing(const RingGeometry& geometry) {
  if (!geometry.drawn) return;
  const RingStrip& cap = geometry.cap;
  glColor3f(cap.color.x, cap.color.y, cap.color.z);
  glBegin(GL_QUAD_STRIP);
  normal(cap.normal);
  for (const Vec3& v : cap.vertices) vertex(v);
  glEnd();
  emitWall(geometry.outerWall);
  emitWall(geometry.innerWall);
}

void drawPulseRing(int32_t index, const ShapeInputs* inputs, RingParams ring) {
  pulseRingGeometry(index, *inputs, ring, &ringScratch());
  emitRing(ringScratch());
}

void drawFlickerRing(int32_t /*index*/, const ShapeInputs* inputs, RingParams ring) {
  flickerRingGeometry(*inputs, ring, &ringScratch());
  emitRing(ringScratch());
}

void drawClipPanel(ShaderSet* shaders, int program, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3,
                   Vec3* outCenter, Vec3* outNormal, Vec3* outSide, Vec3* outEdge, Vec3 color) {
  shaders->setUniformFloat(program, "alpha", 1.0f);
  const ClipPanelFrame frame = clipPanelFrame(p0, p1, p2, p3);
  if (outCenter) *outCenter = frame.center;
  if (outNormal) *outNormal = frame.normal;
  if (outSide) *outSide = frame.side;
  if (outEdge) *outEdge = frame.edge;
  static const char* const kPlaneNames[4] = {"Plane1", "Plane2", "Plane3", "Plane4"};
  for (int k = 0; k < 4; ++k) {
    const float* plane = frame.planes[k];
    shaders->setUniformVec4(program, kPlaneNames[k], plane[0], plane[1], plane[2], plane[3]);
  }
  glBegin(GL_QUADS);
  glColor4f(color.x, color.y, color.z, 1.0f);
  if (color.x > -0.5f) {
    vertex(p0);
    vertex(p1);
    vertex(p2);
    vertex(p3);
  }
  glEnd();
}
