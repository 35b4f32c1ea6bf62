// The part's resource set, loaded once at startup in its fixed order, its
// programs rebuilt for --live, and released at the show's teardown.
#include "demo/part_start.h"

#include <cstdio>
#include <string>
#include <tuple>

#include "core/data_file.h"
#include "demo/camera_script.h"
#include "demo/image_texture.h"

namespace {

struct MeshFile {
  MeshNumber number;
  const char* path;
};

// Load order of the meshes.
const MeshFile kMeshFiles[] = {
    {kMeshTest2, "newneomeshes//test2.obj"},       {kMeshCube, "newneomeshes//cube.obj"},
    {kMeshCube2, "newneomeshes//cube2.obj"},       {kMeshSurround, "newneomeshes//surround.obj"},
    {kMeshRealCube, "newneomeshes//realcube.obj"}, {kMeshLetterV, "newneomeshes//V.obj"},
    {kMeshLetterR, "newneomeshes//R.obj"},         {kMeshLetterK, "newneomeshes//K.obj"},
};

}  // namespace

part_start::part_start() : requestCamera(initialRequestCamera()) {}

PartLoad part_start::initResources(RenderResources& renderer, Random& random) {
  PartLoad load;
  programs = PartResources{};

  shaders.buildProgram("Materials//v_material1.cpp", "Materials//f_material1.cpp",
                       programs.material);
  shaders.buildFragmentProgram("PostProcessing//f_combineSSAO.cpp", programs.combineOcclusion);
  shaders.buildFragmentProgram("PostProcessing//f_occlusion.cpp", programs.occlusion);
  shaders.buildFragmentProgram("PostProcessing//f_edgefilter.cpp", programs.edgeFilter);
  shaders.buildFragmentProgram("PostProcessing//f_blurpass.cpp", programs.finalBlur);
  shaders.buildFragmentProgram("PostProcessing//f_simpleblur.cpp", programs.simpleBlur);
  shaders.buildFragmentProgram("PostProcessing//f_blurhighlights.cpp", programs.highlightBlur);
  shaders.buildFragmentProgram("PostProcessing//f_godrays.cpp", programs.godRays);
  shaders.buildProgram("PostProcessing//v_velocities.cpp", "PostProcessing//f_velocities.cpp",
                       programs.velocities);

  textureIds = PartTextures{};
  const PartTextures& ids = textureIds;
  const int w = renderer.renderWidth, h = renderer.renderHeight;
  // The noise texture reseeds the generator, so the colour textures after it
  // always get the same contents.
  renderer.createNoiseTexture(ids.noise, 1024, 1024, random);
  renderer.createColorTexture(ids.sceneColor, w, h, random);
  renderer.createColorTexture(ids.glow, w / 4, h / 4, random);
  renderer.createColorTexture(ids.secondColor, w, h, random);
  renderer.createColorTexture(ids.velocity, w, h, random);
  renderer.createDepthTexture(ids.depthA, w, h);
  renderer.createDepthTexture(ids.depthB, w, h);
  renderer.createColorTexture(ids.combined, w, h, random);
  renderer.createColorTexture(ids.occlusion, w / 2, h / 2, random);
  if (renderer.targetSamples[0] == 0) renderer.createColorTexture(ids.edgeFiltered, w, h, random);

  renderer.attachColorTexture(0, 0, ids.sceneColor);
  renderer.attachColorTexture(0, 1, ids.secondColor);
  renderer.attachDepthTexture(0, ids.depthA);
  renderer.attachColorTexture(1, 0, ids.glow);

  for (const auto& [path, slot, use] :
       {std::tuple{"textures/noise.jpg", ids.noiseNormalMap, ImageUse::NormalMap},
        std::tuple{"textures/blob41b.jpg", ids.blob, ImageUse::Picture}}) {
    load.failure = loadImageTexture(renderer, path, slot, use, load.images, &load.problems);
    if (load.failure) return load;
  }
  renderer.createSpectrumTexture(ids.spectrum, 512);
  // The blob image, loaded last, does not repeat.
  renderer.clampTextureToEdge(ids.blob);

  // A mesh that cannot be used is left out of the picture; the show goes on.
  for (const MeshFile& mesh : kMeshFiles) {
    std::string why;
    ObjMesh& loaded = meshes[mesh.number];
    if (!isRegularDataFile(mesh.path, why) || !loaded.loadObj(mesh.path, false)) {
      if (why.empty()) why = "it cannot be read, or is larger than an OBJ mesh may be";
      std::printf("Cannot open mesh file %s\n", mesh.path);
      load.problems.push_back(dataFileProblem(mesh.path, "cannot open the mesh: " + why));
    } else if (loaded.triangleCount == 0) {
      load.problems.push_back(
          dataFileProblem(mesh.path, "the mesh holds no faces: it is empty or not an OBJ file"));
    } else {
      continue;
    }
    std::fprintf(stderr, "%s\n", load.problems.back().c_str());
  }
  load.problems.insert(load.problems.begin(), shaders.problems.begin(), shaders.problems.end());
  return load;
}

std::vector<std::string> part_start::programFiles() const {
  std::vector<std::string> files;
  for (const ProgramFiles& program : shaders.programFiles) {
    for (const std::string& path : {program.vertexPath, program.fragmentPath})
      if (!path.empty()) files.push_back(path);
  }
  return files;
}

int part_start::reloadPrograms(const std::vector<std::string>& changedFiles) {
  int rebuilt = 0;
  for (const ProgramFiles& program : shaders.programFiles) {
    bool touched = false;
    for (const std::string& path : changedFiles)
      touched = touched || program.vertexPath == path || program.fragmentPath == path;
    if (!touched) continue;
    if (shaders.rebuildProgram(program)) {
      std::printf("live shaders: %s rebuilt\n", program.fragmentPath.c_str());
      ++rebuilt;
    }
  }
  return rebuilt;
}

void part_start::release() {
  // The GL objects go with the context; what is let go of here is the
  // memory the meshes and the scene's geometry hold.
  for (ObjMesh& mesh : meshes) mesh = ObjMesh();
  sceneGeometry = GeometryStream();
}
