// Writes the show's meshes into a folder: tessaly-meshgen OUTPUT_DIR
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/meshgen/show_meshes.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  for (const meshgen::NamedMesh& named : meshgen::buildShowMeshes()) {
    const std::string path = folder + "/" + named.fileName;
    std::ofstream out(path, std::ios::binary);
    out << meshgen::objText(named.mesh, named.fileName);
    if (!out) {
      std::fprintf(stderr, "%s: cannot write the mesh\n", path.c_str());
      return 1;
    }
    std::printf("%s: %zu faces\n", path.c_str(), named.mesh.faces.size());
  }
  return 0;
}
