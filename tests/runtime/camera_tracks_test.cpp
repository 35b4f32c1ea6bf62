// The camera-track recorder: recording from the part slots and track flags,
// the "state.txt" text and its round trip, malformed files, nearest keys and
// the digit jumps, and the frame driver running the tools with the switches on.
#include "runtime/camera_tracks.h"

#include <gtest/gtest.h>

#include "demo/parts.h"
#include "runtime/demo_state.h"
#include "runtime/frame_driver.h"
#include "runtime/timer.h"
#include "support/scratch_folder.h"

namespace {

// The show's state these tests own, as the program's entry owns it.
DemoState demo;

class ChannelPart : public parts {
 public:
  void drawFrame(const FrameRecord&, RenderResources&, Random&) override { ++draws; }
  PartLoad initResources(RenderResources&, Random&) override { return {}; }
  int draws = 0;
};

CameraKey makeKey(double time, std::vector<double> values, std::vector<bool> flagsA,
                  std::vector<bool> flagsB) {
  CameraKey key;
  key.time = time;
  key.values = std::move(values);
  key.flagsA = std::move(flagsA);
  key.flagsB = std::move(flagsB);
  return key;
}

class CameraTracks : public ::testing::Test {
 protected:
  void SetUp() override {
    demo = DemoState();
    demo.directing.cameraTracks.clear();
    demo.directing.workingKey = CameraKey();
    demo.partSlots.slot[0] = &part;
  }
  void TearDown() override {
    for (parts*& slot : demo.partSlots.slot) slot = nullptr;
    demo.directing.cameraTracks.clear();
  }
  ScratchFolder folder;
  ChannelPart part;
};

TEST_F(CameraTracks, RecordsNineChannelsFromFilledSlotsAndTheFlags) {
  ChannelPart third;
  demo.partSlots.slot[2] = &third;
  part.channelValue = 1.25;
  third.channelValue = -7.5;
  demo.clock.demoTime = 12.5;
  demo.input.frameInput.trackFlagsA[0] = true;
  demo.input.frameInput.trackFlagsA[8] = true;
  demo.input.frameInput.trackFlagsA[9] = true;  // beyond the nine channels
  demo.input.frameInput.trackFlagsB[4] = true;
  recordKey(demo);
  part.channelValue = 2.0;
  demo.clock.demoTime = 12.6;
  recordKey(demo);

  ASSERT_EQ(demo.directing.cameraTracks.size(), 2u);
  const CameraKey& first = demo.directing.cameraTracks[0];
  EXPECT_DOUBLE_EQ(first.time, 12.5);
  EXPECT_EQ(first.values, (std::vector<double>{1.25, 0, -7.5, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(first.flagsA, (std::vector<bool>{1, 0, 0, 0, 0, 0, 0, 0, 1}));
  EXPECT_EQ(first.flagsB, (std::vector<bool>{0, 0, 0, 0, 1, 0, 0, 0, 0}));
  EXPECT_DOUBLE_EQ(demo.directing.cameraTracks[1].values[0], 2.0);
  EXPECT_DOUBLE_EQ(demo.directing.cameraTracks[1].time, 12.6);
}

TEST_F(CameraTracks, StateFileTextAndRoundTrip) {
  saveTracks(demo, "state.txt");
  EXPECT_EQ(readText("state.txt"), "0\n");

  demo.directing.cameraTracks.push_back(makeKey(123.456789, {1.5, -2}, {1, 0}, {0, 1}));
  demo.directing.cameraTracks.push_back(makeKey(0.25, {}, {}, {}));
  saveTracks(demo, "state.txt");
  EXPECT_EQ(readText("state.txt"), "2\n\n\n123.457\n2\n1.5 1 0 -2 0 1 \n\n0.25\n0\n");

  // A recorded nine-channel key and a short one survive the round trip.
  part.channelValue = 3.75;
  demo.clock.demoTime = 40.0;
  demo.input.frameInput.trackFlagsB[7] = true;
  recordKey(demo);
  const CameraTrackStore saved = demo.directing.cameraTracks;
  saveTracks(demo, "state.txt");
  demo.directing.cameraTracks.push_back(makeKey(1.0, {1}, {1}, {1}));  // replaced by the load
  loadTracks(demo, "state.txt");

  ASSERT_EQ(demo.directing.cameraTracks.size(), saved.size());
  EXPECT_DOUBLE_EQ(demo.directing.cameraTracks[0].time, 123.457);
  for (size_t k = 0; k < saved.size(); ++k) {
    EXPECT_EQ(demo.directing.cameraTracks[k].values.size(), saved[k].values.size()) << "key " << k;
    EXPECT_EQ(demo.directing.cameraTracks[k].flagsA, saved[k].flagsA) << "key " << k;
    EXPECT_EQ(demo.directing.cameraTracks[k].flagsB, saved[k].flagsB) << "key " << k;
  }
  EXPECT_EQ(demo.directing.cameraTracks[2].values, saved[2].values);
}

TEST_F(CameraTracks, MissingOrMalformedFilesKeepWhatWasRead) {
  demo.directing.cameraTracks.push_back(makeKey(1.0, {1}, {1}, {1}));
  loadTracks(demo, "absent.txt");
  EXPECT_TRUE(demo.directing.cameraTracks.empty());

  // The second key breaks at its second channel's flag A; a key count far
  // beyond the file's content does not make up keys.
  writeText("state.txt", "1000000\n\n\n4.5\n1\n9 1 1 \n\n6\n3\n1 0 1 2 x 0 3 1 1 \n\n8\n1\n5 1 1 ");
  loadTracks(demo, "state.txt");
  ASSERT_EQ(demo.directing.cameraTracks.size(), 2u);
  EXPECT_DOUBLE_EQ(demo.directing.cameraTracks[0].time, 4.5);
  EXPECT_EQ(demo.directing.cameraTracks[0].values, (std::vector<double>{9}));
  const CameraKey& broken = demo.directing.cameraTracks[1];
  EXPECT_DOUBLE_EQ(broken.time, 6.0);
  EXPECT_EQ(broken.values, (std::vector<double>{1, 2}));
  EXPECT_EQ(broken.flagsA, (std::vector<bool>{0}));
  EXPECT_EQ(broken.flagsB, (std::vector<bool>{1}));

  // A flag other than 0 or 1 is malformed too.
  writeText("state.txt", "1\n\n\n4.5\n1\n9 2 1 ");
  loadTracks(demo, "state.txt");
  ASSERT_EQ(demo.directing.cameraTracks.size(), 1u);
  EXPECT_EQ(demo.directing.cameraTracks[0].values, (std::vector<double>{9}));
  EXPECT_TRUE(demo.directing.cameraTracks[0].flagsA.empty());

  writeText("state.txt", "not a count");
  loadTracks(demo, "state.txt");
  EXPECT_TRUE(demo.directing.cameraTracks.empty());
}

TEST_F(CameraTracks, NearestKeyPrefersTheEarlierOfEquallyNearKeys) {
  nearestKey(demo, 20.0);
  EXPECT_TRUE(demo.directing.workingKey.values.empty());
  EXPECT_EQ(demo.directing.workingKey.time, 0.0);

  demo.directing.cameraTracks.push_back(makeKey(10.0, {1}, {1}, {0}));
  demo.directing.cameraTracks.push_back(makeKey(30.0, {3}, {0}, {1}));
  demo.directing.cameraTracks.push_back(makeKey(31.0, {2}, {0}, {0}));
  nearestKey(demo, 20.0);
  EXPECT_EQ(demo.directing.workingKey.time, 10.0);
  EXPECT_EQ(demo.directing.workingKey.values, (std::vector<double>{1}));
  EXPECT_EQ(demo.directing.workingKey.flagsA, (std::vector<bool>{1}));
  nearestKey(demo, 30.4);
  EXPECT_EQ(demo.directing.workingKey.time, 30.0);
  nearestKey(demo, 1000.0);
  EXPECT_EQ(demo.directing.workingKey.time, 31.0);
}

TEST_F(CameraTracks, DigitJumpRestoresTheKeyNearItsPresetTime) {
  FrameInput& input = demo.input.frameInput;
  // Digit 1 jumps to 146 s; digit 7 (293 s) is also held and runs after it.
  demo.directing.cameraTracks.push_back(makeKey(140.0, {5, 6, 7, 8, 9, 10, 11, 12, 13},
                                                {1, 1, 1, 1, 1, 1, 1, 1, 1},
                                                {0, 0, 0, 1, 0, 0, 0, 0, 1}));
  demo.directing.cameraTracks.push_back(makeKey(290.0, {42}, {0}, {1}));
  input.trackFlagsA[9] = true;
  demo.input.keys['1'] = true;
  jumpKeys(demo);
  EXPECT_EQ(part.channelValue, 5.0);
  for (int j = 0; j < 9; ++j) EXPECT_TRUE(input.trackFlagsA[j]) << j;
  EXPECT_TRUE(input.trackFlagsB[3]);
  EXPECT_TRUE(input.trackFlagsB[8]);
  EXPECT_FALSE(input.trackFlagsB[0]);
  EXPECT_TRUE(input.trackFlagsA[9]);  // beyond the nine channels

  // A one-channel key restores channel 0 alone.
  demo.input.keys['7'] = true;
  jumpKeys(demo);
  EXPECT_EQ(part.channelValue, 42.0);
  EXPECT_FALSE(input.trackFlagsA[0]);
  EXPECT_TRUE(input.trackFlagsB[0]);
  EXPECT_TRUE(input.trackFlagsA[1]);
  EXPECT_TRUE(input.trackFlagsB[3]);
  EXPECT_EQ(demo.clock.demoTime, 0.0);  // the demo clock stays

  // Digits 8 and 9 do nothing, nor does a jump with an empty store.
  demo.input.keys['1'] = demo.input.keys['7'] = false;
  demo.input.keys['8'] = demo.input.keys['9'] = true;
  part.channelValue = -1.0;
  jumpKeys(demo);
  EXPECT_EQ(part.channelValue, -1.0);
  demo.directing.cameraTracks.clear();
  demo.input.keys['0'] = true;
  jumpKeys(demo);
  EXPECT_EQ(part.channelValue, -1.0);
  EXPECT_FALSE(input.trackFlagsA[0]);
}

TEST_F(CameraTracks, FrameDriverRecordsAndJumpsWithTheSwitchesOn) {
  demo.music.enabled = false;
  timerReset(demo.clock);
  demo.clock.lastTimerValue = timerRead(demo.clock);
  runFrame(demo, timerRead(demo.clock));
  runFrame(demo, timerRead(demo.clock));
  EXPECT_TRUE(demo.directing.cameraTracks.empty());

  demo.directing.cameraRecord = true;
  demo.directing.cameraTracksEnabled = true;
  part.channelValue = 8.0;
  runFrame(demo, timerRead(demo.clock));
  runFrame(demo, timerRead(demo.clock));
  ASSERT_EQ(demo.directing.cameraTracks.size(), 2u);
  EXPECT_EQ(demo.directing.cameraTracks[1].values[0], 8.0);
  EXPECT_DOUBLE_EQ(demo.directing.cameraTracks[1].time, demo.clock.demoTime);

  // The recorded key is the only one, so a held digit restores it.
  part.channelValue = 0.0;
  demo.input.keys['2'] = true;
  demo.directing.cameraRecord = false;
  runFrame(demo, timerRead(demo.clock));
  EXPECT_EQ(part.channelValue, 8.0);
  EXPECT_EQ(part.draws, 5);
}

}  // namespace
