// Where the opening scene puts each panel at a time t: the wall's panels grow
// out of the origin and drop into place from above, the second set turns
// about z. Pure apart from the show's random sequence, which each function
// seeds for its face and leaves where the face's rings continue it.
#pragma once

#include "core/random.h"
#include "core/vector.h"

struct OpeningWallFace {
  Vec3 corners[4];
  float grow;   // S: 0 collapsed at (0, 10, 0), 1 in place
  float rings;  // D: ring size, rising as the panel lands and falling back
};

// Face i of the wall with its mesh corners at time t.
OpeningWallFace placeOpeningWallFace(int i, const Vec3 corners[4], double t, Random& random);

struct OpeningCubeFace {
  Vec3 corners[4];
  float rings;  // D, as for the wall
};

// Face j of the turning cube with its mesh corners at time t.
OpeningCubeFace placeOpeningCubeFace(int j, const Vec3 corners[4], double t, Random& random);
