// Tests of the OBJ mesh loader: face forms and triangulation, indices,
// de-duplication, materials and batches, objects, bounds and normals, paths,
// number parsing under another locale, and malformed input.
#include "assets/obj_loader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "assets/obj_mesh_check.h"

namespace {

namespace fs = std::filesystem;

ObjMesh parse(const std::string& text, bool forceNormals = false) {
  ObjMesh mesh;
  EXPECT_TRUE(mesh.parseObj(text, forceNormals));
  EXPECT_EQ(objMeshProblem(mesh), "");
  return mesh;
}

// Position index each corner of triangle t was built from.
std::vector<int> trianglePositions(const ObjMesh& mesh, int t) {
  std::vector<int> result;
  for (int k = 0; k < 3; ++k) {
    const MeshVertex& v = mesh.vertices[mesh.triangles[3 * size_t(t) + size_t(k)]];
    for (int p = 0; p < mesh.positionCount; ++p) {
      if (std::equal(v.position, v.position + 3, &mesh.positions[3 * size_t(p)])) {
        result.push_back(p);
        break;
      }
    }
  }
  return result;
}

const char* kSquare =
    "v 0 0 0\n"
    "v 1 0 0\n"
    "v 1 1 0\n"
    "v 0 1 0\n"
    "v 0.5 0.5 0\n";

// A scratch folder removed at the end of the test.
struct ScratchDir {
  fs::path path;
  ScratchDir() {
    std::string name = fs::temp_directory_path() / "objtestXXXXXX";
    path = mkdtemp(name.data());
  }
  ~ScratchDir() { fs::remove_all(path); }
  std::string write(const std::string& relative, const std::string& text) const {
    fs::path file = path / relative;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
    return file.string();
  }
};

TEST(ObjLoaderFaces, FaceFormsTriangulateAndOnlyVnFacesGiveQuads) {
  std::string normals = std::string(kSquare) + "vn 0 0 1\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
  ObjMesh vn = parse(normals + "f 1//1 2//1 3//1 4//1\n");
  ASSERT_EQ(vn.triangleCount, 2);
  EXPECT_EQ(trianglePositions(vn, 0), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(trianglePositions(vn, 1), (std::vector<int>{0, 2, 3}));
  ASSERT_EQ(vn.quads.size(), 1u);
  EXPECT_EQ(std::vector<int>(vn.quads[0].corners, vn.quads[0].corners + 4),
            (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(vn.vertices[0].normal[2], 1.0f);

  ObjMesh vtn = parse(normals + "f 1/1/1 2/2/1 3/3/1 4/4/1\n");
  EXPECT_EQ(vtn.triangleCount, 2);
  EXPECT_TRUE(vtn.quads.empty());
  EXPECT_EQ(vtn.vertices[2].texCoord[0], 1.0f);
  EXPECT_EQ(vtn.vertices[2].texCoord[1], 1.0f);

  // v/t carries texture coordinates and no normals from the file.
  ObjMesh vt = parse(normals + "f 1/4 2/3 3/2\n");
  EXPECT_EQ(vt.triangleCount, 1);
  EXPECT_EQ(vt.vertices[0].texCoord[1], 1.0f);
  EXPECT_TRUE(vt.quads.empty());

  // Fan around the first corner; the quad holds the first three and the last corner.
  ObjMesh fan = parse(normals + "f 1//1 2//1 3//1 4//1 5//1\n");
  ASSERT_EQ(fan.triangleCount, 3);
  EXPECT_EQ(trianglePositions(fan, 2), (std::vector<int>{0, 3, 4}));
  EXPECT_EQ(std::vector<int>(fan.quads[0].corners, fan.quads[0].corners + 4),
            (std::vector<int>{0, 1, 2, 4}));
}

TEST(ObjLoaderFaces, NegativeIndicesCountBackFromTheLatestElement) {
  ObjMesh mesh = parse("v 0 0 0\nv 1 0 0\nv 0 1 0\nf -1 -2 -3\nv 0 0 1\nf -1 -2 -3\n");
  ASSERT_EQ(mesh.triangleCount, 2);
  EXPECT_EQ(trianglePositions(mesh, 0), (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(trianglePositions(mesh, 1), (std::vector<int>{3, 2, 1}));

  ObjMesh normals = parse("v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 1 0 0\nvn 0 1 0\nf 1//-2 2//-1 3//-1\n");
  EXPECT_EQ(normals.vertices[0].normal[0], 1.0f);
  EXPECT_EQ(normals.vertices[1].normal[1], 1.0f);
}

TEST(ObjLoaderVertices, SharedAttributesShareAVertexAndDifferentOnesSplit) {
  std::string base = std::string(kSquare) + "vn 0 0 1\nvn 0 0 -1\nvt 0 0\nvt 1 1\n";
  ObjMesh shared = parse(base + "f 1//1 2//1 3//1\nf 1//1 3//1 4//1\n");
  EXPECT_EQ(shared.vertices.size(), 4u);
  EXPECT_EQ(shared.vertexBuckets[0], (std::vector<int32_t>{0}));
  EXPECT_EQ(shared.vertexBuckets[2], (std::vector<int32_t>{2}));
  EXPECT_TRUE(shared.vertexBuckets[4].empty());

  ObjMesh splitNormal = parse(base + "f 1//1 2//1 3//1\nf 1//2 3//2 4//2\n");
  EXPECT_EQ(splitNormal.vertices.size(), 6u);
  EXPECT_EQ(splitNormal.vertexBuckets[0], (std::vector<int32_t>{0, 3}));
  EXPECT_EQ(splitNormal.vertexBuckets[2], (std::vector<int32_t>{2, 4}));
  EXPECT_EQ(splitNormal.triangles[3], 3u);

  ObjMesh splitTexture = parse(base + "f 1/1/1 2/1/1 3/1/1\nf 1/2/1 3/1/1 4/1/1\n");
  EXPECT_EQ(splitTexture.vertices.size(), 5u);
  EXPECT_EQ(splitTexture.vertexBuckets[0].size(), 2u);
}

TEST(ObjLoaderMaterials, DefaultMaterialAndUnknownNames) {
  ObjMesh plain = parse(std::string(kSquare) + "f 1 2 3\nf 1 3 4\n");
  ASSERT_EQ(plain.materials.size(), 1u);
  const MeshMaterial& standard = plain.materials[0];
  EXPECT_EQ(standard.name, "default");
  EXPECT_EQ(standard.ambient[0], 0.2f);
  EXPECT_EQ(standard.diffuse[3], 1.0f);
  EXPECT_EQ(standard.specular[2], 0.0f);
  EXPECT_EQ(standard.alpha, 1.0f);
  EXPECT_EQ(plain.materialIndex.at("default"), 0);
  EXPECT_EQ(plain.materialSlotCount, 0);
  ASSERT_EQ(plain.batchCount, 1);
  EXPECT_EQ(plain.batches[0].firstIndex, 0);
  EXPECT_EQ(plain.batches[0].triangleCount, 2);
  EXPECT_EQ(plain.batches[0].material, &plain.materials[0]);

  // Library statements only reserve nameless slots; an unknown name selects material 0.
  ObjMesh named = parse("mtllib a.mtl\nmtllib b.mtl\n" + std::string(kSquare) +
                        "usemtl shiny\nf 1 2 3\nusemtl\nf 1 3 4\n");
  EXPECT_EQ(named.materialSlotCount, 2);
  EXPECT_EQ(named.materials.size(), 2u);
  EXPECT_EQ(named.triangleMaterials, (std::vector<int32_t>{0, 0}));
  ASSERT_EQ(named.batchCount, 1);
  EXPECT_EQ(named.batches[0].material, &named.materials[0]);

  // Moving the record keeps its batches pointing into its own materials.
  ObjMesh moved = std::move(named);
  EXPECT_EQ(moved.batches[0].material, &moved.materials[0]);
}

TEST(ObjLoaderObjects, ObjectStartsMarkTriangleNumbers) {
  std::string text = kSquare;
  for (int object = 0; object < 2; ++object) {
    text += "o part" + std::to_string(object) + "\n";
    for (int i = 0; i < 10; ++i) text += "f 1 2 3\n";
  }
  EXPECT_EQ(parse(text).objectStarts, (std::vector<int32_t>{0, 10, 20}));
  EXPECT_EQ(parse(std::string(kSquare) + "f 1 2 3\n").objectStarts, (std::vector<int32_t>{1}));
  // An o without a name does not swallow the statement on the next line.
  EXPECT_EQ(parse(std::string(kSquare) + "o\nf 1 2 3\n").objectStarts,
            (std::vector<int32_t>{0, 1}));
}

TEST(ObjLoaderShape, BoundsCoverUsedVerticesAndNormalsAreGenerated) {
  // Position 5 is far away but no face uses it.
  std::string text = std::string(kSquare) + "v 100 100 100\nf 1 2 3\nf 1 3 4\n";
  ObjMesh mesh = parse(text);
  EXPECT_FLOAT_EQ(mesh.center[0], 0.5f);
  EXPECT_FLOAT_EQ(mesh.extent[1], 1.0f);
  EXPECT_FLOAT_EQ(mesh.extent[2], 0.0f);
  EXPECT_FLOAT_EQ(mesh.maxExtent, 1.0f);
  EXPECT_TRUE(mesh.hasNormals);
  for (const MeshVertex& v : mesh.vertices) {
    EXPECT_FLOAT_EQ(v.normal[2], 1.0f);
  }

  // Larger triangles weigh more: a unit triangle in xy and a doubled one in xz.
  ObjMesh weighted = parse("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 -2\nf 1 2 3\nf 1 2 4\n");
  const float* n = weighted.vertices[0].normal;
  EXPECT_NEAR(n[1] / n[2], 2.0f, 1e-5f);
  EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-5f);

  // File normals stay unless generation is forced; degenerate triangles get zero, not NaN.
  std::string withNormals = std::string(kSquare) + "vn 1 0 0\nf 1//1 2//1 3//1\nf 1//1 1//1 1//1\n";
  EXPECT_EQ(parse(withNormals).vertices[0].normal[0], 1.0f);
  ObjMesh forced = parse(withNormals, true);
  EXPECT_FLOAT_EQ(forced.vertices[1].normal[2], 1.0f);
  ObjMesh flat = parse("v 0 0 0\nv 1 1 1\nv 2 2 2\nf 1 2 3\n");
  EXPECT_EQ(flat.vertices[0].normal[0], 0.0f);

  // Without faces the box stays zero.
  ObjMesh empty = parse("v 5 5 5\n");
  EXPECT_EQ(empty.maxExtent, 0.0f);
  EXPECT_EQ(empty.center[0], 0.0f);
}

TEST(ObjLoaderNumbers, ParsingIgnoresTheProcessLocale) {
  const std::string text =
      "v 1.5 -2.25e1 +0.125\n"
      "v 0x1p-2 1e39 .5\n"
      "v 1,5 2 3\n"
      "v 7 8\nv 9 10 11 12\n"
      "vt 0.25 0.75\n";
  std::vector<float> expected = {1.5f, -22.5f, 0.125f, 0.25f, INFINITY, 0.5f,  1.0f, 0.0f,
                                 0.0f, 7.0f,   8.0f,   0.0f,  9.0f,     10.0f, 11.0f};
  EXPECT_EQ(parse(text).positions, expected);

  std::string localeDir = TESSALY_TEST_LOCALE_DIR;
  ASSERT_EQ(setenv("LOCPATH", localeDir.c_str(), 1), 0);
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "locale built in " << localeDir;
  ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
  ObjMesh german = parse(text);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(german.positions, expected);
  EXPECT_EQ(german.texCoords, (std::vector<float>{0.25f, 0.75f}));
}

TEST(ObjLoaderFile, DirectoryAndOpenFailures) {
  ScratchDir dir;
  const std::string obj = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  std::string base = dir.path.string();

  ObjMesh slashed;
  ASSERT_TRUE(slashed.loadObj(dir.write("meshes/a.obj", obj), false));
  EXPECT_TRUE(slashed.loaded);
  EXPECT_EQ(slashed.directory, base + "/meshes/");
  EXPECT_EQ(slashed.triangleCount, 1);

  // A backslash wins over any forward slash, even a later one.
  ObjMesh backslashed;
  ASSERT_TRUE(backslashed.loadObj(dir.write("x\\y/b.obj", obj), false));
  EXPECT_EQ(backslashed.directory, base + "/x\\");

  dir.write("c.obj", obj);
  fs::path previous = fs::current_path();
  fs::current_path(dir.path);
  ObjMesh bare;
  bool bareLoaded = bare.loadObj("c.obj", false);
  fs::current_path(previous);
  ASSERT_TRUE(bareLoaded);
  EXPECT_EQ(bare.directory, "");

  // Failures leave the record as it was: empty, or with its earlier mesh.
  ObjMesh missing;
  EXPECT_FALSE(missing.loadObj(base + "/none.obj", false));
  EXPECT_FALSE(missing.loaded);
  EXPECT_TRUE(missing.materials.empty());
  EXPECT_TRUE(missing.directory.empty());
  EXPECT_FALSE(slashed.loadObj(base + "/meshes", false));
  // A FIFO is refused without being opened, which would block.
  ASSERT_EQ(mkfifo((base + "/fifo.obj").c_str(), 0600), 0);
  EXPECT_FALSE(slashed.loadObj(base + "/fifo.obj", false));
  EXPECT_EQ(slashed.triangleCount, 1);
  EXPECT_EQ(slashed.directory, base + "/meshes/");
}

TEST(ObjLoaderFile, GeneratedGridHasKnownCounts) {
  // A 20 x 10 grid of v//n quads with one shared normal, one object per row.
  const int columns = 20, rows = 10;
  std::string text = "# grid\r\nmtllib grid.mtl\r\n";
  for (int y = 0; y <= rows; ++y) {
    for (int x = 0; x <= columns; ++x) {
      text += "v " + std::to_string(x) + " " + std::to_string(y) + " 0.5\r\n";
    }
  }
  text += "vn 0 0 1\r\nusemtl grid\r\n";
  for (int y = 0; y < rows; ++y) {
    text += "o row" + std::to_string(y) + "\r\n";
    for (int x = 0; x < columns; ++x) {
      int a = y * (columns + 1) + x + 1;
      int b = a + columns + 1;
      text += "f " + std::to_string(a) + "//1 " + std::to_string(a + 1) + "//1 " +
              std::to_string(b + 1) + "//1 " + std::to_string(b) + "//1\r\n";
    }
  }
  ScratchDir dir;
  ObjMesh mesh;
  ASSERT_TRUE(mesh.loadObj(dir.write("grid.obj", text), false));
  EXPECT_EQ(objMeshProblem(mesh), "");
  EXPECT_EQ(mesh.positionCount, (columns + 1) * (rows + 1));
  EXPECT_EQ(mesh.normalCount, 1);
  EXPECT_EQ(mesh.triangleCount, 2 * columns * rows);
  EXPECT_EQ(mesh.vertices.size(), size_t((columns + 1) * (rows + 1)));
  ASSERT_EQ(mesh.quads.size(), size_t(columns * rows));
  const FaceQuad& last = mesh.quads.back();
  EXPECT_EQ(std::vector<int>(last.corners, last.corners + 4),
            (std::vector<int>{208, 209, 230, 229}));
  ASSERT_EQ(mesh.objectStarts.size(), size_t(rows + 1));
  EXPECT_EQ(mesh.objectStarts[3], 3 * 2 * columns);
  EXPECT_EQ(mesh.materialSlotCount, 1);
  EXPECT_EQ(mesh.batchCount, 1);
  EXPECT_FLOAT_EQ(mesh.center[0], 10.0f);
  EXPECT_FLOAT_EQ(mesh.center[2], 0.5f);
  EXPECT_FLOAT_EQ(mesh.maxExtent, 20.0f);
  EXPECT_EQ(mesh.vertices[7].normal[2], 1.0f);
}

// Malformed input: each case is read to a defined result, and the record stays
// consistent (both passes agree, no index leaves its array).
struct MalformedCase {
  const char* name;
  std::string text;
  int triangles;
};

class ObjLoaderMalformed : public testing::TestWithParam<MalformedCase> {};

TEST_P(ObjLoaderMalformed, ReadsToADefinedResult) {
  ObjMesh mesh;
  ASSERT_TRUE(mesh.parseObj(GetParam().text, false));
  EXPECT_EQ(objMeshProblem(mesh), "");
  EXPECT_EQ(mesh.triangleCount, GetParam().triangles);
}

const std::string kTri = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
const std::string kLong(1000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Inputs, ObjLoaderMalformed,
    testing::Values(
        MalformedCase{"IndexPastPositions", kTri + "f 1 2 4\nf 1 2 3\n", 1},
        MalformedCase{"IndexZero", kTri + "f 0 1 2\n", 0},
        MalformedCase{"NegativePastFirst", kTri + "f -4 -1 -2\n", 0},
        MalformedCase{"FaceBeforeVertices", "f 1 2 3\n" + kTri, 0},
        MalformedCase{"TexCoordWithoutAny", kTri + "f 1/1 2/1 3/1\n", 0},
        MalformedCase{"NormalWithoutAny", kTri + "f 1//1 2//1 3//1\n", 0},
        MalformedCase{"NormalIndexTooLarge", kTri + "vt 0 0\nvn 0 0 1\nf 1/1/2 2/1/1 3/1/1\n", 0},
        MalformedCase{"IndexOverflowsInt", kTri + "f 99999999999 1 2\nf 1 2 2147483648\n", 0},
        MalformedCase{"IndexMostNegativeInt", kTri + "f -2147483648 1 2\n", 0},
        MalformedCase{"LongCornerToken", kTri + "f " + std::string(300, '0') + "1 2 3\n", 1},
        MalformedCase{"LongTokenBeforeFace", kTri + kLong + "\nf 1 2 3\n", 1},
        MalformedCase{"LongLineHidesFace", kTri + "# " + kLong + " f 1 2 3\n", 0},
        MalformedCase{"LongUsemtlLine", kTri + "usemtl " + kLong + " f 1 2 3\nf 1 2 3\n", 1},
        MalformedCase{"EndsInsideFace", kTri + "f 1 2", 0},
        MalformedCase{"EndsAfterFaceToken", kTri + "f", 0},
        MalformedCase{"TooFewCornersBeforeStatement", kTri + "f 1 2\nv 0 0 1\n", 0},
        MalformedCase{"CrlfAndTrailingBlanks", "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0 \r\nf 1 2 3 \r\n", 1},
        MalformedCase{"TrailingCrAtEnd", kTri + "f 1 2 3\r", 1},
        MalformedCase{"ByteOrderMark", "\xEF\xBB\xBFv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", 1},
        MalformedCase{"StatementAfterVertexNumbers", kTri + "v 1 2 3 f 1 2 3\n", 0},
        MalformedCase{"CornerMissingNormalKeepsPrevious", kTri + "vn 0 0 1\nf 1//1 2//1 3\n", 1},
        MalformedCase{"CornerFormChangesMidFace", kTri + "f 1 2 3/1/1\n", 1},
        MalformedCase{"GarbageFaceToken", kTri + "f x y z\nf 1 2 3\n", 1},
        MalformedCase{"NulBytes", kTri + std::string("f 1 2\0 3\n", 9) + "f 1 2 3\n", 1}),
    [](const testing::TestParamInfo<MalformedCase>& info) { return info.param.name; });

TEST(ObjLoaderMalformedDetail, DefinedReadingsOfOddInput) {
  // CRLF gives the same numbers and names as LF.
  ObjMesh crlf = parse("v 1 2 3\r\nv 4 5 6\r\nv 7 8 9\r\nusemtl default\r\nf 1 2 3\r\n");
  EXPECT_EQ(crlf.positions, (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  // A byte-order mark does not hide the first statement.
  EXPECT_EQ(parse("\xEF\xBB\xBFv 4 5 6\n").positions, (std::vector<float>{4, 5, 6}));
  // A corner without its normal index keeps the previous corner's.
  ObjMesh inherited = parse(kTri + "vn 0 0 1\nvn 1 0 0\nf 1//2 2//2 3\n");
  EXPECT_EQ(inherited.vertices[2].normal[0], 1.0f);
  EXPECT_EQ(inherited.quads.size(), 1u);
}

}  // namespace
