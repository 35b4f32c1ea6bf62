// The show's timeline, named once: which of the four scenes owns each moment
// of show time, the moments within each scene at which its picture or its
// camera changes, the white flashes on the beat, the black dip into the
// finale, the closing fade and the end of the show. Each scene's window runs
// from its start up to, not including, the next scene's start; the panel cube
// keeps the rest of the show. A scene compares the time only with these names.
#pragma once

enum class Scene { OpeningPanels, PanelField, RingTunnel, PanelCube };

// Part time in seconds at which each scene after the opening begins.
constexpr double kPanelFieldStart = 20.0;
constexpr double kRingTunnelStart = 36.0;
constexpr double kPanelCubeStart = 132.0;

// Falling panels: the camera swings over the scene; from 25 s the panels
// drop from higher up; from 33.5 s they change their choices sixteen times a
// second and shrink away.
constexpr double kFieldCameraSwing = 28.0;
constexpr double kFieldHighDrop = 25.0;
constexpr double kFieldShrink = 33.5;

// Ring tunnel. Up to kTunnelPathSettles the path snakes and climbs and each
// row keeps its seed; the flight's second window starts at
// kTunnelFlightRestart; the band fades from kTunnelBandFade until
// kTunnelMusic, from which the music lights the band, every second tile is
// drawn and the tiled-cube layers appear; their extra rings join at
// kTunnelLayerRings. From kTunnelOrbit the camera circles the flight (turning
// the other way from kTunnelOrbitTurn) and the layers turn about one axis;
// the letters blink from kTunnelLetters until kTunnelInsideCube, when the
// cube has grown round the camera; the camera climbs from kTunnelCameraClimb
// and looks back from kTunnelLookBack, as the rings turn inwards.
constexpr double kTunnelPathSettles = 52.0;
constexpr double kTunnelFlightRestart = 60.0;
constexpr double kTunnelBandFade = 64.0;
constexpr double kTunnelMusic = 68.0;
constexpr double kTunnelLayerRings = 76.0;
constexpr double kTunnelOrbit = 84.0;
constexpr double kTunnelOrbitTurn = 92.0;
constexpr double kTunnelLetters = 100.0;
constexpr double kTunnelCameraClimb = 108.0;
constexpr double kTunnelInsideCube = 116.0;
constexpr double kTunnelLookBack = 124.0;

// Panel cube. The cube assembles a second time from kFinaleSecondAssembly
// (its faces dropping as if from kFinaleSecondDrop), the camera closes in at
// kFinaleCameraDip, the block turns as one from kFinaleBlockTurn, ring layers
// join at each kFinaleLayerStarts, the busy rings double at each
// kFinaleDoublings, the shell is gone from kFinaleShellGone, the faces fly
// apart from kFinaleBreakUp and the random choices freeze at kFinaleFrozen.
constexpr double kFinaleSecondDrop = 144.0;
constexpr double kFinaleSecondAssembly = 148.0;
constexpr double kFinaleCameraDip = 156.0;
constexpr double kFinaleBlockTurn = 164.0;
inline constexpr double kFinaleLayerStarts[] = {170.0, 175.0, 180.0, 185.0};
inline constexpr double kFinaleDoublings[] = {172.0, 180.0, 188.0};
constexpr double kFinaleShellGone = 175.0;
constexpr double kFinaleBreakUp = 180.0;
constexpr double kFinaleFrozen = 196.0;

// The screen dips to black for one second around the switch to the finale.
constexpr double kFinaleDipStart = kPanelCubeStart - 0.5;
// The picture fades to black from here, and the show ends at kShowEnd: the
// first frame past it is the last.
constexpr double kFadeOutStart = 198.0;
constexpr double kShowEnd = 205.0;

// The scene drawn at show time t.
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
