// The frame driver with a counter the test controls: clock, reseed, cue,
// part dispatch and the end of the show.
#include "runtime/frame_driver.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "core/random.h"
#include "demo/parts.h"
#include "runtime/cue_table.h"
#include "runtime/demo_state.h"
#include "runtime/timer.h"

namespace {

// The show's state these tests own, as the program's entry owns it.
DemoState demo;

int64_t fakeCount = 0;
int64_t fakeCounter() { return fakeCount; }
int64_t fakeFrequency() { return 1000000; }

// Advances the fake counter so the next runFrame measures `seconds`.
void elapse(double seconds) { fakeCount += static_cast<int64_t>(seconds * 1000000.0); }

// A part that records what it was given and the random values it sees.
class RecordingPart : public parts {
 public:
  void drawFrame(double* timeStep, RenderResources*, FrameInput* input) override {
    steps.push_back(*timeStep);
    times.push_back(input->time);
    firstDraws.push_back(crtRand());
  }
  PartLoad initResources(RenderResources*) override { return {}; }
  std::vector<double> steps, times;
  std::vector<int> firstDraws;
};

class FrameDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    demo = DemoState();
    demo.musicEnabled = true;
    fakeCount = 5000000;
    setCounterSource({fakeCounter, fakeFrequency});
    fillCueTable(demo.cueTable);
    timerReset(demo);
    demo.lastTimerValue = timerRead(demo);
    demo.partSlots[0] = &part0;
  }
  void TearDown() override {
    for (parts*& slot : demo.partSlots) slot = nullptr;
    setCounterSource(platformCounterSource());
  }
  RecordingPart part0, part1;
};

TEST_F(FrameDriver, AdvancesTheClockByTheMeasuredDelta) {
  elapse(0.25);
  runFrame(demo, timerRead(demo));
  EXPECT_DOUBLE_EQ(demo.frameDelta, 0.25);
  EXPECT_DOUBLE_EQ(demo.demoTime, 0.25);
  EXPECT_EQ(demo.frameCount, 1);
  ASSERT_EQ(part0.steps.size(), 1u);
  EXPECT_DOUBLE_EQ(part0.times[0], 0.25);
}

TEST_F(FrameDriver, NegativeDeltaLeavesTheClockStill) {
  demo.demoTime = 10.0;
  demo.lastTimerValue = demo.timerSeconds + 3.0;  // the counter appears to go back
  runFrame(demo, timerRead(demo));
  EXPECT_EQ(demo.frameDelta, 0.0);
  EXPECT_EQ(demo.demoTime, 10.0);
}

TEST_F(FrameDriver, KeysReachThePartAsZeroOrOne) {
  demo.keys['Q'] = true;
  demo.keys[255] = true;  // the table's last code
  elapse(0.01);
  runFrame(demo, timerRead(demo));
  EXPECT_EQ(demo.frameInput.keys['Q'], 1);
  EXPECT_EQ(demo.frameInput.keys['A'], 0);
  EXPECT_EQ(demo.frameInput.keys[255], 1);
}

TEST_F(FrameDriver, SameDemoTimeDrawsTheSameRandomNumbers) {
  demo.demoTime = 42.5;
  runFrame(demo, timerRead(demo));  // zero delta: the same moment twice
  demo.demoTime = 42.5;
  crtSrand(999);  // whatever ran before must not matter
  runFrame(demo, timerRead(demo));
  ASSERT_EQ(part0.firstDraws.size(), 2u);
  EXPECT_EQ(part0.firstDraws[0], part0.firstDraws[1]);
  demo.demoTime = 42.6;
  runFrame(demo, timerRead(demo));
  EXPECT_NE(part0.firstDraws[2], part0.firstDraws[0]);
}

TEST_F(FrameDriver, SlotOneDrawsBetween51And66WhenFilled) {
  demo.partSlots[1] = &part1;
  for (double t : {51.6, 66.3}) {
    demo.demoTime = t;
    runFrame(demo, timerRead(demo));
  }
  EXPECT_EQ(part1.steps.size(), 2u);
  EXPECT_TRUE(part0.steps.empty());
  demo.demoTime = 66.31;
  runFrame(demo, timerRead(demo));
  EXPECT_EQ(part0.steps.size(), 1u);
}

TEST_F(FrameDriver, SlotZeroDrawsWhenSlotOneIsEmpty) {
  demo.demoTime = 51.6;
  runFrame(demo, timerRead(demo));
  demo.demoTime = 66.3;
  runFrame(demo, timerRead(demo));
  EXPECT_EQ(part0.steps.size(), 2u);
}

