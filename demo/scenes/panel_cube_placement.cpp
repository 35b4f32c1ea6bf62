// Placement of the finale's panels.
#include "demo/scenes/panel_cube_placement.h"

#include <cmath>
#include <cstdint>

#include "core/random.h"
#include "core/timeline.h"

FinaleFaceRule panelCubeRule() { return {0.4f, 0.0, 196.7, 0.004}; }

FinaleFaceRule ringLayerRule(int layer) {
  // Each layer a size larger than the one inside it, tilted by a further
  // eighth of a turn, so the belts of rings cross.
  return {0.42f + 0.09f * layer, 0.7853981633974483 * layer, 195.3, 0.002};
}

FinaleFace placeFinaleFace(int i, const Vec3 corners[4], double t, const FinaleFaceRule& rule,
                           Random& random) {
  FinaleFace face;
  // New random choices every half second until 196 s, then frozen.
  random.seed(static_cast<uint32_t>(i + 100 * static_cast<int>(2.0 * t) + 424423));
  if (t > kFinaleFrozen) random.seed(static_cast<uint32_t>(i + 424423));
  for (int k = 0; k < 124; ++k) random.unit();

  // Faces drop in one every 0.1 s; from 148 s the cube assembles again as if
  // the drop had started at 144 s.
  const double arrivalStart = t > kFinaleSecondAssembly ? kFinaleSecondDrop : kPanelCubeStart;
  face.arrival = static_cast<float>(easeInOut((t - arrivalStart - 0.1 * i) * 0.2, 1.0));
  face.lift = 7.0f * (1.0f - face.arrival);
  Vec3 lift;
  lift.y = face.lift;

  const double s = 0.8 * t;
  const double w = 0.25 * softCurve(t - kFinaleBreakUp);
  const double k = easeInOut((t - rule.breakUpStart - rule.breakUpStep * i) * 0.35, 1.0);
  Vec3 c[4];
  for (int n = 0; n < 4; ++n) {
    c[n] = vecAdd(vecScale(corners[n], rule.scale), lift);
    if (rule.tilt != 0.0) rotateEuler(&c[n], 0.0, rule.tilt, 0.0);
    if (t <= kFinaleBlockTurn) {
      rotateEuler(&c[n], 0.3 * s, s, 0.0);
      rotateEuler(&c[n], 0.0, 0.0, 7.0 * face.arrival);  // a face rolls as it lands
    } else {
      rotateEuler(&c[n], 2.0 * w, w, 0.7 * s + 0.7);
    }
  }
  // The break-up: from its start the faces fly off along z, tumbling.
  if (t > kFinaleBreakUp) {
    Vec3 away;
    away.z = static_cast<float>(16.0 * k);
    const double j = random.unit();
    for (Vec3& corner : c) {
      corner = vecAdd(corner, away);
      rotateEuler(&corner, 4.0 * k * (j - 0.5), 0.0, 7.0 * k);
    }
  }
  for (int n = 0; n < 4; ++n) face.corners[n] = c[n];
  return face;
}

int finaleLayerCount(double t) {
  int count = 0;
  for (double start : kFinaleLayerStarts)
    if (t > start) ++count;
  return count;
}

bool inLayerBand(const Vec3& firstCorner) { return std::fabs(firstCorner.x) <= 1.4f; }

int finaleShellFaceCount(int faceCount, double t) {
  if (t >= kFinaleShellGone) return 0;
  const double shown =
      faceCount * (easeInOut((t - 130.0) * 0.1, 1.0) - easeInOut((t - 165.0) * 0.1, 1.0));
  // Face i is drawn while i <= shown.
  if (shown < 0.0) return 0;
  const int count = static_cast<int>(std::floor(shown)) + 1;
  return count < faceCount ? count : faceCount;
}

Vec3 placeShellCorner(const Vec3& corner, double t) {
  Vec3 c = vecScale(corner, 0.25f);
  rotateEuler(&c, 0.1 * t, 0.1 * t, 0.1 * t);
  return c;
}
