// The show's timeline, named once: which of the four scenes owns each moment
// of part time, the white flashes on the beat, the black dip into the finale,
// the closing fade and the end of the show. Each scene's window runs from its
// start up to, not including, the next scene's start; the panel cube keeps
// the rest of the show.
#pragma once

enum class Scene { OpeningPanels, PanelField, RingTunnel, PanelCube };

// Part time in seconds at which each scene after the opening begins.
constexpr double kPanelFieldStart = 20.0;
constexpr double kRingTunnelStart = 36.0;
constexpr double kPanelCubeStart = 132.0;

// The screen dips to black for one second around the switch to the finale.
constexpr double kFinaleDipStart = kPanelCubeStart - 0.5;
// The picture fades to black from here, and the show ends at kShowEnd: the
// first frame past it is the last.
constexpr double kFadeOutStart = 198.0;
constexpr double kShowEnd = 205.0;

// The scene drawn at part time t.
constexpr Scene sceneAt(double t) {
  if (t < kPanelFieldStart) return Scene::OpeningPanels;
  if (t < kRingTunnelStart) return Scene::PanelField;
  if (t < kPanelCubeStart) return Scene::RingTunnel;
  return Scene::PanelCube;
}

// The scene's name as viewers and the frame-time overlay call it.
constexpr const char* sceneName(Scene scene) {
  switch (scene) {
    case Scene::OpeningPanels:
      return "opening panels";
    case Scene::PanelField:
      return "falling panels";
    case Scene::RingTunnel:
      return "ring tunnel";
    case Scene::PanelCube:
      return "panel cube";
  }
  return "";
}

// A white flash: full at `start`, falling to nothing over 1 / rate seconds.
struct Flash {
  double start;
  double rate;
};

// The first flash marks the switch to the falling panels.
inline constexpr Flash kFlashes[] = {
    {20, 1},  {28, 1.5},  {44, 1.5},  {60, 2},    {92, 1},    {100, 1.5},  {108, 1},    {116, 1},
    {124, 1}, {148, 1.5}, {156, 1.5}, {164, 1.5}, {172, 0.6}, {180, 0.45}, {188, 0.45}, {196, 1}};
static_assert(kFlashes[0].start == kPanelFieldStart);