TEST_F(FrameDriver, ExactlyTheEndTimeDoesNotEndTheShow) {
  demo.demoTime = 204.5;
  elapse(0.5);
  runFrame(demo, timerRead(demo));
  EXPECT_EQ(demo.demoTime, 205.0);
}

TEST_F(FrameDriver, TheFirstFramePastTheEndEndsWithCodeZero) {
  demo.demoTime = 204.9;
  elapse(0.1);
  EXPECT_EQ(runFrame(demo, timerRead(demo)).end, ShowEnd::None);  // 205 exactly still plays
  elapse(0.001);
  const FrameResult result = runFrame(demo, timerRead(demo));
  EXPECT_EQ(result.end, ShowEnd::PastTheEnd);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(part0.steps.size(), 2u);  // that last frame was drawn
}

// Escape starts the fade (the main loop's part); the delivered rate
// completes it on the next frame, which ends the show with code 0.
TEST_F(FrameDriver, TheEndFadeEndsTheShowOnceComplete) {
  demo.musicEnabled = false;  // no sound system to set the volume on
  demo.demoTime = 50.0;
  demo.fadingOut = true;
  demo.fadeStartTime = 50.0;
  EXPECT_EQ(runFrame(demo, timerRead(demo)).end, ShowEnd::None);  // no time has passed: level 0
  elapse(0.01);
  const FrameResult result = runFrame(demo, timerRead(demo));
  EXPECT_EQ(result.end, ShowEnd::FadeDone);
  EXPECT_EQ(result.exitCode, 0);
}

TEST_F(FrameDriver, TheQuitTrackFlagEndsTheShow) {
  demo.frameInput.trackFlagsB[kQuitTrackFlag] = true;
  elapse(0.01);
  EXPECT_EQ(runFrame(demo, timerRead(demo)).end, ShowEnd::QuitFlag);
}

TEST_F(FrameDriver, CueIsTakenBeforeTheAdvance) {
  demo.demoTime = 85.14;
  elapse(1.0);
  runFrame(demo, timerRead(demo));
  EXPECT_EQ(demo.frameInput.cue, 2);
}

TEST(CueTable, HighestMatchingRowWins) {
  fillCueTable(demo.cueTable);
  EXPECT_EQ(cueAt(demo.cueTable, 85.14), 2);
  EXPECT_EQ(demo.cueTable.lastActive, 1);
  EXPECT_EQ(cueAt(demo.cueTable, 270.9), 21);
  EXPECT_EQ(demo.cueTable.lastActive, 29);
  EXPECT_EQ(cueAt(demo.cueTable, 99.0), 0);
  EXPECT_EQ(demo.cueTable.lastActive, 29);  // no match keeps the remembered row
  EXPECT_EQ(cueAt(demo.cueTable, 0.0), 9);
}

// The cue over the whole show, sampled every millisecond: each window holds
// from its start to its end inclusive, and where two windows meet the later
// one's value wins. (The windows set beyond 205 s are never reached: the show
// has ended by then.)
TEST(CueTable, WindowsOverTheShowEndWhereTheyShould) {
  fillCueTable(demo.cueTable);
  std::ostringstream changes;  // "time:cue" wherever the cue changes
  int last = -1;
  for (int ms = 0; ms <= 205000; ++ms) {
    const double t = ms / 1000.0;
    const int cue = cueAt(demo.cueTable, t);
    if (cue != last) changes << t << ':' << cue << ' ';
    last = cue;
  }
  EXPECT_EQ(changes.str(), "0:9 80.001:1 85.14:2 92.85:3 98.001:0 104.94:4 105.01:5 105.135:0 ");
}

TEST(EndFade, LevelAndVolume) {
  EXPECT_EQ(fadeVolume(fadeLevel(0.0, 0.8)), 255);
  EXPECT_EQ(fadeVolume(fadeLevel(0.625, 0.8)), 127);
  EXPECT_EQ(fadeVolume(fadeLevel(1.25, 0.8)), 0);
  EXPECT_EQ(fadeLevel(-1.0, 0.8), 0.0);
  EXPECT_EQ(fadeLevel(0.001, 100002.5), 1.0);  // the delivered rate ends at once
}

TEST(StartBookmark, PresetTimes) {
  EXPECT_DOUBLE_EQ(bookmarkTime(1), 32.2);
  EXPECT_DOUBLE_EQ(bookmarkTime(5), 296.88);
  EXPECT_LT(bookmarkTime(0), 0.0);
  EXPECT_LT(bookmarkTime(6), 0.0);
}

}  // namespace
