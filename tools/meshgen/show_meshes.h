// The eight meshes of the show's data pack, built from fixed rules and a fixed
// seed so that every run writes the same files.
//
// Winding: a panel's rings extend along the negative of the normal of the
// corners as the scene hands them over. The opening scene hands them over in
// file order, every other scene reversed, so
//   - test2 and cube (opening) wind their normal away from the viewer/inward,
//   - cube2, realcube, surround, R, V and K wind it toward the side the rings
//     should stand out on (outward from the cubes, inward in the shell, toward
//     the tunnel camera for the letters).
#pragma once

#include <string>
#include <vector>

#include "tools/meshgen/quad_mesh.h"

namespace meshgen {

struct NamedMesh {
  std::string fileName;  // e.g. "cube2.obj"
  QuadMesh mesh;
};

// The opening wall: a mosaic of separate panels of varied size with gaps,
// covering x in [-8, 8], y in [-3.5, 3.5] at z = 0, winding normal -z.
QuadMesh buildOpeningWall();

// The opening's second layer: a tiled cube behind the wall, winding inward.
QuadMesh buildTurningCube();

// A finely tiled cube spanning [-5, 5] on every axis, winding outward.
QuadMesh buildFallingCube();

// The finale's tiled cube spanning [-4, 4], winding outward.
QuadMesh buildPanelCube();

// A sparse shell of panels of radius about 14.5 around the origin, winding inward.
QuadMesh buildShell();

// Block letter 'R', 'V' or 'K', repeated at the stations where the tunnel
// camera looks between 100 s and 116 s, each copy facing the camera.
QuadMesh buildLetter(char letter);

// The tunnel flight camera (eye, target, up) at show time t in [100, 116]:
// the straight path along +y and the orbiting camera rules of that window.
struct ViewAt {
  Point3 eye, target, up;
};
ViewAt tunnelViewAt(double t);

// A copy of the word R V K: it faces the tunnel camera as the camera stands at
// `time`, centred `beyondTarget` units behind the camera's target along the
// view, `lateral` units to the right of it and `rise` units above it.
struct LetterStation {
  double time, beyondTarget, lateral, rise;
};
std::vector<LetterStation> letterStations();

// All eight meshes with their file names.
std::vector<NamedMesh> buildShowMeshes();

}  // namespace meshgen
