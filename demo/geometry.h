// Procedural shapes: the pulse ring, the flicker ring and the clip panel.
//
// A ring is a flat annulus (the cap) with an outer and an inner wall reaching
// from the base plane along -axis. Each shape is computed on the CPU into a
// plain record by a pure function, which also makes the shape's draws from
// the show's random sequence (core/random.h) in their places: the draws are
// part of the behaviour, since every later pattern continues that sequence.
//
// The draw* functions compute the record and append it to the geometry stream
// named by their ShapeInputs, in the order they are called; they make no GL
// call. A panel also makes its four edge planes the stream's current planes,
// which every vertex appended after it carries, so the rings drawn after a
// panel are cut to its outline. At the end of the scene drawGeometryStream
// (render/geometry_stream.h) uploads the whole stream once and draws it in
// one call with the program and depth state the scene has set; since the order is kept, depth
// ties resolve as they would shape by shape.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/random.h"
#include "core/vector.h"
#include "render/geometry_stream.h"

// Inputs the scenes refresh before drawing shapes.
struct ShapeInputs {
  float time = 0.0f;     // the frame's show time in seconds, rounded to float
  float phase = 0.0f;    // radians added to every ring segment angle
  int32_t segments = 0;  // vertex pairs per ring strip (the first and last pair coincide)
  static constexpr int kBands = 512;
  float spectrum[kBands] = {};         // this frame's music spectrum
  GeometryStream* geometry = nullptr;  // where the draw* functions append their shapes
  Random* random = nullptr;            // the show's generator the rings draw from
};

// One ring. A point at angle theta and radius rho is
// base + (axisU cos theta + axisV sin theta) * rho; axisU and axisV are not
// normalised, so their lengths scale the ring.
struct RingParams {
  Vec3 base;  // on the axis, where the walls start
  Vec3 axis;  // the walls extend along -axis
  Vec3 axisU;
  Vec3 axisV;
  float width = 0.0f;   // radial thickness: outer radius = radius + width
  float radius = 0.0f;  // inner radius
  float depth = 0.0f;   // length of the walls along -axis
  Vec3 color;           // RGB in x, y, z
};

// One GL_QUAD_STRIP: a colour, one normal for every vertex, the vertices in
// emission order (two per segment).
struct RingStrip {
  Vec3 color;
  Vec3 normal;
  std::vector<Vec3> vertices;
};

// The three strips of a ring. When drawn is false the ring's size ruled it
// out (radius > 2.5 or radius < -width) and nothing at all is emitted.
struct RingGeometry {
  bool drawn = false;
  RingStrip cap;        // normal -axis; inner(depth), outer(depth) per segment
  RingStrip outerWall;  // normal axisU, colour halved; outer(depth), outer(0) per segment
  RingStrip innerWall;  // normal -axisU, colour halved; inner(depth), inner(0) per segment
};

// The panel frame and its four edge planes (nx, ny, nz, d): a point q lies
// inside the panel's prism when n.q + d >= 0 for all four.
struct ClipPanelFrame {
  Vec3 center;  // mean of the corners
  Vec3 normal;  // edge x side0; its length is the sine of the corner angle at p0
  Vec3 side;    // normal x edge
  Vec3 edge;    // normalise(p1 - p0)
  float planes[4][4] = {};
};

// Pulse ring: the depth pulses as a travelling wave along index and deepens
// with spectrum band index + 5. Draws three values from inputs.random. Bands
// outside the spectrum are clamped to its first or last band.
RingGeometry pulseRingGeometry(int32_t index, const ShapeInputs& inputs, RingParams ring);
// Flicker ring: colour and radius flicker with spectrum band 8 and a random
// factor. Draws 23 values from inputs.random.
RingGeometry flickerRingGeometry(const ShapeInputs& inputs, RingParams ring);
// The strips of a ring whose per-routine preparation is done (the negative
// radius already moved into the width). Makes no random draws.
RingGeometry ringGeometry(const ShapeInputs& inputs, const RingParams& ring);
// The same three shapes written into *geometry, reusing its vertex storage:
// the draw functions keep one record, so drawing rings allocates nothing
// once that record has grown to the largest ring.
void pulseRingGeometry(int32_t index, const ShapeInputs& inputs, RingParams ring,
                       RingGeometry* geometry);
void flickerRingGeometry(const ShapeInputs& inputs, RingParams ring, RingGeometry* geometry);
void ringGeometry(const ShapeInputs& inputs, const RingParams& ring, RingGeometry* geometry);

// Corners p0..p3 in order around the quad; counter-clockwise about the
// resulting normal, every plane normal points into the quad.
ClipPanelFrame clipPanelFrame(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3);

// Appends a panel: its planes become the current planes (also when the quad
// is not drawn), then, unless color.x <= -0.5, the quad p0..p3 in color with
// the panel's normal.
void appendClipPanel(GeometryStream* stream, const ClipPanelFrame& frame, const Vec3 corners[4],
                     Vec3 color);
// Appends the three strips of a ring (nothing when it is not drawn), each
// vertex with its strip's colour and normal and the current planes.
void appendRing(GeometryStream* stream, const RingGeometry& geometry);

// Drawing the shapes: the draw* functions need no GL context; the stream's
// draw does.
void drawPulseRing(int32_t index, const ShapeInputs* inputs, RingParams ring);
// index is accepted for symmetry with drawPulseRing and not used.
void drawFlickerRing(int32_t index, const ShapeInputs* inputs, RingParams ring);
// Appends the panel to inputs->geometry (its planes cut what is drawn after
// it) and writes the panel frame to the out pointers that are not null; a red
// of -0.5 or less sets the planes and frame without drawing the quad.
void drawClipPanel(const ShapeInputs* inputs, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Vec3* outCenter,
                   Vec3* outNormal, Vec3* outSide, Vec3* outEdge, Vec3 color);
