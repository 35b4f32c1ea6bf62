// The part's resource numbers: the program slots of its shader set, the ids
// of its textures and the numbers of its meshes. The part loads them
// (demo/part_start.h); the scenes draw with them (demo/scenes/scene_context.h).
#pragma once

#include "render/render_resources.h"

// Program slots of the shader set.
struct PartResources {
  int material = 1;
  int combineOcclusion = 3;
  int finalBlur = 4;
  int velocities = 5;
  int highlightBlur = 6;
  int godRays = 7;
  int occlusion = 8;   // the half-size occlusion the combine upsamples
  int edgeFilter = 9;  // smooths the edges of a scene drawn with one sample
  int simpleBlur = 13;
};

// Texture ids of the part (all relative to the texture base, which is 0).
struct PartTextures {
  TextureId sceneColor = 0;
  TextureId noiseNormalMap = 10;
  TextureId secondColor = 11;
  TextureId blob = 12;
  TextureId depthA = 26;
  TextureId noise = 27;
  TextureId glow = 28;
  TextureId depthB = 29;
  TextureId velocity = 32;
  TextureId combined = 33;      // the combine's result, read by the glow and the final pass
  TextureId occlusion = 34;     // half size: occlusion and the depth it was measured at
  TextureId edgeFiltered = 35;  // the scene colour after the edge filter, without antialiasing
  TextureId spectrum = SPECTRUM_TEXTURE_ID;
  TextureId unusedFlat = 111;  // bound by the scenes; never created, so it reads as texture 0
  TextureId unusedCube = 200;  // likewise, as a cube map
};

// Mesh numbers in the part's table of eleven (0, 1 and 6 stay empty).
enum MeshNumber {
  kMeshTest2 = 2,
  kMeshCube = 3,
  kMeshCube2 = 4,
  kMeshRealCube = 5,
  kMeshSurround = 7,
  kMeshLetterV = 8,
  kMeshLetterR = 9,
  kMeshLetterK = 10,
  kMeshCount = 11,
};
