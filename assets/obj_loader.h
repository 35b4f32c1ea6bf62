// OBJ mesh loader: reads a Wavefront OBJ text file into an ObjMesh record.
//
// Two passes over the file's text: the first counts statements and sizes the
// arrays, the second reads the numbers, fan-triangulates the faces and builds
// an indexed, de-duplicated triangle list. Afterwards the triangles are grouped
// into material batches, the bounding box is computed and, when the file has
// no normals (or they are forced), smooth vertex normals are generated.
// The scenes draw from `positions` and `quads` only. Pure: no GL, no messages.
//
// How unusual input is read (the same in both passes, so the counts of the
// first pass always match what the second writes):
// - Numbers are parsed independently of the process locale ('.' decimals).
// - Tokens and lines of any length are read whole; skipping a statement always
//   skips its whole line. A leading UTF-8 byte-order mark is ignored. CR, tabs
//   and other blanks are whitespace.
// - A v, vt or vn statement reads its numbers from its own line only (missing
//   numbers stay 0) and ignores the rest of that line; o skips its line.
// - A face is dropped whole (no triangles, no quad) when it has fewer than
//   three corners (also at end of file) or when any index it uses is 0 or
//   outside the elements of its kind read so far, counting from the start for
//   positive and from the latest for negative indices. Indices beyond the int
//   range saturate and so are outside too.
// - A file that cannot be opened or read, or is larger than kMaxObjFileBytes,
//   is not loaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Largest OBJ file loadObj accepts; keeps every count and index within 32 bits.
constexpr std::size_t kMaxObjFileBytes = std::size_t(1) << 30;

// One unique vertex: compared bit for bit as a whole (all fifteen floats).
struct MeshVertex {
  float position[3];
  float texCoord[2];
  float normal[3];
  float tangentFrame[7];  // always zero in this program
};
static_assert(sizeof(MeshVertex) == 60, "MeshVertex is fifteen packed floats");

// A face written in the v//n form: 0-based position indices of its first,
// second, third and last corner (the four corners of a four-sided face).
struct FaceQuad {
  int32_t corners[4];
};

struct MeshMaterial {
  float ambient[4] = {0, 0, 0, 0};
  float diffuse[4] = {0, 0, 0, 0};
  float specular[4] = {0, 0, 0, 0};
  float shininess = 0;
  float alpha = 0;
  std::string name;
  std::string mapNameA;
  std::string mapNameB;
};

// A run of consecutive triangles with one material.
struct MaterialBatch {
  int32_t firstIndex;  // position in ObjMesh::triangles, in indices (3 x first triangle)
  int32_t triangleCount;
  MeshMaterial* material;  // points into ObjMesh::materials
};

// One model. Constructed empty and filled once by loadObj. Not copyable, since
// the batches point into the record's own material list; moving keeps them valid.
class ObjMesh {
 public:
  ObjMesh() = default;
  ObjMesh(const ObjMesh&) = delete;
  ObjMesh& operator=(const ObjMesh&) = delete;
  ObjMesh(ObjMesh&&) = default;
  ObjMesh& operator=(ObjMesh&&) = default;

  // Reads the OBJ file at `path`. Returns false, with the record unchanged,
  // when the file cannot be opened or read; otherwise replaces the record with
  // the file's contents and returns true. `forceNormals` generates normals even
  // when the file has them.
  bool loadObj(const std::string& path, bool forceNormals);

  // Replaces the record with the mesh in `text` (the contents of an OBJ file):
  // the two passes and the post-processing of loadObj, without the file.
  // `loaded` and `directory` are left as they were. Returns false, with the
  // record unchanged, when the text is larger than kMaxObjFileBytes.
  bool parseObj(std::string_view text, bool forceNormals);

  bool loaded = false;
  bool hasPositions = false;
  bool hasTexCoords = false;
  bool hasNormals = false;  // also set once normals have been generated
  int32_t positionCount = 0;
  int32_t texCoordCount = 0;
  int32_t normalCount = 0;
  int32_t triangleCount = 0;
  int32_t materialSlotCount = 0;  // mtllib statements
  int32_t batchCount = 0;
  float center[3] = {0, 0, 0};  // bounding box over `vertices`; all zero without vertices
  float extent[3] = {0, 0, 0};
  float maxExtent = 0;
  std::string directory;  // folder part of the path, with its trailing separator

  std::vector<MaterialBatch> batches;      // sorted by material alpha, larger first
  std::vector<MeshMaterial> materials;     // at least one entry after loading
  std::vector<MeshVertex> vertices;        // unique vertices
  std::vector<uint32_t> triangles;         // three `vertices` indices per triangle, file winding
  std::vector<int32_t> triangleMaterials;  // material index per triangle
  std::vector<float> positions;            // x, y, z per v statement, in file order
  std::vector<float> texCoords;            // u, v per vt statement
  std::vector<float> normals;              // x, y, z per vn statement
  std::map<std::string, int32_t> materialIndex;  // material name -> index in `materials`
  // Indexed by 0-based position index (the keys are dense, so a table gives a
  // constant-time lookup): the `vertices` built from that position, in creation
  // order. An empty list means no vertex was built from that position.
  std::vector<std::vector<int32_t>> vertexBuckets;
  std::vector<int32_t> objectStarts;  // triangle index at each o statement, then the final count
  std::vector<FaceQuad> quads;        // one per face written in the v//n form
};
