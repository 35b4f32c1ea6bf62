// What every scene does around its own drawing: the shared frame set-up
// (viewport, projection widened by the beat, clear, camera, the material
// program with its uniforms and samplers, the fixed random seeds) and the
// shared end of frame. Also the small helpers that turn a mesh face into the
// four corners the scenes place and a panel frame into a ring.
#pragma once

#include <cstddef>

#include "demo/frame_record.h"
#include "demo/geometry.h"
#include "demo/scenes/scene_context.h"

// Steps that open every scene, ending with the spectrum and the time copied
// into the context's shape inputs, whose shapes go to its geometry stream and
// draw from its generator. The generator is left seeded with 4234234 and
// advanced by one draw; scenes that start from 423423 seed it themselves.
// Leaves the material program current with the main camera's projection and
// view.
void beginSceneFrame(const FrameRecord& frame, SceneContext& scene);

// Draws the geometry stream the scene filled.
void endSceneFrame(SceneContext& scene);

// The four corners of face `face` of mesh, in the face's own order.
void faceCorners(const ObjMesh& mesh, size_t face, Vec3 corners[4]);

// The panel frame drawClipPanel hands back, kept for the rings on the panel.
struct PanelFrame {
  Vec3 center, normal, side, edge;
};

// Draws the clip panel into the context's geometry stream (its planes cut
// the rings drawn after it) and returns its frame.
PanelFrame drawPanel(SceneContext& scene, const Vec3& p0, const Vec3& p1, const Vec3& p2,
                     const Vec3& p3, Vec3 color);

// A ring on a panel: base = centre, axis = normal, axisU = side, axisV = edge.
RingParams panelRing(const PanelFrame& frame, float width, float radius, float depth, Vec3 color);

// Shell panels (the opening's turning panels and the falling panels' shell)
// turn their rings' phase with the time, every third face the other way.
// Returns whether face turns the other way; sets the phase and 6 segments.
bool startShellRings(ShapeInputs* shapes, size_t face, double t);

// The rings of a shell panel: one blue-grey pulse ring of width
// 0.1 * widthFactor, radius outerRadius and depth `depth`, and on faces that
// turn the other way three more inside it (radius 0.2 smaller each, depth 0.8,
// 0.6, 0.4 of it) in warm orange, yellow and grey-blue. fade scales every
// colour; boost (the music) all but the innermost ring's.
void drawShellRings(ShapeInputs* shapes, const PanelFrame& frame, float widthFactor,
                    float outerRadius, float depth, float fade, float boost, bool reversed);
