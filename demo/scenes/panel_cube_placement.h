// Where the finale (from 132 s) puts each panel at a time t: the faces of
// the panel cube drop in from above and roll into place (twice: from 132 s
// and again from 148 s), turn as one block from 164 s and fly apart along z
// after about 196 s; ring layers join from 170 s and a shell of small panels
// builds up around the cube and is taken down again before 175 s. Pure apart
// from the show's random sequence, which placeFinaleFace seeds for its face.
#pragma once

#include "core/random.h"
#include "core/vector.h"

// How one set of faces is placed: the scale of the mesh, an extra tilt about
// y that sets a layer apart from the others, and the start and per-face delay
// of the break-up.
struct FinaleFaceRule {
  float scale;
  double tilt;
  double breakUpStart;
  double breakUpStep;
};

// The panel cube's faces (realcube): 0.4 of the mesh, breaking up from 196.7 s.
FinaleFaceRule panelCubeRule();
// Ring layer `layer` (0..3) on the tiled cube's band, breaking up from 195.3 s.
FinaleFaceRule ringLayerRule(int layer);

struct FinaleFace {
  Vec3 corners[4];
  float arrival;  // e: 0 when the face hangs 7 units above its place, 1 landed
  float lift;     // 7 (1 - e)
};

// Face i at time t: seeds the sequence with the half-second rule (frozen from
// 196 s) and draws as the finale does, so the face's rings continue from it.
FinaleFace placeFinaleFace(int i, const Vec3 corners[4], double t, const FinaleFaceRule& rule,
                           Random& random);

// Ring layers drawn on the tiled cube: none up to 170 s, then one more at
// 170, 175, 180 and 185 s.
int finaleLayerCount(double t);
// Whether a tiled-cube face takes part in the layers: its first corner lies
// within 1.4 of the x = 0 plane.
bool inLayerBand(const Vec3& firstCorner);

// How many of the shell's `faceCount` faces are drawn at time t (faces
// 0 .. count - 1): built up from 130 s to 140 s, taken down from 165 s to
// 175 s, none from 175 s on.
int finaleShellFaceCount(int faceCount, double t);
// Corner k of shell face i at time t (scaled to wrap the cube, turning).
Vec3 placeShellCorner(const Vec3& corner, double t);
