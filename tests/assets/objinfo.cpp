// objinfo FILE: loads an OBJ file with the show's loader and prints what it
// read, for debugging meshes and comparing counts with other OBJ readers.
// Exits 1 when the file cannot be opened.
#include <cstdio>

#include "assets/obj_loader.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: objinfo FILE\n");
    return 2;
  }
  ObjMesh mesh;
  if (!mesh.loadObj(argv[1], false)) {
    std::fprintf(stderr, "objinfo: %s: cannot open or read the file\n", argv[1]);
    return 1;
  }
  std::printf(
      "positions=%d texcoords=%d normals=%d triangles=%d vertices=%zu quads=%zu batches=%d "
      "objects=%zu\n",
      mesh.positionCount, mesh.texCoordCount, mesh.normalCount, mesh.triangleCount,
      mesh.vertices.size(), mesh.quads.size(), mesh.batchCount, mesh.objectStarts.size() - 1);
  std::printf("center=%.9g %.9g %.9g extent=%.9g %.9g %.9g maxExtent=%.9g\n", mesh.center[0],
              mesh.center[1], mesh.center[2], mesh.extent[0], mesh.extent[1], mesh.extent[2],
              mesh.maxExtent);
  for (const MaterialBatch& batch : mesh.batches) {
    std::printf("batch first=%d triangles=%d material=%td name=\"%s\" alpha=%.9g\n",
                batch.firstIndex, batch.triangleCount, batch.material - mesh.materials.data(),
                batch.material->name.c_str(), batch.material->alpha);
  }
  const size_t shownQuads = 8;
  for (size_t i = 0; i < mesh.quads.size() && i < shownQuads; ++i) {
    const FaceQuad& q = mesh.quads[i];
    std::printf("quad %zu: %d %d %d %d\n", i, q.corners[0], q.corners[1], q.corners[2],
                q.corners[3]);
  }
  return 0;
}
