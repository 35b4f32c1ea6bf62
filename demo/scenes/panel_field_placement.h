// Where the falling-panels scene (20 s to 36 s) puts each panel at a time t:
// the small panels of the tiled cube drop in from above while spinning and
// shrink away after 33.5 s; the shell's panels turn slowly. Pure apart from
// the show's random sequence, which each function seeds for its face and
// leaves where the face's rings continue it.
#pragma once

#include "core/random.h"
#include "core/vector.h"

struct FallingPanel {
  Vec3 corners[4];
  float stagger;  // q: the face's random delay against its x
  float fadeIn;   // F: 0 before the face appears, 1 once it has (front to back, 20 s to ~25 s)
  float arrival;  // E: 1 in place, 0 far above; falls back after 33 s
  float lift;     // how far above its place the face hangs
  float glow;     // G = 10 E^4
};

// Face i of the tiled cube with its mesh corners at time t.
FallingPanel placeFallingPanel(int i, const Vec3 corners[4], double t, Random& random);

struct FieldShellPanel {
  Vec3 corners[4];
  float build;  // S: the shell's panels light up one after another
};

// Face j of the shell with its mesh corners at time t.
FieldShellPanel placeFieldShellPanel(int j, const Vec3 corners[4], double t, Random& random);
