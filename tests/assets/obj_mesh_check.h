// Consistency check of a loaded ObjMesh, shared by the loader tests and the
// fuzz target: every count matches its array, every index stays inside the
// array it names, and the reading pass wrote exactly the triangles the
// counting pass sized.
#pragma once

#include <string>

#include "assets/obj_loader.h"

// Empty when the record is consistent, otherwise what is wrong.
inline std::string objMeshProblem(const ObjMesh& m) {
  if (m.positions.size() != 3 * size_t(m.positionCount)) return "positions size";
  if (m.texCoords.size() != 2 * size_t(m.texCoordCount)) return "texCoords size";
  if (m.normals.size() != 3 * size_t(m.normalCount)) return "normals size";
  if (m.triangles.size() != 3 * size_t(m.triangleCount)) return "triangles size";
  if (m.triangleMaterials.size() != size_t(m.triangleCount)) return "triangleMaterials size";
  if (m.materials.empty()) return "no material";
  if (m.objectStarts.empty() || m.objectStarts.back() != m.triangleCount) {
    return "reading pass and counting pass disagree on triangles";
  }
  for (size_t i = 1; i < m.objectStarts.size(); ++i) {
    if (m.objectStarts[i] < m.objectStarts[i - 1]) return "objectStarts decrease";
  }
  for (uint32_t index : m.triangles) {
    if (index >= m.vertices.size()) return "triangle index outside vertices";
  }
  for (int32_t material : m.triangleMaterials) {
    if (material < 0 || size_t(material) >= m.materials.size()) return "material index";
  }
  if (m.vertexBuckets.size() != size_t(m.positionCount)) return "vertexBuckets size";
  size_t bucketed = 0;
  for (const auto& bucket : m.vertexBuckets) {
    for (int32_t index : bucket) {
      if (index < 0 || size_t(index) >= m.vertices.size()) return "bucket index outside vertices";
    }
    bucketed += bucket.size();
  }
  if (bucketed != m.vertices.size()) return "vertices not all in buckets";
  for (const FaceQuad& q : m.quads) {
    for (int32_t corner : q.corners) {
      if (corner < 0 || corner >= m.positionCount) return "quad corner outside positions";
    }
  }
  if (m.batchCount != int32_t(m.batches.size())) return "batchCount";
  int64_t batched = 0;
  for (size_t i = 0; i < m.batches.size(); ++i) {
    const MaterialBatch& b = m.batches[i];
    if (b.material < m.materials.data() || b.material >= m.materials.data() + m.materials.size()) {
      return "batch material outside materials";
    }
    if (i > 0 && b.material->alpha > m.batches[i - 1].material->alpha) return "batch order";
    batched += b.triangleCount;
  }
  if (batched != m.triangleCount) return "batches do not cover the triangles";
  return "";
}
