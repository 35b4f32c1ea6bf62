// The show's one part: it owns every program, texture id and mesh of the
// show and runs the frame composition. Its operations live in two files:
// part_start.cpp (load, live reload, release) and frame_composition.cpp
// (drawFrame: the cameras, the scene of the current time window into the
// 4-sample target, then the post-processing chain onto the window). The
// scenes are functions of the frame record and a scene context
// (demo/scenes/scenes.h), one file each under demo/scenes/.
#pragma once

#include "assets/obj_loader.h"
#include "demo/geometry.h"
#include "demo/part_resources.h"
#include "demo/parts.h"
#include "render/shader_set.h"

class part_start : public parts {
 public:
  part_start();
  PartLoad initResources(RenderResources& renderer, Random& random) override;
  void drawFrame(const FrameRecord& frame, RenderResources& renderer, Random& random) override;
  std::vector<std::string> programFiles() const override;
  int reloadPrograms(const std::vector<std::string>& changedFiles) override;
  void release() override;

  // The show's programs, for the benchmark's stand-ins and for tests that
  // build or read a program of a slot.
  ShaderSet& showShaders() { return shaders; }
  // The slot of each program in showShaders().
  const PartResources& programSlots() const { return programs; }

 private:
  // A reduced-size filter from source into destination through pair's target.
  struct FilterPass {
    int program = 0;
    int pair = 0;
    int iterations = 1;
    int width = 0, height = 0;
    TextureId source = 0;
    TextureId destination = 0;
    TextureId extra2 = -1;  // "texture2d_2" on unit 1; below 0 binds nothing
    TextureId extra3 = -1;  // "texture2d_3" on unit 2; below 0 binds nothing
  };
  void runFilterPass(RenderResources& renderer, const FilterPass& filter);

  // The beat added to every scene's field of view: written by the frame
  // composition after the scene, so a scene draws with the previous frame's.
  double beatOffset = 0.0;
  PartResources programs;
  PartTextures textureIds;
  ObjMesh meshes[kMeshCount];
  ShaderSet shaders;
  ShapeInputs shapeInputs;
  GeometryStream sceneGeometry;  // the scene's panels and rings, drawn at the scene's end
  Camera requestCamera;  // written by the tunnel scene, read by the camera script a frame later
};
