// OBJ mesh loader: the two passes over the file's text, the face forms and
// their triangulation, vertex de-duplication, material batches, bounding box
// and generated normals.
#include "assets/obj_loader.h"

#include <locale.h>

#include <algorithm>
#include <cassert>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/data_file.h"

namespace {

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isLineSpace(char c) { return c != '\n' && isSpace(c); }

// A read position in the file's text with the scanning steps both passes share.
struct Cursor {
  const char* at;
  const char* end;

  void skipSpace() {
    while (at != end && isSpace(*at)) ++at;
  }

  // The next whitespace-separated token; empty at end of text.
  std::string_view token() {
    skipSpace();
    const char* start = at;
    while (at != end && !isSpace(*at)) ++at;
    return std::string_view(start, size_t(at - start));
  }

  // The rest of the current line without its '\n', which is consumed.
  std::string_view restOfLine() {
    const char* start = at;
    const void* newline = std::memchr(at, '\n', size_t(end - at));
    at = newline ? static_cast<const char*>(newline) + 1 : end;
    return std::string_view(start, size_t((newline ? at - 1 : end) - start));
  }

  void skipLine() { restOfLine(); }
};

// Reads a decimal int as a "%d" scan does: leading whitespace, an optional
// sign, at least one digit. Values beyond the int range saturate. On failure
// only the whitespace is consumed.
bool scanInt(Cursor& in, int32_t& out) {
  in.skipSpace();
  const char* p = in.at;
  bool negative = false;
  if (p != in.end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  if (p == in.end || *p < '0' || *p > '9') return false;
  int64_t value = 0;
  for (; p != in.end && *p >= '0' && *p <= '9'; ++p) {
    value = std::min<int64_t>(value * 10 + (*p - '0'), int64_t(INT_MAX) + 1);
  }
  if (negative) value = -value;
  out = int32_t(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
  in.at = p;
  return true;
}

bool matchChar(Cursor& in, char c) {
  if (in.at == in.end || *in.at != c) return false;
  ++in.at;
  return true;
}

// Parses a number with the C library in the "C" locale: hexadecimal floats and
// values beyond the float range, which the fast path does not take.
bool parseFloatInC(const char* start, const char* end, const char*& next, float& out) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
  const char* stop = start;
  while (stop != end && !isSpace(*stop)) ++stop;
  std::string copy(start, stop);
  char* used = nullptr;
  float value = strtof_l(copy.c_str(), &used, cLocale);
  if (used == copy.c_str()) return false;
  out = value;
  next = start + (used - copy.c_str());
  return true;
}

// Reads one number as a "%f" scan does (after the blanks before it), with '.'
// as the decimal point whatever the process locale.
bool scanFloat(Cursor& in, float& out) {
  const char* start = in.at;
  const char* p = start;
  if (p != in.end && *p == '+') {
    ++p;
    if (p != in.end && (*p == '+' || *p == '-')) return false;
  }
  const char* digits = (p != in.end && *p == '-') ? p + 1 : p;
  bool hex = in.end - digits >= 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
  // The standard library's from_chars is the fast path where it reads
  // floating point (a library without it, such as the browser build's, takes
  // the C scan for every number, with the same result).
#if defined(__cpp_lib_to_chars)
  if (!hex) {
    std::from_chars_result r = std::from_chars(p, in.end, out);
    if (r.ec == std::errc()) {
      in.at = r.ptr;
      return true;
    }
    if (r.ec != std::errc::result_out_of_range) return false;
  }
#else
  (void)hex;
#endif
  return parseFloatInC(start, in.end, in.at, out);
}

// Reads up to `count` numbers from the current line into out[0..count-1],
// stopping at the first that does not parse; the rest of the line is skipped.
void readFloats(Cursor& in, float* out, int count) {
  for (int i = 0; i < count; ++i) {
    while (in.at != in.end && isLineSpace(*in.at)) ++in.at;
    if (!scanFloat(in, out[i])) break;
  }
  in.skipLine();
}

enum class FaceForm { kV, kVT, kVTN, kVN };  // v, v/t, v/t/n, v//n

bool formHasTexCoord(FaceForm form) { return form == FaceForm::kVT || form == FaceForm::kVTN; }
bool formHasNormal(FaceForm form) { return form == FaceForm::kVN || form == FaceForm::kVTN; }

// OBJ indices of one face corner; after resolving, 0-based element indices.
struct Corner {
  int32_t position = 0;
  int32_t texCoord = 0;
  int32_t normal = 0;
};

// Scans one corner with the form's format ("%d", "%d/%d", "%d/%d/%d" or
// "%d//%d") and returns the number of fields read. Fields not read keep their
// value, as they would with a format scan.
int scanCorner(Cursor& in, FaceForm form, Corner& c) {
  if (!scanInt(in, c.position)) return 0;
  switch (form) {
    case FaceForm::kV:
      return 1;
    case FaceForm::kVT:
      return matchChar(in, '/') && scanInt(in, c.texCoord) ? 2 : 1;
    case FaceForm::kVTN:
      if (!matchChar(in, '/') || !scanInt(in, c.texCoord)) return 1;
      return matchChar(in, '/') && scanInt(in, c.normal) ? 3 : 2;
    case FaceForm::kVN:
      return matchChar(in, '/') && matchChar(in, '/') && scanInt(in, c.normal) ? 2 : 1;
  }
  return 0;
}

// Elements of each kind read so far; identical in both passes.
struct ElementCounts {
  int32_t positions = 0;
  int32_t texCoords = 0;
  int32_t normals = 0;
};

// Turns an OBJ index (1-based, or negative counting back from the latest
// element) into a 0-based one; false when it names no element read so far.
bool resolveIndex(int32_t& index, int32_t readSoFar) {
  int64_t resolved = index > 0 ? int64_t(index) - 1 : int64_t(readSoFar) + index;
  if (index == 0 || resolved < 0 || resolved >= readSoFar) return false;
  index = int32_t(resolved);
  return true;
}

struct Face {
  FaceForm form = FaceForm::kV;
  std::vector<Corner> corners;  // reused from face to face
};

// Reads the corners of one face, after its "f" token. The form is decided
// from the first corner's token; further corners are scanned while the form's
// format reads at least one field. Returns true when the face has at least
// three corners and all its indices resolve; otherwise the face is dropped.
bool readFace(Cursor& in, const ElementCounts& counts, Face& face) {
  face.corners.clear();
  std::string_view first = in.token();
  if (first.empty()) return false;
  Cursor token{first.data(), first.data() + first.size()};
  Corner corner;
  if (first.find("//") != std::string_view::npos) {
    face.form = FaceForm::kVN;
  } else if (scanCorner(token, FaceForm::kVTN, corner) == 3) {
    face.form = FaceForm::kVTN;
  } else {
    token.at = first.data();
    face.form = scanCorner(token, FaceForm::kVT, corner) == 2 ? FaceForm::kVT : FaceForm::kV;
  }
  token.at = first.data();
  scanCorner(token, face.form, corner);
  face.corners.push_back(corner);
  while (scanCorner(in, face.form, corner) > 0) face.corners.push_back(corner);

  if (face.corners.size() < 3) return false;
  for (Corner& c : face.corners) {
    if (!resolveIndex(c.position, counts.positions)) return false;
    if (formHasTexCoord(face.form) && !resolveIndex(c.texCoord, counts.texCoords)) return false;
    if (formHasNormal(face.form) && !resolveIndex(c.normal, counts.normals)) return false;
  }
  return true;
}

// The index of the vertex for one resolved corner: an existing bit-identical
// vertex built from the same position, or a new one.
uint32_t vertexFor(ObjMesh& mesh, FaceForm form, const Corner& c) {
  MeshVertex v = {};
  std::memcpy(v.position, &mesh.positions[3 * size_t(c.position)], sizeof v.position);
  if (formHasTexCoord(form)) {
    std::memcpy(v.texCoord, &mesh.texCoords[2 * size_t(c.texCoord)], sizeof v.texCoord);
  }
  if (formHasNormal(form)) {
    std::memcpy(v.normal, &mesh.normals[3 * size_t(c.normal)], sizeof v.normal);
  }
  std::vector<int32_t>& bucket = mesh.vertexBuckets[size_t(c.position)];
  for (int32_t index : bucket) {
    if (std::memcmp(&mesh.vertices[size_t(index)], &v, sizeof v) == 0) return uint32_t(index);
  }
  int32_t index = int32_t(mesh.vertices.size());
  mesh.vertices.push_back(v);
  bucket.push_back(index);
  return uint32_t(index);
}

// Writes a face's fan triangles (c0, c1, c2), (c0, c2, c3), ... from triangle
// number `triangle` on, and its quad when it is written in the v//n form.
void emitFace(ObjMesh& mesh, const Face& face, int32_t triangle, int32_t material) {
  const std::vector<Corner>& corners = face.corners;
  assert(size_t(triangle) + corners.size() - 2 <= size_t(mesh.triangleCount) &&
         "the counting pass saw fewer triangles than the reading pass");
  uint32_t first = vertexFor(mesh, face.form, corners[0]);
  uint32_t previous = vertexFor(mesh, face.form, corners[1]);
  for (size_t k = 2; k < corners.size(); ++k, ++triangle) {
    uint32_t next = vertexFor(mesh, face.form, corners[k]);
    uint32_t* out = &mesh.triangles[3 * size_t(triangle)];
    out[0] = first;
    out[1] = previous;
    out[2] = next;
    mesh.triangleMaterials[size_t(triangle)] = material;
    previous = next;
  }
  if (face.form == FaceForm::kVN) {
    mesh.quads.push_back(
        {{corners[0].position, corners[1].position, corners[2].position, corners.back().position}});
  }
}

int32_t materialNamed(const ObjMesh& mesh, std::string_view line) {
  Cursor words{line.data(), line.data() + line.size()};
  auto found = mesh.materialIndex.find(std::string(words.token()));
  return found == mesh.materialIndex.end() ? 0 : found->second;
}

// Sizes every array from the counting pass and adds the default material when
// the file names no material library.
void sizeArrays(ObjMesh& mesh) {
  mesh.hasPositions = mesh.positionCount > 0;
  mesh.hasTexCoords = mesh.texCoordCount > 0;
  mesh.hasNormals = mesh.normalCount > 0;
  mesh.positions.assign(3 * size_t(mesh.positionCount), 0.0f);
  mesh.texCoords.assign(2 * size_t(mesh.texCoordCount), 0.0f);
  mesh.normals.assign(3 * size_t(mesh.normalCount), 0.0f);
  mesh.triangles.assign(3 * size_t(mesh.triangleCount), 0);
  mesh.triangleMaterials.assign(size_t(mesh.triangleCount), 0);
  mesh.vertexBuckets.resize(size_t(mesh.positionCount));
  mesh.materials.resize(size_t(mesh.materialSlotCount));
  if (mesh.materialSlotCount == 0) {
    MeshMaterial standard;
    standard.name = "default";
    const float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    const float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    const float specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    std::copy(ambient, ambient + 4, standard.ambient);
    std::copy(diffuse, diffuse + 4, standard.diffuse);
    std::copy(specular, specular + 4, standard.specular);
    standard.alpha = 1.0f;
    mesh.materials.push_back(standard);
    mesh.materialIndex["default"] = 0;
  }
}

// A v, vt or vn statement: its `width` numbers are read into element `counter`
// of `array` in the reading pass; the counting pass skips the line.
void vertexStatement(Cursor& in, bool reading, std::vector<float>& array, int32_t& counter,
                     int width) {
  if (reading) {
    readFloats(in, &array[size_t(width) * size_t(counter)], width);
  } else {
    in.skipLine();
  }
  ++counter;
}

// One pass over the text. Both passes consume exactly the same characters for
// every statement, so the counting pass sees the same faces as the reading pass.
void runPass(ObjMesh& mesh, std::string_view text, bool reading) {
  Cursor in{text.data(), text.data() + text.size()};
  if (text.substr(0, 3) == "\xEF\xBB\xBF") in.at += 3;
  ElementCounts counts;
  int32_t triangle = 0;
  int32_t material = 0;
  Face face;
  for (;;) {
    std::string_view token = in.token();
    if (token.empty()) break;
    switch (token[0]) {
      case 'v':
        if (token.size() == 1) {
          vertexStatement(in, reading, mesh.positions, counts.positions, 3);
        } else if (token[1] == 'n') {
          vertexStatement(in, reading, mesh.normals, counts.normals, 3);
        } else if (token[1] == 't') {
          vertexStatement(in, reading, mesh.texCoords, counts.texCoords, 2);
        }
        // Any other token starting with v is passed over; its line is read on.
        break;
      case 'f':
        if (readFace(in, counts, face)) {
          if (reading) emitFace(mesh, face, triangle, material);
          triangle += int32_t(face.corners.size() - 2);
        }
        break;
      case 'm':
        if (!reading) ++mesh.materialSlotCount;
        in.skipLine();
        break;
      case 'o':
        if (reading) mesh.objectStarts.push_back(triangle);
        in.skipLine();
        break;
      case 'u': {
        std::string_view line = in.restOfLine();
        if (reading) material = materialNamed(mesh, line);
        break;
      }
      default:
        in.skipLine();
        break;
    }
  }
  if (reading) {
    mesh.objectStarts.push_back(triangle);
  } else {
    mesh.positionCount = counts.positions;
    mesh.texCoordCount = counts.texCoords;
    mesh.normalCount = counts.normals;
    mesh.triangleCount = triangle;
  }
}

// Opens a batch at every change of material along the triangles, then orders
// the batches by the material's alpha, larger first.
void buildBatches(ObjMesh& mesh) {
  for (size_t t = 0; t < mesh.triangleMaterials.size(); ++t) {
    int32_t material = mesh.triangleMaterials[t];
    if (t == 0 || material != mesh.triangleMaterials[t - 1]) {
      mesh.batches.push_back({int32_t(3 * t), 0, &mesh.materials[size_t(material)]});
    }
    ++mesh.batches.back().triangleCount;
  }
  mesh.batchCount = int32_t(mesh.batches.size());
  std::stable_sort(mesh.batches.begin(), mesh.batches.end(),
                   [](const MaterialBatch& a, const MaterialBatch& b) {
                     return a.material->alpha > b.material->alpha;
                   });
}

// Centre and size of the box around the vertices; a mesh without vertices
// keeps the zero box.
void computeBounds(ObjMesh& mesh) {
  if (mesh.vertices.empty()) return;
  float low[3] = {3.4028235e38f, 3.4028235e38f, 3.4028235e38f};
  float high[3] = {-3.4028235e38f, -3.4028235e38f, -3.4028235e38f};
  for (const MeshVertex& v : mesh.vertices) {
    for (int axis = 0; axis < 3; ++axis) {
      low[axis] = std::min(low[axis], v.position[axis]);
      high[axis] = std::max(high[axis], v.position[axis]);
    }
  }
  for (int axis = 0; axis < 3; ++axis) {
    mesh.center[axis] = (low[axis] + high[axis]) / 2;
    mesh.extent[axis] = high[axis] - low[axis];
  }
  mesh.maxExtent = std::max({mesh.extent[0], mesh.extent[1], mesh.extent[2]});
}

// Area-weighted smooth normals: each triangle adds its unnormalised face
// normal to its three vertices. A vertex whose sum has no length (it belongs
// only to degenerate triangles) keeps the zero normal.
void generateNormals(ObjMesh& mesh) {
  for (MeshVertex& v : mesh.vertices) std::fill(v.normal, v.normal + 3, 0.0f);
  for (size_t t = 0; t + 2 < mesh.triangles.size(); t += 3) {
    MeshVertex* corner[3];
    for (int k = 0; k < 3; ++k) corner[k] = &mesh.vertices[mesh.triangles[t + size_t(k)]];
    float e1[3], e2[3];
    for (int axis = 0; axis < 3; ++axis) {
      e1[axis] = corner[1]->position[axis] - corner[0]->position[axis];
      e2[axis] = corner[2]->position[axis] - corner[0]->position[axis];
    }
    const float cross[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                            e1[0] * e2[1] - e1[1] * e2[0]};
    for (MeshVertex* v : corner) {
      for (int axis = 0; axis < 3; ++axis) v->normal[axis] += cross[axis];
    }
  }
  for (MeshVertex& v : mesh.vertices) {
    float length = std::sqrt(v.normal[0] * v.normal[0] + v.normal[1] * v.normal[1] +
                             v.normal[2] * v.normal[2]);
    if (length > 0) {
      float scale = 1.0f / length;
      for (float& n : v.normal) n *= scale;
    }
  }
  mesh.hasNormals = true;
}

std::string directoryOf(const std::string& path) {
  size_t cut = path.rfind('\\');
  if (cut == std::string::npos) cut = path.rfind('/');
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// The whole file; false when it cannot be opened or read, is too large or is
// not a regular file (a FIFO would block the open, a device never end).
bool readFile(const std::string& path, std::string& text) {
  std::string why;
  if (!isRegularDataFile(path, why)) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  if (std::fseek(file, 0, SEEK_END) == 0) {
    long size = std::ftell(file);
    if (size > 0 && size_t(size) <= kMaxObjFileBytes) text.reserve(size_t(size));
    std::rewind(file);
  }
  bool ok = true;
  char chunk[1 << 16];
  size_t got;
  while (ok && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    ok = text.size() + got <= kMaxObjFileBytes;
    if (ok) text.append(chunk, got);
  }
  ok = ok && !std::ferror(file);
  std::fclose(file);
  return ok;
}

}  // namespace

bool ObjMesh::loadObj(const std::string& path, bool forceNormals) {
  std::string text;
  if (!readFile(path, text)) return false;
  ObjMesh mesh;
  mesh.loaded = true;
  mesh.directory = directoryOf(path);
  if (!mesh.parseObj(text, forceNormals)) return false;
  *this = std::move(mesh);
  return true;
}

bool ObjMesh::parseObj(std::string_view text, bool forceNormals) {
  if (text.size() > kMaxObjFileBytes) return false;
  ObjMesh fresh;
  fresh.loaded = loaded;
  fresh.directory = std::move(directory);
  *this = std::move(fresh);

  runPass(*this, text, false);
  sizeArrays(*this);
  runPass(*this, text, true);

  buildBatches(*this);
  computeBounds(*this);
  if (forceNormals || !hasNormals) generateNormals(*this);
  return true;
}
