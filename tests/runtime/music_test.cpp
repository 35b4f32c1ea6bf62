// The show's music hooks: the seek offset, the start-up failures returned
// with their messages, and a started soundtrack feeding the spectrum.
#include "runtime/music.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

#include "demo/parts.h"
#include "platform/sound.h"
#include "runtime/demo_state.h"
#include "runtime/frame_driver.h"
#include "runtime/timer.h"
#include "support/test_tracks.h"

namespace {

// The show's state these tests own, as the program's entry owns it.
DemoState demo;

using test_tracks::kRate;

// Runs in a fresh working folder holding music/ and the given music file bytes.
class MusicStart : public testing::Test {
 protected:
  void SetUp() override {
    setenv("TESSALY_BATCH", "1", 1);
    char buffer[4096];
    ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
    previous = buffer;
    folder = testing::TempDir() + "tessaly_music_" +
             testing::UnitTest::GetInstance()->current_test_info()->name();
    mkdir(folder.c_str(), 0755);
    mkdir((folder + "/music").c_str(), 0755);
    ASSERT_EQ(chdir(folder.c_str()), 0);
  }
  void TearDown() override {
    closeMusic(demo.music);
    demo.directing.sfxEnabled = false;
    ASSERT_EQ(chdir(previous.c_str()), 0);
  }

  std::string previous, folder;
};

TEST(MusicSeek, SampleOffsetIsTruncated) {
  EXPECT_EQ(musicSampleOffset(32.2), 1420020);
  EXPECT_EQ(musicSampleOffset(0.0), 0);
  EXPECT_EQ(musicSampleOffset(1.0 / kRate * 0.999), 0);
  EXPECT_EQ(musicSampleOffset(205.0), 9040500);
}

// Reads the spectrum of what is playing until `done` holds or five seconds
// have passed. The silent device plays in real time on a thread of its own,
// which a busy machine can hold back longer than any fixed wait.
template <typename Done>
void updateSpectrumUntil(Done done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  do {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    updateSpectrum(demo.music, demo.clock.demoTime);
  } while (!done() && std::chrono::steady_clock::now() < end);
}

// "title: text" of the failure startMusic returned, or "" when it started.
std::string startFailure() {
  const std::optional<LoadFailure> failure = startMusic(demo.music, demo.directing.sfxEnabled);
  return failure ? failure->title + ": " + failure->text : "";
}

TEST_F(MusicStart, MissingMusicFileIsReturnedWithItsMessage) {
  EXPECT_EQ(startFailure(), "Ravok  : Problem initializing FMod. \nNo sound file.");
}

TEST_F(MusicStart, MusicFileWithoutAudioIsReturnedWithItsMessage) {
  test_tracks::writeBytes("music/Kelvane - Tessaly.mp3", std::vector<char>(5000, '\x17'));
  EXPECT_EQ(startFailure(), "Ravok  : Problem initializing FMod. \nNo sound file.");
}

TEST_F(MusicStart, MissingSoundEffectIsReturnedWithItsMessage) {
  test_tracks::writeBytes("music/Kelvane - Tessaly.mp3",
                          test_tracks::readBytes(test_tracks::makeMp3(
                              "music_sfx_missing", test_tracks::bandSine(8, 0.5), kRate / 2)));
  demo.directing.sfxEnabled = true;
  EXPECT_EQ(startFailure(), "Ravok  : Problem initializing FMod. \nNo sfx file.");
}

TEST_F(MusicStart, PlayingMusicFeedsTheSpectrum) {
  test_tracks::writeBytes("music/Kelvane - Tessaly.mp3",
                          test_tracks::readBytes(test_tracks::makeMp3(
                              "music_tone", test_tracks::bandSine(8, 0.5), 3 * kRate)));
  ASSERT_EQ(startFailure(), "");
  updateSpectrumUntil([] { return demo.music.spectrum && demo.music.spectrum[8] > 0.4f; });
  ASSERT_NE(demo.music.spectrum, nullptr);
  EXPECT_NEAR(demo.music.spectrum[8], 0.5f, 0.02f);
  EXPECT_NEAR(spectrumAtTime(demo.music, 1.0)[8], 0.5f, 0.02f);
  EXPECT_EQ(spectrumAtTime(demo.music, 3.1)[8], 0.0f);  // past the end of the track

  // The end fade's last volume silences the music.
  setMusicVolume(demo.music, 0);
  updateSpectrumUntil([] { return demo.music.spectrum[8] == 0.0f; });
  EXPECT_EQ(demo.music.spectrum[8], 0.0f);
}

// Frames run without a part, so no GL is needed; the frame input still gets
// the spectrum of what is playing, and a seek takes it to the new place.
TEST_F(MusicStart, FrameInputFollowsTheMusicAndItsSeeks) {
  auto twoTones = [](int64_t frame) {
    return frame < kRate ? test_tracks::bandSine(8, 0.5)(frame)
                         : test_tracks::bandSine(30, 0.5)(frame);
  };
  test_tracks::writeBytes(
      "music/Kelvane - Tessaly.mp3",
      test_tracks::readBytes(test_tracks::makeMp3("music_two_tones", twoTones, 3 * kRate)));
  ASSERT_EQ(startFailure(), "");
  // Frames the decoder has not reached play as silence: the spectrum is the
  // track's only once it is decoded that far.
  platform::waitDecoded(demo.music.stream);
  timerReset(demo.clock);
  demo.clock.lastTimerValue = timerRead(demo.clock);
  demo.clock.demoTime = 0.0;
  // Runs frames until the frame input holds the tone of band `band` alone,
  // or five seconds have passed (the output may be held back on a busy machine).
  auto runUntilTone = [](int band) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    do {
      runFrame(demo, timerRead(demo.clock));
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::abs(demo.input.frameInput.spectrum[band] - 0.5f) >= 0.02f &&
             std::chrono::steady_clock::now() < end);
  };
  runUntilTone(8);
  EXPECT_NEAR(demo.input.frameInput.spectrum[8], 0.5f, 0.02f);
  EXPECT_LT(demo.input.frameInput.spectrum[30], 0.01f);

