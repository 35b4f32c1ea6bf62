// The sound system on MP3s made at test time: decoding, damaged files, and
// playback through SDL's silent dummy output (the test environment sets
// SDL_AUDIODRIVER=dummy).
#include "platform/sound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "support/test_tracks.h"

namespace {

using platform::SoundSystem;
using test_tracks::bandSine;
using test_tracks::kRate;
using test_tracks::makeMp3;

std::vector<float> copyBands(const float* bands) {
  return std::vector<float>(bands, bands + platform::kSpectrumBands);
}

void sleepSeconds(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Whether `done` comes to hold within five seconds. The silent output mixes in
// real time on a thread of its own, which a busy machine can hold back longer
// than any fixed wait; a test waits for what the mixer must have done instead.
template <typename Done>
bool eventually(Done done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// Whether the channel has mixed a whole block past the given position. The
// position moves on whether or not the decoder has reached the frames (they
// play as silence until it has), so a test that reads the live spectrum
// waits for its streams' decoding first (waitDecoded): otherwise, on a busy
// machine, the block it reads can be silence though the channel played on.
auto mixedPast(const SoundSystem& sound, int channel, int64_t position) {
  return [&sound, channel, position] { return sound.position(channel) >= position + 1024; };
}

// The live spectrum together with the channel position it belongs to: read
// again until no mix ran in between.
std::vector<float> liveSpectrum(SoundSystem& sound, int channel, int64_t& position) {
  for (;;) {
    const int64_t before = sound.position(channel);
    std::vector<float> bands = copyBands(sound.spectrum());
    position = sound.position(channel);
    if (position == before) return bands;
  }
}

class SoundDecoding : public testing::Test {
 protected:
  static void SetUpTestSuite() { tone = makeMp3("decode_tone", bandSine(8, 0.5), 2 * kRate); }
  static std::string tone;
};
std::string SoundDecoding::tone;

TEST_F(SoundDecoding, StreamHasTheEncodedLengthAndLevel) {
  SoundSystem sound;
  platform::Sound* stream = sound.openStream(tone.c_str());
  ASSERT_NE(stream, nullptr);
  platform::waitDecoded(stream);
  // The encoder's delay and padding are removed: frame n is frame n of the source.
  EXPECT_EQ(platform::soundLength(stream), 2 * kRate);
  const std::vector<float> bands = copyBands(sound.spectrumAt(stream, kRate));
  EXPECT_NEAR(bands[8], 0.5f, 0.02f);
  EXPECT_LT(bands[40], 0.01f);
  // Before the start and after the end there is only silence.
  EXPECT_EQ(copyBands(sound.spectrumAt(stream, 0)), std::vector<float>(512, 0.0f));
  EXPECT_EQ(copyBands(sound.spectrumAt(stream, 2 * kRate + 1024)), std::vector<float>(512, 0.0f));

  // A sample is whole before loadSample returns.
  platform::Sound* sample = sound.loadSample(tone.c_str());
  ASSERT_NE(sample, nullptr);
  EXPECT_EQ(platform::soundLength(sample), 2 * kRate);
}

TEST_F(SoundDecoding, FilesWithoutAudioAreRefused) {
  const std::string dir = testing::TempDir();
  test_tracks::writeBytes(dir + "tessaly_sound_empty.mp3", {});
  test_tracks::writeBytes(dir + "tessaly_sound_text.mp3", std::vector<char>(4000, 'x'));
  for (const std::string& path :
       {dir + "tessaly_sound_missing.mp3", dir + "tessaly_sound_empty.mp3",
        dir + "tessaly_sound_text.mp3", dir}) {
    SoundSystem sound;
    EXPECT_EQ(sound.openStream(path.c_str()), nullptr) << path;
    EXPECT_EQ(sound.loadSample(path.c_str()), nullptr) << path;
  }
}

TEST_F(SoundDecoding, DamagedFilesDecodeWhatTheyCan) {
  const std::vector<char> bytes = test_tracks::readBytes(tone);
  ASSERT_GT(bytes.size(), 10000u);
  const std::string path = testing::TempDir() + "tessaly_sound_damaged.mp3";

  // Cut in the middle of a frame: about the first half plays.
  test_tracks::writeBytes(path,
                          std::vector<char>(bytes.begin(), bytes.begin() + bytes.size() / 2 + 77));
  {
    SoundSystem sound;
    platform::Sound* stream = sound.openStream(path.c_str());
    ASSERT_NE(stream, nullptr);
    platform::waitDecoded(stream);
    EXPECT_NEAR(platform::soundLength(stream), kRate, 0.1 * kRate);
    EXPECT_NEAR(sound.spectrumAt(stream, kRate / 2)[8], 0.5f, 0.02f);
  }

  // Runs of random bytes over the middle, the headers included.
  std::mt19937 random(12345);
  for (int trial = 0; trial < 8; ++trial) {
    std::vector<char> damaged = bytes;
    for (int run = 0; run < 20; ++run) {
      const size_t at = 400 + random() % (damaged.size() - 800);
      for (size_t i = at; i < at + 200 && i < damaged.size(); ++i)
        damaged[i] = static_cast<char>(random());
    }
    test_tracks::writeBytes(path, damaged);
    SoundSystem sound;
    platform::Sound* stream = sound.openStream(path.c_str());
    if (!stream) continue;
    platform::waitDecoded(stream);
    EXPECT_LE(platform::soundLength(stream), 3 * kRate);
    sound.spectrumAt(stream, kRate);
  }
}

class SoundPlayback : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    lowTone = makeMp3("play_low", bandSine(8, 0.5), 4 * kRate);
    highTone = makeMp3("play_high", bandSine(100, 0.8), 4 * kRate);
    blip = makeMp3("play_blip", bandSine(20, 0.5), kRate / 5);
  }
  void SetUp() override { ASSERT_TRUE(sound.init(kRate, 32)); }

  static std::string lowTone, highTone, blip;
  SoundSystem sound;
};
std::string SoundPlayback::lowTone, SoundPlayback::highTone, SoundPlayback::blip;

TEST_F(SoundPlayback, AdvancesAtRealTimePace) {
  platform::Sound* stream = sound.openStream(lowTone.c_str());
  ASSERT_NE(stream, nullptr);
  sound.play(1, stream);
  const auto start = std::chrono::steady_clock::now();
  const int64_t first = sound.position(1);
  sleepSeconds(1.0);
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double played = static_cast<double>(sound.position(1) - first) / kRate;
  EXPECT_NEAR(played / elapsed, 1.0, 0.1) << "played " << played << " s in " << elapsed << " s";
}

TEST_F(SoundPlayback, LiveSpectrumAgreesWithTheDecodedTrack) {
  // Silence before anything plays.
  EXPECT_EQ(copyBands(sound.spectrum()), std::vector<float>(512, 0.0f));

  platform::Sound* stream = sound.openStream(lowTone.c_str());
  ASSERT_NE(stream, nullptr);
  platform::waitDecoded(stream);
  sound.play(1, stream);
  sound.setPosition(1, kRate);  // a jump, so the agreement also holds after seeking
  ASSERT_TRUE(eventually(mixedPast(sound, 1, kRate + platform::kRampFrames)));
  int64_t position = 0;
  const std::vector<float> live = liveSpectrum(sound, 1, position);
  EXPECT_GT(position, kRate + 1024 + platform::kRampFrames);
  const std::vector<float> decoded = copyBands(sound.spectrumAt(stream, position));
  for (int k = 0; k < platform::kSpectrumBands; ++k) EXPECT_NEAR(live[k], decoded[k], 1e-6f) << k;
  EXPECT_NEAR(live[8], 0.5f, 0.02f);
}

TEST_F(SoundPlayback, ChannelsMixWithTheirVolumes) {
  platform::Sound* low = sound.openStream(lowTone.c_str());
  platform::Sound* high = sound.openStream(highTone.c_str());
  ASSERT_NE(low, nullptr);
  ASSERT_NE(high, nullptr);
  platform::waitDecoded(low);
  platform::waitDecoded(high);
  sound.play(1, low);
  sound.play(2, high);
  sound.setVolume(2, 127);
  ASSERT_TRUE(eventually(mixedPast(sound, 1, platform::kRampFrames)));
  ASSERT_TRUE(eventually(mixedPast(sound, 2, platform::kRampFrames)));
  const std::vector<float> bands = copyBands(sound.spectrum());
  EXPECT_NEAR(bands[8], 0.5f, 0.02f);
  EXPECT_NEAR(bands[100], 0.8f * 127 / 255, 0.02f);

  // Volume 0 silences a channel completely once its ramp has run.
  sound.setVolume(1, 0);
  sound.setVolume(2, 0);
  const int64_t silencedAt = sound.position(1);
  ASSERT_TRUE(eventually(mixedPast(sound, 1, silencedAt + platform::kRampFrames)));
  EXPECT_EQ(copyBands(sound.spectrum()), std::vector<float>(512, 0.0f));
  EXPECT_TRUE(sound.isPlaying(1));
}

TEST_F(SoundPlayback, SeekContinuesFromTheGivenFrame) {
  platform::Sound* stream = sound.openStream(lowTone.c_str());
  ASSERT_NE(stream, nullptr);
  sound.play(1, stream);
  sleepSeconds(0.1);
  sound.setPosition(1, 3 * kRate);
  const int64_t after = sound.position(1);
  EXPECT_GE(after, 3 * kRate);
  EXPECT_LT(after, 3 * kRate + kRate / 10);
}

TEST_F(SoundPlayback, ChannelStopsAtTheEndOfItsSound) {
  platform::Sound* stream = sound.openStream(blip.c_str());
  ASSERT_NE(stream, nullptr);
  sound.play(2, stream);
  EXPECT_TRUE(eventually([&] { return !sound.isPlaying(2); })) << "still playing";
  EXPECT_EQ(sound.position(2), kRate / 5);
  // The block that held the sound's end is followed by silence.
  EXPECT_TRUE(
      eventually([&] { return copyBands(sound.spectrum()) == std::vector<float>(512, 0.0f); }));
  // Moving it back inside its sound plays it again.
  sound.setPosition(2, 0);
  EXPECT_TRUE(sound.isPlaying(2));
}

TEST(SoundOutput, FallsBackToSilentOutputWhenNoDeviceOpens) {
  const char* previous = std::getenv("SDL_AUDIODRIVER");
  const std::string saved = previous ? previous : "";
  setenv("SDL_AUDIODRIVER", "no-such-audio-driver", 1);
  SoundSystem sound;
  testing::internal::CaptureStderr();
  const bool started = sound.init(kRate, 32);
  const std::string warning = testing::internal::GetCapturedStderr();
  if (previous)
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
  else
    unsetenv("SDL_AUDIODRIVER");
  ASSERT_TRUE(started);
  EXPECT_NE(warning.find("no audio device"), std::string::npos) << warning;

  platform::Sound* stream = sound.openStream(makeMp3("fallback", bandSine(8, 0.5), kRate).c_str());
  ASSERT_NE(stream, nullptr);
  sound.play(1, stream);
  EXPECT_TRUE(eventually([&] { return sound.position(1) > kRate / 20; }))
      << "the output stands still";
}

}  // namespace
