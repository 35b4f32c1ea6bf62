// Which scene owns each moment of the show, at each switch from both sides.
#include "core/timeline.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Timeline, EachSceneOwnsItsWindowUpToTheNextSwitch) {
  const struct {
    double at;
    Scene before, after;
  } switches[] = {
      {20.0, Scene::OpeningPanels, Scene::PanelField},
      {36.0, Scene::PanelField, Scene::RingTunnel},
      {132.0, Scene::RingTunnel, Scene::PanelCube},
  };
  for (const auto& s : switches) {
    SCOPED_TRACE(s.at);
    EXPECT_EQ(sceneAt(s.at - 1.0), s.before);
    EXPECT_EQ(sceneAt(std::nextafter(s.at, 0.0)), s.before);
    EXPECT_EQ(sceneAt(s.at), s.after);  // the switch itself belongs to the next scene
    EXPECT_EQ(sceneAt(s.at + 1.0), s.after);
  }
  EXPECT_EQ(sceneAt(0.0), Scene::OpeningPanels);
  EXPECT_EQ(sceneAt(205.0), Scene::PanelCube);  // and under the end fade
}

}  // namespace
