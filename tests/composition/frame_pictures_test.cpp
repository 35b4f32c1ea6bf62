// Whole frames of the show rendered by the program itself (--screenshot) and
// read back from their PNG files: the timeline's black moments, the first
// flash, and that a moment always renders the same picture.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;

  double meanBrightness() const {
    double sum = 0.0;
    for (unsigned char value : rgb) sum += value;
    return rgb.empty() ? 0.0 : sum / rgb.size();
  }
};

Picture readPng(const std::string& path) {
  Picture picture;
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
  image.format = PNG_FORMAT_RGB;
  picture.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) return Picture{};
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  return picture;
}

// Renders show time t at 640 x 360 and reads the picture back.
Picture renderAt(const std::string& time) {
  const std::string path = ::testing::TempDir() + "frame_" + time + ".png";
  std::remove(path.c_str());
  const std::string command = std::string("TESSALY_BATCH=1 SDL_AUDIODRIVER=dummy ") +
                              TESSALY_BINARY_DIR "/tessaly --width 640 --screenshot " + time + " " +
                              path + " > /dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  Picture picture = readPng(path);
  EXPECT_EQ(picture.width, 640) << path;
  EXPECT_EQ(picture.height, 360) << path;
  return picture;
}

TEST(FramePictures, TheDipIntoTheFinaleIsBlack) {
  EXPECT_LT(renderAt("132").meanBrightness(), 2.0);
}

TEST(FramePictures, TheEndFadeIsBlack) { EXPECT_LT(renderAt("204.7").meanBrightness(), 2.0); }

TEST(FramePictures, TheFirstFlashBrightensThePicture) {
  EXPECT_GT(renderAt("20.05").meanBrightness(), renderAt("19.95").meanBrightness() + 100.0);
}

TEST(FramePictures, TheSameMomentGivesTheSamePicture) {
  const Picture first = renderAt("50.25");
  const Picture second = renderAt("50.25");
  ASSERT_FALSE(first.rgb.empty());
  EXPECT_TRUE(first.rgb == second.rgb);
}

}  // namespace
