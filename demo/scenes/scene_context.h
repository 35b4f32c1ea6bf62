// What a scene draws with: the renderer and the part's programs, textures
// and meshes, the shapes' inputs and the geometry stream they fill, the
// show's generator, the beat of the previous frame, and the request camera
// that the tunnel writes for the camera script. The part makes one for each
// frame's scene (demo/part_start.h); a scene is a function of the frame
// record and this context (demo/scenes/scenes.h).
#pragma once

#include "assets/obj_loader.h"
#include "core/random.h"
#include "core/vector.h"
#include "demo/geometry.h"
#include "demo/part_resources.h"
#include "render/render_resources.h"
#include "render/shader_set.h"

struct SceneContext {
  RenderResources& renderer;
  ShaderSet& shaders;
  const PartResources& programs;
  const PartTextures& textures;
  const ObjMesh* meshes;  // the part's table of kMeshCount
  ShapeInputs& shapes;
  GeometryStream& geometry;
  Random& random;
  // The beat added to the field of view: the frame composition writes it
  // after the scene, so a scene draws with the previous frame's.
  double beatOffset;
  Camera& requestCamera;  // written by the tunnel, read by the camera script a frame later
};
