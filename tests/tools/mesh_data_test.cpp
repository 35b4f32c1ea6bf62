// The committed meshes: up to date with the generator, four-cornered v//n
// panels, wound so the rings stand out where the scenes need them, and the
// letters in the tunnel camera's view.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/meshgen/show_meshes.h"

using meshgen::Point3;
using meshgen::QuadFace;
using meshgen::QuadMesh;

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string meshPath(const std::string& name) {
  return std::string(TESSALY_SOURCE_DIR) + "/data/newneomeshes/" + name;
}

// Strict reader of the committed form: v and vn lines, faces of exactly four
// "a//n" corners whose indices exist. Records a test failure on anything else.
struct ParsedMesh {
  QuadMesh mesh;
  std::vector<Point3> faceNormals;  // the vn each face refers to
};

ParsedMesh parseStrict(const std::string& name) {
  ParsedMesh parsed;
  std::vector<Point3> positions, normals;
  std::istringstream in(readFile(meshPath(name)));
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    std::istringstream words(line);
    std::string kind;
    words >> kind;
    if (kind == "v" || kind == "vn") {
      Point3 p;
      EXPECT_TRUE(static_cast<bool>(words >> p.x >> p.y >> p.z)) << name << ":" << lineNumber;
      (kind == "v" ? positions : normals).push_back(p);
    } else if (kind == "f") {
      QuadFace face;
      int corners = 0, normalIndex = 0;
      std::string corner;
      while (words >> corner) {
        int v = 0, n = 0;
        char tail = 0;
        bool form = std::sscanf(corner.c_str(), "%d//%d%c", &v, &n, &tail) == 2;
        EXPECT_TRUE(form) << name << ":" << lineNumber << " corner " << corner;
        EXPECT_TRUE(v >= 1 && v <= static_cast<int>(positions.size()) && n >= 1 &&
                    n <= static_cast<int>(normals.size()))
            << name << ":" << lineNumber;
        if (!form || v < 1 || v > static_cast<int>(positions.size()) || n < 1 ||
            n > static_cast<int>(normals.size()) || corners == 4) {
          ++corners;
          continue;
        }
        face.corner[corners++] = positions[v - 1];
        normalIndex = n;
      }
      EXPECT_EQ(corners, 4) << name << ":" << lineNumber;
      if (corners == 4 && normalIndex > 0) {
        parsed.mesh.faces.push_back(face);
        parsed.faceNormals.push_back(normals[normalIndex - 1]);
      }
    } else {
      EXPECT_TRUE(kind.empty() || kind[0] == '#') << name << ":" << lineNumber << " " << line;
    }
  }
  return parsed;
}

// Direction the rings of a face stand out in: scenes other than the opening
// hand the corners over reversed, which flips the winding normal.
Point3 ringDirection(const QuadFace& face, bool reversedByScene) {
  Point3 n = meshgen::windingNormal(face);
  return reversedByScene ? n : n * -1;
}

bool insideView(const meshgen::ViewAt& view, Point3 p) {
  Point3 forward = meshgen::normalized(view.target - view.eye);
  Point3 right = meshgen::normalized(meshgen::cross(forward, view.up));
  Point3 up = meshgen::cross(right, forward);
  Point3 d = p - view.eye;
  double depth = meshgen::dot(d, forward);
  double tanHalf = std::tan(17.5 * 3.14159265358979 / 180);
  return depth > 1 && std::fabs(meshgen::dot(d, up)) <= depth * tanHalf &&
         std::fabs(meshgen::dot(d, right)) <= depth * tanHalf * 16.0 / 9.0;
}

}  // namespace

TEST(MeshData, CommittedFilesAreTheGeneratorsOutputAndItIsDeterministic) {
  std::vector<meshgen::NamedMesh> first = meshgen::buildShowMeshes();
  std::vector<meshgen::NamedMesh> second = meshgen::buildShowMeshes();
  ASSERT_EQ(first.size(), 8u);
  for (size_t i = 0; i < first.size(); ++i) {
    std::string text = meshgen::objText(first[i].mesh, first[i].fileName);
    EXPECT_EQ(text, meshgen::objText(second[i].mesh, second[i].fileName)) << first[i].fileName;
    EXPECT_EQ(text, readFile(meshPath(first[i].fileName)))
        << first[i].fileName << " is stale: rebuild the regenerate_meshes target";
  }
}

TEST(MeshData, EveryFaceIsAFlatConvexFourCorneredPanelWithItsOwnNormal) {
  struct Range {
    const char* name;
    size_t low, high;
  };
  const Range ranges[] = {{"test2.obj", 60, 120},    {"cube.obj", 50, 100},
                          {"cube2.obj", 200, 400},   {"realcube.obj", 60, 150},
                          {"surround.obj", 60, 150}, {"R.obj", 10, 40},
                          {"V.obj", 10, 40},         {"K.obj", 10, 40}};
  for (const Range& range : ranges) {
    ParsedMesh parsed = parseStrict(range.name);
    EXPECT_GE(parsed.mesh.faces.size(), range.low) << range.name;
    EXPECT_LE(parsed.mesh.faces.size(), range.high) << range.name;
    for (size_t i = 0; i < parsed.mesh.faces.size(); ++i) {
      const QuadFace& f = parsed.mesh.faces[i];
      Point3 n = meshgen::windingNormal(f);
      // Flat: the third corner lies in the plane of the other three.
      EXPECT_NEAR(meshgen::dot(f.corner[2] - f.corner[0], n), 0.0, 1e-4) << range.name << " " << i;
      // Convex and consistently wound: every corner turns the same way.
      for (int k = 0; k < 4; ++k) {
        Point3 a = f.corner[(k + 1) % 4] - f.corner[k],
               b = f.corner[(k + 2) % 4] - f.corner[(k + 1) % 4];
        EXPECT_GT(meshgen::dot(meshgen::cross(a, b), n), 0.0) << range.name << " " << i;
      }
      EXPECT_GT(meshgen::dot(parsed.faceNormals[i], n), 0.999) << range.name << " " << i;
    }
  }
}

