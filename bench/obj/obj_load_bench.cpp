// Load throughput of the OBJ loader on a generated mesh of about 50 MB of
// v//n quads, next to tinyobjloader reading the same file in the same run,
// reported as MB/s and as the ratio of the two.
#include <benchmark/benchmark.h>
#include <tiny_obj_loader.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "assets/obj_loader.h"

namespace {

std::string gPath;
size_t gBytes = 0;

// A smooth wavy sheet of side x side positions with one normal per position,
// written as four-cornered v//n faces.
size_t writeSheet(const std::string& path, int side) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (!file) return 0;
  std::fprintf(file, "# generated sheet\no sheet\n");
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      float h = 0.25f * std::sin(0.05f * float(x)) * std::cos(0.07f * float(y));
      std::fprintf(file, "v %.6f %.6f %.6f\n", 0.01f * float(x), h, 0.01f * float(y));
    }
  }
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      float nx = -0.0125f * std::cos(0.05f * float(x)) * std::cos(0.07f * float(y));
      float nz = 0.0175f * std::sin(0.05f * float(x)) * std::sin(0.07f * float(y));
      float length = std::sqrt(nx * nx + 1.0f + nz * nz);
      std::fprintf(file, "vn %.6f %.6f %.6f\n", nx / length, 1.0f / length, nz / length);
    }
  }
  for (int y = 0; y + 1 < side; ++y) {
    for (int x = 0; x + 1 < side; ++x) {
      int a = y * side + x + 1, b = a + 1, c = a + side + 1, d = a + side;
      std::fprintf(file, "f %d//%d %d//%d %d//%d %d//%d\n", a, a, b, b, c, c, d, d);
    }
  }
  long size = std::ftell(file);
  std::fclose(file);
  return size > 0 ? size_t(size) : 0;
}

void tessalyLoad(benchmark::State& state) {
  for (auto _ : state) {
    ObjMesh mesh;
    if (!mesh.loadObj(gPath, false)) state.SkipWithError("cannot load the generated file");
    benchmark::DoNotOptimize(mesh.triangles.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(gBytes));
}

void tinyobjloaderLoad(benchmark::State& state) {
  for (auto _ : state) {
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warn, err;
    if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, gPath.c_str(), nullptr,
                          true)) {
      state.SkipWithError("tinyobjloader cannot load the generated file");
    }
    benchmark::DoNotOptimize(attrib.vertices.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(gBytes));
}

// Console output plus the median CPU time of each benchmark: CPU time, since
// the machines these run on are shared and the wall clock follows their load.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> medianSeconds;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.aggregate_name == "median") {
        medianSeconds[run.run_name.function_name] =
            run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

// Both readers must see the same mesh, or the comparison means nothing.
bool countsAgree() {
  ObjMesh mesh;
  tinyobj::attrib_t attrib;
  std::vector<tinyobj::shape_t> shapes;
  std::vector<tinyobj::material_t> materials;
  std::string warn, err;
  if (!mesh.loadObj(gPath, false) ||
      !tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, gPath.c_str(), nullptr, true)) {
    return false;
  }
  size_t triangles = 0;
  for (const tinyobj::shape_t& shape : shapes) triangles += shape.mesh.indices.size() / 3;
  std::printf("positions %d / %zu, normals %d / %zu, triangles %d / %zu (ours / tinyobjloader)\n",
              mesh.positionCount, attrib.vertices.size() / 3, mesh.normalCount,
              attrib.normals.size() / 3, mesh.triangleCount, triangles);
  return size_t(mesh.positionCount) * 3 == attrib.vertices.size() &&
         size_t(mesh.normalCount) * 3 == attrib.normals.size() &&
         size_t(mesh.triangleCount) == triangles;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  gPath = (std::filesystem::temp_directory_path() /
           ("tessaly_obj_bench_" + std::to_string(getpid()) + ".obj"))
              .string();
  gBytes = writeSheet(gPath, 640);
  if (gBytes == 0) {
    std::fprintf(stderr, "obj_load_bench: %s: cannot write the generated mesh\n", gPath.c_str());
    return 1;
  }
  std::printf("generated %s: %.1f MB\n", gPath.c_str(), double(gBytes) / 1e6);
  if (!countsAgree()) {
    std::fprintf(stderr, "obj_load_bench: the two readers disagree on the generated mesh\n");
    std::filesystem::remove(gPath);
    return 1;
  }

  for (auto* b : {benchmark::RegisterBenchmark("tessaly_loadObj", tessalyLoad),
                  benchmark::RegisterBenchmark("tinyobjloader_LoadObj", tinyobjloaderLoad)}) {
    b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
  }
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::filesystem::remove(gPath);

  double ours = reporter.medianSeconds["tessaly_loadObj"];
  double reference = reporter.medianSeconds["tinyobjloader_LoadObj"];
  if (ours <= 0 || reference <= 0) return 1;
  double mb = double(gBytes) / 1e6;
  std::printf(
      "loadObj %.1f MB/s, tinyobjloader %.1f MB/s (median CPU time), "
      "ratio loadObj/tinyobjloader %.2f\n",
      mb / ours, mb / reference, reference / ours);
  return 0;
}
