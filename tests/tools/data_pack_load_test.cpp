// The committed meshes and images load through the show's own OBJ loader and
// JPEG decoder into what the generators meant.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "assets/jpeg_decoder.h"
#include "assets/jpeg_stream.h"
#include "assets/obj_loader.h"
#include "tools/imagegen/show_images.h"
#include "tools/meshgen/show_meshes.h"

TEST(DataPackLoad, EveryMeshBecomesItsPanelsInTheShowsLoader) {
  for (const meshgen::NamedMesh& named : meshgen::buildShowMeshes()) {
    ObjMesh mesh;
    ASSERT_TRUE(mesh.loadObj(
        std::string(TESSALY_SOURCE_DIR) + "/data/newneomeshes/" + named.fileName, false))
        << named.fileName;
    ASSERT_EQ(mesh.quads.size(), named.mesh.faces.size()) << named.fileName;
    for (size_t i = 0; i < mesh.quads.size(); ++i) {
      for (int k = 0; k < 4; ++k) {
        const meshgen::Point3& want = named.mesh.faces[i].corner[k];
        size_t at = 3 * static_cast<size_t>(mesh.quads[i].corners[k]);
        ASSERT_LT(at + 2, mesh.positions.size()) << named.fileName;
        EXPECT_NEAR(mesh.positions[at], want.x, 1e-5) << named.fileName << " face " << i;
        EXPECT_NEAR(mesh.positions[at + 1], want.y, 1e-5) << named.fileName << " face " << i;
        EXPECT_NEAR(mesh.positions[at + 2], want.z, 1e-5) << named.fileName << " face " << i;
      }
    }
  }
}

TEST(DataPackLoad, EveryImageDecodesInTheShowsDecoderCloseToItsSource) {
  for (const imagegen::NamedImage& named : imagegen::buildShowImages()) {
    std::string path = std::string(TESSALY_SOURCE_DIR) + "/data/textures/" + named.fileName;
    jpeg_decoder_file_stream stream;
    ASSERT_TRUE(stream.open(path.c_str())) << path;
    auto decoder = std::make_unique<JpegDecoder>(&stream, true);
    ASSERT_EQ(decoder->errorCode(), 0) << path;
    ASSERT_EQ(decoder->width(), named.image.width);
    ASSERT_EQ(decoder->height(), named.image.height);
    ASSERT_EQ(decoder->begin(), 0) << path;
    int worst = 0;
    for (int y = 0; y < named.image.height; ++y) {
      const uint8_t* line = nullptr;
      int length = 0;
      ASSERT_EQ(decoder->decode(&line, &length), 0) << path << " row " << y;
      ASSERT_EQ(length, 4 * named.image.width);
      for (int x = 0; x < named.image.width; ++x) {
        worst = std::max(worst, std::abs(line[4 * x] - named.image.at(x, y)));
      }
    }
    // The encoder's loss at the data pack's quality stays within a few levels.
    EXPECT_LE(worst, 12) << path;
  }
}