TEST(MeshData, RingsStandOutTowardTheViewerOrOutOfTheCubes) {
  // Opening wall, corners in file order, camera on +z: rings toward +z.
  for (const QuadFace& f : parseStrict("test2.obj").mesh.faces) {
    EXPECT_GT(ringDirection(f, false).z, 0.99);
    EXPECT_NEAR(f.corner[0].z, 0.0, 1e-6);
  }
  // Opening cube around (0, 0, -6.5), corners in file order: rings outward.
  for (const QuadFace& f : parseStrict("cube.obj").mesh.faces) {
    Point3 out = meshgen::faceCentre(f) - Point3{0, 0, -6.5};
    EXPECT_GT(meshgen::dot(ringDirection(f, false), out), 0.0);
  }
  // Cubes of the later scenes, corners reversed: rings outward.
  for (const char* name : {"cube2.obj", "realcube.obj"}) {
    for (const QuadFace& f : parseStrict(name).mesh.faces) {
      EXPECT_GT(meshgen::dot(ringDirection(f, true), meshgen::faceCentre(f)), 0.0) << name;
    }
  }
  // The shell surrounds the camera: rings inward.
  for (const QuadFace& f : parseStrict("surround.obj").mesh.faces) {
    Point3 c = meshgen::faceCentre(f);
    EXPECT_LT(meshgen::dot(ringDirection(f, true), c), 0.0);
    double radius = std::sqrt(meshgen::dot(c, c));
    EXPECT_GT(radius, 12.0);
    EXPECT_LT(radius, 16.0);
  }
}

TEST(MeshData, FallingCubeSpansTheArrivalRangeAndHasARingBand) {
  QuadMesh cube2 = parseStrict("cube2.obj").mesh;
  double lowZ = 1e9, highZ = -1e9;
  int band = 0;
  for (const QuadFace& f : cube2.faces) {
    lowZ = std::min(lowZ, f.corner[0].z);
    highZ = std::max(highZ, f.corner[0].z);
    band += std::fabs(f.corner[0].x) <= 1.4;
  }
  EXPECT_LT(lowZ, -4.5);
  EXPECT_GT(highZ, 4.5);
  EXPECT_GE(band, 20);
  EXPECT_LE(band, static_cast<int>(cube2.faces.size()) / 2);
}

TEST(MeshData, LettersAreInViewAndFacingTheTunnelCameraThroughTheirWindow) {
  QuadMesh letters[3] = {parseStrict("R.obj").mesh, parseStrict("V.obj").mesh,
                         parseStrict("K.obj").mesh};
  for (double t = 100.0; t < 116.0; t += 0.25) {
    meshgen::ViewAt view = meshgen::tunnelViewAt(t);
    // Each letter has a whole copy in view, facing the camera, at this moment.
    for (const QuadMesh& letter : letters) {
      size_t perStation = letter.faces.size() / meshgen::letterStations().size();
      bool seen = false;
      for (size_t start = 0; start < letter.faces.size(); start += perStation) {
        bool whole = true;
        for (size_t i = start; i < start + perStation; ++i) {
          const QuadFace& f = letter.faces[i];
          Point3 toEye = view.eye - meshgen::faceCentre(f);
          whole = whole && meshgen::dot(ringDirection(f, true), toEye) > 0;
          for (const Point3& p : f.corner) whole = whole && insideView(view, p);
        }
        seen = seen || whole;
      }
      EXPECT_TRUE(seen) << "t = " << t;
    }
    // The camera never comes within the near plane of a letter: sample each
    // face on a grid of points between its corners.
    for (const QuadMesh& letter : letters) {
      for (const QuadFace& f : letter.faces) {
        for (double a = 0; a <= 1; a += 0.25) {
          for (double b = 0; b <= 1; b += 0.25) {
            Point3 p = (f.corner[0] * (1 - a) + f.corner[1] * a) * (1 - b) +
                       (f.corner[3] * (1 - a) + f.corner[2] * a) * b;
            Point3 d = p - view.eye;
            EXPECT_GT(std::sqrt(meshgen::dot(d, d)), 1.5) << "t = " << t;
          }
        }
      }
    }
  }
}

TEST(MeshData, NumbersAreWrittenWithSixDecimalsWithoutNegativeZero) {
  EXPECT_EQ(meshgen::formatFixed6(1.25), "1.250000");
  EXPECT_EQ(meshgen::formatFixed6(-3.0000004), "-3.000000");
  EXPECT_EQ(meshgen::formatFixed6(-0.0000004), "0.000000");
  EXPECT_EQ(meshgen::formatFixed6(-0.0000006), "-0.000001");
  EXPECT_EQ(meshgen::formatFixed6(12.3456789), "12.345679");
}
