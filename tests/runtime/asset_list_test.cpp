// The asset list tool: the report's sections and totals, the sort, and the
// collection copies that never overwrite and never create folders.
#include "runtime/asset_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "runtime/demo_state.h"
#include "runtime/timer.h"
#include "support/scratch_folder.h"

namespace {

// The show's state these tests own, as the program's entry owns it.
DemoState demo;

int64_t fakeCounter() { return 2500000; }
int64_t fakeFrequency() { return 1000000; }

class AssetList : public ::testing::Test {
 protected:
  void SetUp() override {
    demo = DemoState();
    // The timer reads 2.5 s; loading began at 0.5 s.
    setCounterSource({fakeCounter, fakeFrequency});
    demo.clock.loadSeconds = 0.5;
  }
  void TearDown() override {
    setCounterSource(platformCounterSource());
    demo = DemoState();
  }
  void add(const std::string& path, int slot, int width, int height, int kind = 0) {
    demo.directing.loadedImages.push_back({path, slot, width, height, kind});
  }
  ScratchFolder folder;
};

TEST_F(AssetList, NoImagesGiveHeadingsAndZeroTotals) {
  std::filesystem::create_directories("C:/Morvane");
  demo.directing.assetListFile.open("report.txt");
  writeAssetList(demo.directing, demo.clock);
  EXPECT_FALSE(demo.directing.assetListFile.stream().is_open());
  EXPECT_EQ(readText("report.txt"),
            "\n-- JPG LIST\n"
            "\n-- 3DS LIST\n"
            "\nTotal : 0 files,  0 bytes\n"
            "Loadtime :2\n\n\n"
            "-- JPG Sorted\n"
            "\n-- JPG LIST\n"
            "\n-- 3DS LIST\n"
            "Total sorted : 0");
  EXPECT_TRUE(std::filesystem::is_empty("C:/Morvane"));
}

TEST_F(AssetList, ReportSortsCountsAndCopiesEachPathOnce) {
  for (const char* name : {"a.jpg", "a.jpg2", "b.jpg", "mesh.obj"}) writeText(name, name);
  std::filesystem::create_directories("C:/Morvane");
  writeText("C:/Morvane/b.jpg", "old");
  add("b.jpg", 12, 256, 256);
  add("a.jpg", 10, 4, 2);
  add("a.jpg2", 11, 1, 1);
  add("a.jpg", 13, 4, 2);
  add("missing.jpg", 14, 1, 1);
  add("mesh.obj", 3, 0, 0, 1);
  demo.directing.assetListFile.open("report.txt");
  writeAssetList(demo.directing, demo.clock);

  // Bytes: 196608 for the 256 x 256 image, 24 + 3 + 24 + 3 for the rest.
  EXPECT_EQ(readText("report.txt"),
            "\n-- JPG LIST\n"
            "b.jpg (256,256) @ 12 position. \n"
            "a.jpg (4,2) @ 10 position. \n"
            "a.jpg2 (1,1) @ 11 position. \n"
            "a.jpg (4,2) @ 13 position. \n"
            "missing.jpg (1,1) @ 14 position. \n"
            "\n-- 3DS LIST\n"
            "mesh.obj 3 position. \n"
            "\nTotal : 6 files,  196662 bytes\n"
            "Loadtime :2\n\n\n"
            "-- JPG Sorted\n"
            "Name  : a.jpg\n"
            "Name  : a.jpg\n"
            "Name  : a.jpg2\n"
            "Name  : b.jpg\n"
            "Name  : missing.jpg\n"
            "\n-- JPG LIST\n"
            "Name  : a.jpg\n"
            "Name  : a.jpg2\n"
            "Name  : b.jpg\n"
            "Name  : missing.jpg\n"
            "\n-- 3DS LIST\n"
            "Name  : mesh.obj\n"
            "Total sorted : 5");

  EXPECT_EQ(readText("C:/Morvane/a.jpg"), "a.jpg");
  EXPECT_EQ(readText("C:/Morvane/a.jpg2"), "a.jpg2");
  EXPECT_EQ(readText("C:/Morvane/b.jpg"), "old");  // an existing copy is kept
  EXPECT_EQ(readText("C:/Morvane/mesh.obj"), "mesh.obj");
  EXPECT_FALSE(std::filesystem::exists("C:/Morvane/missing.jpg"));

  // The list stays sorted, each record whole.
  ASSERT_EQ(demo.directing.loadedImages.size(), 6u);
  EXPECT_EQ(demo.directing.loadedImages[3].path, "b.jpg");
  EXPECT_EQ(demo.directing.loadedImages[3].width, 256);
  EXPECT_EQ(demo.directing.loadedImages[4].path, "mesh.obj");
  EXPECT_EQ(demo.directing.loadedImages[4].kind, 1);
}

TEST_F(AssetList, WithoutAReportFileTheCopiesStillHappenIntoExistingFolders) {
  std::filesystem::create_directories("textures");
  std::filesystem::create_directories("sub");
  std::filesystem::create_directories("C:/Morvane/textures");
  writeText("textures/noise.jpg", "noise");
  writeText("sub/x.jpg", "x");
  add("textures/noise.jpg", 27, 2, 2);
  add("sub/x.jpg", 12, 2, 2);
  demo.directing.assetListFile.open("c://3dsjpglist4.txt");  // no "c:" folder
  writeAssetList(demo.directing, demo.clock);
  EXPECT_FALSE(std::filesystem::exists("c:"));
  EXPECT_EQ(readText("C:/Morvane/textures/noise.jpg"), "noise");
  EXPECT_FALSE(std::filesystem::exists("C:/Morvane/sub"));
}

}  // namespace
