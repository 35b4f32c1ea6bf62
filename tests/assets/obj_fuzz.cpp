// libFuzzer target for the OBJ loader: any bytes must load to a consistent
// record (both passes agree, every index inside its array) without touching
// memory outside the loader's arrays.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "assets/obj_loader.h"
#include "assets/obj_mesh_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ObjMesh mesh;
  mesh.parseObj(std::string_view(reinterpret_cast<const char*>(data), size), size % 2 == 1);
  std::string problem = objMeshProblem(mesh);
  if (!problem.empty()) {
    std::fprintf(stderr, "inconsistent mesh: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
