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
#include "runtime/statistics.h"
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
  void drawFrame(const FrameRecord& frame, RenderResources&, Random& random) override {
    times.push_back(frame.time);
    firstDraws.push_back(random.next());
  }
  PartLoad initResources(RenderResources&, Random&) override { return {}; }
  std::vector<double> times;
  std::vector<int> firstDraws;
};

class FrameDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    demo = DemoState();
    demo.music.enabled = true;
    fakeCount = 5000000;
    setCounterSource({fakeCounter, fakeFrequency});
    fillCueTable(demo.cueTable);
    timerReset(demo.clock);
    demo.clock.lastTimerValue = timerRead(demo.clock);
    demo.partSlots.slot[0] = &part0;
  }
  void TearDown() override {
    for (parts*& slot : demo.partSlots.slot) slot = nullptr;
    setCounterSource(platformCounterSource());
  }
  RecordingPart part0, part1;
};

TEST_F(FrameDriver, AdvancesTheClockByTheMeasuredDelta) {
  elapse(0.25);
  runFrame(demo, timerRead(demo.clock));
  EXPECT_DOUBLE_EQ(demo.clock.frameDelta, 0.25);
  EXPECT_DOUBLE_EQ(demo.clock.demoTime, 0.25);
  EXPECT_EQ(demo.clock.frameCount, 1);
  ASSERT_EQ(part0.times.size(), 1u);
  EXPECT_DOUBLE_EQ(part0.times[0], 0.25);
}

TEST_F(FrameDriver, NegativeDeltaLeavesTheClockStill) {
  demo.clock.demoTime = 10.0;
  demo.clock.lastTimerValue = demo.clock.timerSeconds + 3.0;  // the counter appears to go back
  runFrame(demo, timerRead(demo.clock));
  EXPECT_EQ(demo.clock.frameDelta, 0.0);
  EXPECT_EQ(demo.clock.demoTime, 10.0);
}

// A seek or a start time moves the show clock to its target, but the frame
// delta, which the tuning keys and the statistics step by, stays the
// reading's step: never the jump, never negative.
TEST_F(FrameDriver, AJumpStepsTheDeltaByANormalFrame) {
  demo.directing.statsEnabled = true;
  openStatistics(demo.directing.statistics, "no-such-folder/stats.log", 240.0);
  demo.clock.startTime = 30.0;
  elapse(0.02);
  runFrame(demo, timerRead(demo.clock));
  EXPECT_DOUBLE_EQ(demo.clock.demoTime, 30.02);
  EXPECT_DOUBLE_EQ(demo.clock.frameDelta, 0.02);
  for (const double target : {100.0, 10.0}) {
    demo.clock.seekTarget = target;
    const double before = demo.clock.demoTime;
    elapse(0.02);
    runFrame(demo, timerRead(demo.clock));
    EXPECT_DOUBLE_EQ(demo.clock.demoTime, target);
    EXPECT_DOUBLE_EQ(demo.clock.frameDelta, 0.02);
    // The rate recorded at the time the frame left is a frame's, not the jump's.
    EXPECT_NEAR(demo.directing.statistics.table[static_cast<size_t>(before * 10)].frameRate, 50.0,
                1e-6);
  }
}

TEST_F(FrameDriver, KeysReachThePartAsZeroOrOne) {
  demo.input.keys['Q'] = true;
  demo.input.keys[255] = true;  // the table's last code
  elapse(0.01);
  runFrame(demo, timerRead(demo.clock));
  EXPECT_EQ(demo.input.frameInput.keys['Q'], 1);
  EXPECT_EQ(demo.input.frameInput.keys['A'], 0);
  EXPECT_EQ(demo.input.frameInput.keys[255], 1);
}

TEST_F(FrameDriver, SameDemoTimeDrawsTheSameRandomNumbers) {
  demo.clock.demoTime = 42.5;
  runFrame(demo, timerRead(demo.clock));  // zero delta: the same moment twice
  demo.clock.demoTime = 42.5;
  demo.random.seed(999);  // whatever ran before must not matter
  runFrame(demo, timerRead(demo.clock));
  ASSERT_EQ(part0.firstDraws.size(), 2u);
  EXPECT_EQ(part0.firstDraws[0], part0.firstDraws[1]);
  demo.clock.demoTime = 42.6;
  runFrame(demo, timerRead(demo.clock));
  EXPECT_NE(part0.firstDraws[2], part0.firstDraws[0]);
}

TEST_F(FrameDriver, SlotOneDrawsBetween51And66WhenFilled) {
  demo.partSlots.slot[1] = &part1;
  for (double t : {51.6, 66.3}) {
    demo.clock.demoTime = t;
    runFrame(demo, timerRead(demo.clock));
  }
  EXPECT_EQ(part1.times.size(), 2u);
  EXPECT_TRUE(part0.times.empty());
  demo.clock.demoTime = 66.31;
  runFrame(demo, timerRead(demo.clock));
  EXPECT_EQ(part0.times.size(), 1u);
}

TEST_F(FrameDriver, SlotZeroDrawsWhenSlotOneIsEmpty) {
  demo.clock.demoTime = 51.6;
  runFrame(demo, timerRead(demo.clock));
  demo.clock.demoTime = 66.3;
  runFrame(demo, timerRead(demo.clock));
  EXPECT_EQ(part0.times.size(), 2u);
}

TEST_F(FrameDriver, ExactlyTheEndTimeDoesNotEndTheShow) {
  demo.clock.demoTime = 204.5;
  elapse(0.5);
  runFrame(demo, timerRead(demo.clock));
  EXPECT_EQ(demo.clock.demoTime, 205.0);
}

TEST_F(FrameDriver, TheFirstFramePastTheEndEndsWithCodeZero) {
  demo.clock.demoTime = 204.9;
  elapse(0.1);
  EXPECT_EQ(runFrame(demo, timerRead(demo.clock)).end, ShowEnd::None);  // 205 exactly still plays
  elapse(0.001);
  const FrameResult result = runFrame(demo, timerRead(demo.clock));
  EXPECT_EQ(result.end, ShowEnd::PastTheEnd);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(part0.times.size(), 2u);  // that last frame was drawn
}

// Escape starts the fade (the main loop's part); the delivered rate
// completes it on the next frame, which ends the show with code 0.
TEST_F(FrameDriver, TheEndFadeEndsTheShowOnceComplete) {
  demo.music.enabled = false;  // no sound system to set the volume on
  demo.clock.demoTime = 50.0;
  demo.clock.fadingOut = true;
  demo.clock.fadeStartTime = 50.0;
  EXPECT_EQ(runFrame(demo, timerRead(demo.clock)).end,
            ShowEnd::None);  // no time has passed: level 0
  elapse(0.01);
  const FrameResult result = runFrame(demo, timerRead(demo.clock));
  EXPECT_EQ(result.end, ShowEnd::FadeDone);
  EXPECT_EQ(result.exitCode, 0);
}

TEST_F(FrameDriver, TheQuitTrackFlagEndsTheShow) {
  demo.input.frameInput.trackFlagsB[kQuitTrackFlag] = true;
  elapse(0.01);
  EXPECT_EQ(runFrame(demo, timerRead(demo.clock)).end, ShowEnd::QuitFlag);
}

TEST_F(FrameDriver, CueIsTakenBeforeTheAdvance) {
  demo.clock.demoTime = 85.14;
  elapse(1.0);
  runFrame(demo, timerRead(demo.clock));
  EXPECT_EQ(demo.input.frameInput.cue, 2);
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