  seekMusic(demo.music, 2.0);
  runUntilTone(30);
  EXPECT_LT(demo.input.frameInput.spectrum[8], 0.01f);
  EXPECT_NEAR(demo.input.frameInput.spectrum[30], 0.5f, 0.02f);
}

// A part that notes where the music stands while it draws.
class MusicAtDraw : public parts {
 public:
  void drawFrame(const FrameRecord&, RenderResources&, Random&) override {
    heard = musicPosition(demo.music);
  }
  PartLoad initResources(RenderResources&, Random&) override { return {}; }
  double heard = 0.0;
};

// A seek moves the music before the frame is drawn, to within the one mixing
// block the output may take meanwhile, and the frame reads the spectrum of
// its new time, not of the old place still playing. A pause holds it.
TEST_F(MusicStart, ASeekTakesTheMusicAndTheSpectrumToTheFrame) {
  auto twoTones = [](int64_t frame) {
    return test_tracks::bandSine(frame < 4 * kRate ? 8 : 30, 0.5)(frame);
  };
  test_tracks::writeBytes(
      "music/Kelvane - Tessaly.mp3",
      test_tracks::readBytes(test_tracks::makeMp3("music_seek", twoTones, 8 * kRate)));
  ASSERT_EQ(startFailure(), "");
  platform::waitDecoded(demo.music.stream);
  MusicAtDraw part;
  demo.partSlots.slot[0] = &part;
  for (double target : {6.5, 1.25}) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    demo.clock.seekTarget = target;
    const auto before = std::chrono::steady_clock::now();
    runFrame(demo, 0.0);
    const double now = musicPosition(demo.music);
    // A loaded machine may take longer to get here; the output runs on.
    const double waited =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
    const double sample = 1.0 / kRate;  // the offset is truncated to a sample
    EXPECT_GE(part.heard, target - sample) << target << ": drawn before the music moved";
    EXPECT_LE(now, target + 1024.0 / kRate + waited) << target;
    EXPECT_NEAR(demo.input.frameInput.spectrum[target > 4.0 ? 30 : 8], 0.5f, 0.02f) << target;
  }
  demo.partSlots.slot[0] = nullptr;

  // Paused, the music fades out over the ramp and then stands still. The
  // output thread may not run for a while on a loaded machine, so the test
  // waits until the fade has been mixed and the position has settled rather
  // than for a fixed time.
  const double before = musicPosition(demo.music);
  pauseMusic(demo.music, true);
  const double ramp = static_cast<double>(platform::kRampFrames) / kRate;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  double held = musicPosition(demo.music);
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const double now = musicPosition(demo.music);
    if (now >= before + ramp && now == held) break;
    held = now;
    ASSERT_LT(std::chrono::steady_clock::now(), deadline)
        << "the paused music did not settle: " << before << " s when paused, " << now << " s now";
  }
  // It moved by the ramp and at most the block being mixed when the pause came.
  EXPECT_LE(held, before + ramp + 2048.0 / kRate);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(musicPosition(demo.music), held);
}

// With the start bookmark on, the first frame takes the music to the demo
// clock: to the preset time for 3 (past the end of this short track, so
// silence), to the clock as it stands for 0 and 6, which name no preset.
TEST_F(MusicStart, FirstFrameSeeksTheMusicWheneverTheBookmarkIsOn) {
  auto twoTones = [](int64_t frame) {
    return frame < 5 * kRate ? test_tracks::bandSine(8, 0.5)(frame)
                             : test_tracks::bandSine(30, 0.5)(frame);
  };
  test_tracks::writeBytes(
      "music/Kelvane - Tessaly.mp3",
      test_tracks::readBytes(test_tracks::makeMp3("music_bookmark", twoTones, 7 * kRate)));
  ASSERT_EQ(startFailure(), "");
  platform::waitDecoded(demo.music.stream);
  for (int bookmark : {0, 3, 6}) {
    SCOPED_TRACE(bookmark);
    seekMusic(demo.music, 6.0);  // where the first frame must take the music away from
    demo.directing.startBookmark = bookmark;
    demo.clock.frameCount = 0;
    demo.clock.demoTime = 0.0;
    timerReset(demo.clock);
    demo.clock.lastTimerValue = timerRead(demo.clock);
    runFrame(demo, timerRead(demo.clock));
    updateSpectrumUntil([&] {
      const float low = demo.music.spectrum[8];
      return demo.music.spectrum[30] < 0.01f &&
             (bookmark == 3 ? low < 0.01f : std::abs(low - 0.5f) < 0.02f);
    });
    EXPECT_LT(demo.music.spectrum[30], 0.01f);
    if (bookmark == 3)
      EXPECT_LT(demo.music.spectrum[8], 0.01f);
    else
      EXPECT_NEAR(demo.music.spectrum[8], 0.5f, 0.02f);
  }
  demo.directing.startBookmark = -4;
}

}  // namespace
