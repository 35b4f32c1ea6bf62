// The scripted show camera: rules applied in order, the last one whose time
// condition holds wins.
#include "demo/camera_script.h"

#include <cmath>

#include "core/random.h"
#include "core/timeline.h"

namespace {

// Each finale rule reseeds the random sequence with a seed that changes every
// two seconds and draws 1001 values from it.
void advanceFinaleSequence(double t, Random& random) {
  const int k = static_cast<int>(t * 0.5);
  random.seed(static_cast<uint32_t>(44 * k + 42342342));
  for (int i = 0; i < 1001; ++i) random.unit();
}

}  // namespace

// The tunnel's path camera at 36 s (the path grown from its fixed seed,
// rounded to two decimals): the first tunnel frame, which reads the request
// before the scene has drawn, then shows nearly the view the flight starts with.
Camera initialRequestCamera() {
  Camera camera;
  camera.eye = vec3(-1.03, 4.46, -10.0);
  camera.target = vec3(-8.98, 13.31, 0.35);
  camera.up = vec3(-0.5, 0.56, 0.0);
  return camera;
}

Camera scriptCameraAt(double t, const Camera& request, double cameraZ, Random& random) {
  Camera c;
  // Opening scene: a slow sideways track.
  c.eye = vec3(0.2 * t - 2.0, 0.0, 12.0);
  c.target = vec3(0.2 * t - 2.0, 0.0, 0.0);
  c.up = vec3(0.0, 1.0, 0.0);
  // Falling panels: circle the scene, closing in, then swing over it.
  if (t > kPanelFieldStart) {
    const double r = 10.0 * (1.0 - 0.2 * easeInOut((t - kPanelFieldStart) * 0.3, 1.0));
    const double w = (t - 17.6 - 19.0) * 0.15;
    c.eye = vec3(r * std::sin(w), 5.0, r * std::cos(w));
    c.target = vec3(0.0, 5.0 * cameraZ, 0.0);
    c.up = vec3(0.0, 1.0, 0.3 * std::cos(0.3 * t));
  }
  if (t > kFieldCameraSwing) {
    const double v = (t + 6.0 - 19.0) * 0.3;
    c.eye = vec3(4.3, 5.0 * std::sin(v), 5.0 * std::cos(v));
    c.target = vec3(0.0, 0.0, 0.0);
    c.up = vec3(1.0, 0.5, 0.0);
  }
  // Tunnel: the scene's request, later with framing offsets around it.
  if (t > kRingTunnelStart) {
    c = request;
  }
  if (t > kTunnelOrbit) {
    const double h = 2.6 * easeInOut((t - 85.0) * 0.2, 1.0);
    // 0.7999999999999999 is the double just below 0.8; the script relies on it.
    const double angle = t > kTunnelOrbitTurn ? 2.0 - 0.7 * t - 0.7999999999999999 : -0.6 * t;
    c.eye = vecAdd(vec3(10.0 * std::cos(angle), 10.0 * std::sin(angle), h), request.eye);
    c.target = vecAdd(vec3(0.0, 1.4, -2.0), request.target);
    c.up = vec3(0.0, 0.0, -1.0);
  }
  if (t > kTunnelLetters) {
    const double f = (t - kTunnelLetters) * 0.3 - 2.2;
    c.eye = vecAdd(vec3(14.0 * std::cos(f), 14.0 * std::sin(f), 5.1), request.eye);
    c.target = vecAdd(vec3(0.0, 0.0, -3.0), request.target);
    c.up = vec3(0.0, 0.0, -1.0);
  }
  if (t > kTunnelCameraClimb) {
    const double g = (t - kTunnelCameraClimb) * 0.1 + 3.4 - 2.2;
    c.eye = vecAdd(vecAdd(vec3(14.0 * std::cos(g), 14.0 * std::sin(g), 5.1), request.eye),
                   vec3(0.0, -3.4 * softCurve(t - 112.0), 6.2));
    c.target = vecAdd(vec3(0.0, 0.0, -3.0), request.target);
    c.up = vec3(0.0, 0.0, -1.0);
  }
  if (t > kTunnelInsideCube) {
    // Both relative to the requested eye: first looking ahead, then from 124 s
    // turned round and pulled back.
    if (t > kTunnelLookBack) {
      c.eye = vecAdd(vec3(0.0, 0.0, 20.6), request.eye);
      c.target = vecAdd(vec3(0.0, 0.0, -10.0), request.eye);
    } else {
      c.eye = vecAdd(vec3(0.0, 0.0, 4.2), request.eye);
      c.target = vecAdd(vec3(0.0, 0.0, 10.0), request.eye);
    }
    c.up = vec3(0.0, 1.0, 0.0);
  }
  // Panel cube finale.
  if (t > kPanelCubeStart) {
    advanceFinaleSequence(t, random);
    const double v = 0.2 * t - 1.0 + 0.8;
    c.eye = vec3(7.56 * std::sin(v), std::sin(0.5 * t) + 2.0, 7.56 * std::cos(v));
    c.target = vec3(0.0, -0.05, 0.0);
    c.up = vec3(std::sin(0.15 * t), 1.0, std::cos(0.05 * t));
  }
  if (t > kFinaleSecondAssembly) {
    advanceFinaleSequence(t, random);
    // s drops to 0.6 at 156 s and eases back to 1 over 1/0.6 s.
    const double s =
        t > kFinaleCameraDip ? 0.6 + 0.4 * easeInOut((t - kFinaleCameraDip) * 0.6, 1.0) : 1.0;
    const double u = -0.3 * t;
    const double r = 6.48 * s;
    c.eye = vec3(r * std::sin(u), r * std::cos(u), s);
    c.target = vec3(0.0, 0.0, 0.0);
    c.up = vec3(0.0, 0.0, 1.0);
  }
  if (t > kFinaleBlockTurn) {
    advanceFinaleSequence(t, random);
    c.eye = vec3((t - kFinaleBlockTurn) * 0.6 + 3.5, 0.0, 0.0);
    c.target = vec3(0.0, 0.0, 0.0);
    c.up = vec3(0.0, 0.0, 1.0);
  }
  return c;
}

Camera orbitCameraAt(double t) {
  Camera camera;
  camera.eye = vec3(15.0 * std::sin(t), 5.0, 15.0 * std::cos(t));
  camera.target = vec3(0.0, 0.0, 0.0);
  camera.up = vec3(0.0, 1.0, 0.0);
  return camera;
}
