// The show camera: a fixed script of formulas of the show time, evaluated at
// the start of every frame, and the orbit camera that circles the origin.
//
// From 36 s to 132 s the script takes its positions from the request camera,
// which the tunnel scene writes while it draws; since the script runs before
// the scene, it follows the scene's request with one frame of delay.
#pragma once

#include "core/random.h"
#include "core/vector.h"

// What the request camera holds before the tunnel scene has first written it:
// the view that scene starts its flight with at 36 s (10 units off the start
// of the path, looking along it), so the first tunnel frame is neither a
// degenerate camera nor a jump.
Camera initialRequestCamera();

// The main camera at show time t (seconds). request is the request camera as
// the scene left it; cameraZ is the frame record's cameraZ. From 132 s on it
// also reseeds the show's random generator and draws from it (the camera does
// not depend on those values, but any scene that draws without seeding its own
// sees the resulting state).
Camera scriptCameraAt(double t, const Camera& request, double cameraZ, Random& random);

// The orbit camera at show time t: eye (15 sin t, 5, 15 cos t), target the
// origin, up +y.
Camera orbitCameraAt(double t);
