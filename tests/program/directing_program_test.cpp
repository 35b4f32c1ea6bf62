// The program itself, run for the last half second of the show in a copy of
// the data pack that has the tools' "c:" and "C:" folders: the files it
// leaves there follow the developer switches this build was configured with
// (none in the delivered build).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/scratch_folder.h"

namespace fs = std::filesystem;

TEST(WholeProgram, WritesTheToolFilesOfItsSwitchesOnly) {
  ScratchFolder folder;
  fs::copy(TESSALY_BINARY_DIR "/data", "data", fs::copy_options::recursive);
  fs::create_directories("data/c:/logs");
  fs::create_directories("data/C:/Morvane/textures");
  const std::string command = "TESSALY_BATCH=1 SDL_AUDIODRIVER=dummy " TESSALY_BINARY_DIR
                              "/tessaly --no-dialog --data data --start 204.5 > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  // The show ends by itself, without the end fade that saves the tracks.
  EXPECT_FALSE(fs::exists("data/state.txt"));

  if (TESSALY_STATS) {
    const std::string log = readText("data/c:/logs/varnholt2.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1 + 3 * 2400);
  } else {
    EXPECT_TRUE(fs::is_empty("data/c:/logs"));
  }
  if (TESSALY_ASSET_LIST) {
    const std::string report = readText("data/c:/3dsjpglist4.txt");
    EXPECT_NE(report.find("textures/noise.jpg (512,512) @ 10 position. \n"), std::string::npos);
    EXPECT_NE(report.find("Total sorted : 2"), std::string::npos);
    EXPECT_EQ(readText("data/C:/Morvane/textures/noise.jpg"), readText("data/textures/noise.jpg"));
  } else {
    EXPECT_FALSE(fs::exists("data/c:/3dsjpglist4.txt"));
    EXPECT_TRUE(fs::is_empty("data/C:/Morvane/textures"));
  }
}
