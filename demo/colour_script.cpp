// The colour script as a table of sections, each a grade from its start time
// on. Cool and deep in the opening and the tunnel's first half, warm and
// bright from the bass drive, bold colour for the drops of the finale and the
// most light of all from 180 s.
#include "demo/colour_script.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "core/timeline.h"

namespace {

// The soundtrack's kick enters here, eight beats before the first drop.
constexpr double kKickEntry = 12.0;
// A section turns into the next over one beat at 120 beats a minute.
constexpr double kTurn = 0.5;

struct Section {
  double start;
  Grade grade;
};

// lift, gain, sky, saturation, exposure, kick pulse.
// clang-format off
const Section kSections[] = {
    // Opening wall: cool night blue, close to the picture as drawn.
    {0.0,                   {{0.000f, 0.004f, 0.012f}, {0.95f, 1.00f, 1.08f}, {0.050f, 0.070f, 0.125f}, 1.10f, 0.90f, 0.10f}},
    // The kick enters: a warm rose turn, brighter and breathing.
    {kKickEntry,            {{0.010f, 0.006f, 0.008f}, {1.08f, 1.00f, 0.92f}, {0.130f, 0.075f, 0.110f}, 1.30f, 0.85f, 0.45f}},
    // First drop, the falling panels: a lit teal sky instead of a void.
    {kPanelFieldStart,      {{0.018f, 0.030f, 0.042f}, {1.00f, 1.06f, 1.10f}, {0.090f, 0.165f, 0.255f}, 1.35f, 1.10f, 0.50f}},
    // Tunnel, first half: cool and deep.
    {kRingTunnelStart,      {{0.009f, 0.018f, 0.036f}, {0.92f, 1.00f, 1.15f}, {0.045f, 0.075f, 0.165f}, 1.20f, 1.10f, 0.45f}},
    {kTunnelPathSettles,    {{0.006f, 0.018f, 0.030f}, {0.90f, 1.02f, 1.10f}, {0.035f, 0.090f, 0.150f}, 1.20f, 0.95f, 0.45f}},
    // Bass drive: amber, warmer and brighter.
    {kTunnelMusic,          {{0.045f, 0.026f, 0.014f}, {1.20f, 1.05f, 0.90f}, {0.210f, 0.110f, 0.065f}, 1.40f, 1.40f, 0.55f}},
    // The orbit: violet.
    {kTunnelOrbit,          {{0.030f, 0.015f, 0.036f}, {1.08f, 0.95f, 1.12f}, {0.150f, 0.065f, 0.190f}, 1.35f, 1.25f, 0.55f}},
    // Tunnel peak with the letters: clear teal light.
    {kTunnelLetters,        {{0.015f, 0.033f, 0.039f}, {1.05f, 1.05f, 1.00f}, {0.055f, 0.145f, 0.180f}, 1.30f, 1.25f, 0.55f}},
    // Inside the cube: its walls fill the view, so the grade lifts them.
    {kTunnelInsideCube,     {{0.048f, 0.030f, 0.060f}, {1.25f, 1.05f, 1.20f}, {0.150f, 0.075f, 0.195f}, 1.50f, 1.35f, 0.50f}},
    // The finale's calm: deep blue, quiet.
    {kPanelCubeStart,       {{0.010f, 0.016f, 0.030f}, {0.95f, 1.00f, 1.10f}, {0.060f, 0.080f, 0.150f}, 1.10f, 1.10f, 0.25f}},
    // Second drop: crimson and magenta.
    {kFinaleSecondAssembly, {{0.030f, 0.010f, 0.025f}, {1.10f, 0.95f, 1.00f}, {0.200f, 0.055f, 0.120f}, 1.45f, 0.90f, 1.10f}},
    // The block turns: teal.
    {kFinaleBlockTurn,      {{0.010f, 0.030f, 0.030f}, {0.95f, 1.05f, 1.03f}, {0.050f, 0.145f, 0.150f}, 1.40f, 0.90f, 0.60f}},
    // Third drop: violet blue.
    {kFinaleDoublings[0],   {{0.027f, 0.018f, 0.048f}, {1.05f, 0.98f, 1.15f}, {0.130f, 0.075f, 0.240f}, 1.45f, 1.20f, 0.60f}},
    // Climax: the most light and colour of the show, a warm coral sky.
    {kFinaleBreakUp,        {{0.060f, 0.032f, 0.036f}, {1.20f, 1.08f, 1.00f}, {0.480f, 0.200f, 0.210f}, 1.60f, 1.85f, 0.65f}},
};
// clang-format on

// The moments that land with a burst of light: the kick's entry and the
// bass drive's first beat.
const double kAccents[] = {kKickEntry, kTunnelMusic};

Rgb mix(const Rgb& a, const Rgb& b, float f) {
  return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f};
}

Grade mix(const Grade& a, const Grade& b, float f) {
  return {mix(a.lift, b.lift, f),
          mix(a.gain, b.gain, f),
          mix(a.sky, b.sky, f),
          a.saturation + (b.saturation - a.saturation) * f,
          a.exposure + (b.exposure - a.exposure) * f,
          a.kickPulse + (b.kickPulse - a.kickPulse) * f};
}

}  // namespace

Grade gradeAt(double t) {
  const int count = static_cast<int>(std::size(kSections));
  int current = 0;
  while (current + 1 < count && t >= kSections[current + 1].start) ++current;
  Grade grade = kSections[current].grade;
  if (current > 0) {
    const double into = (t - kSections[current].start) / kTurn;
    if (into < 1.0) {
      const float f = static_cast<float>(into * into * (3.0 - 2.0 * into));
      grade = mix(kSections[current - 1].grade, grade, f);
    }
  }
  // A burst that starts at full strength and is gone within about a second.
  float burst = 0.0f;
  for (double accent : kAccents)
    if (t >= accent) burst = std::max(burst, static_cast<float>(std::exp(-(t - accent) * 3.0)));
  grade.exposure += 1.2f * burst;
  grade.saturation += 0.5f * burst;
  grade.lift = mix(grade.lift, {0.16f, 0.11f, 0.07f}, 0.6f * burst);
  return grade;
}
