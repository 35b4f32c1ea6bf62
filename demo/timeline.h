// The show's timeline: which of the four scenes owns each moment of part
// time. Each scene's window runs from its start up to, not including, the
// next scene's start; the panel cube keeps the rest of the show.
#pragma once

enum class Scene { OpeningPanels, PanelField, RingTunnel, PanelCube };

// Part time in seconds at which each scene after the opening begins.
constexpr double kPanelFieldStart = 20.0;
constexpr double kRingTunnelStart = 36.0;
constexpr double kPanelCubeStart = 132.0;

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
