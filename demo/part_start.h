// The show's one part: it owns every program, texture id and mesh of the
// show, runs the frame composition and holds the four scenes.
//
// initResources loads the resource set in its fixed order; drawFrame
// (frame_composition.cpp) renders one whole frame: the cameras, the scene of
// the current time window into the 4-sample target, then the
// post-processing chain onto the window. The scenes are member operations,
// one file each under demo/scenes/.
#pragma once

#include "assets/obj_loader.h"
#include "demo/geometry.h"
#include "demo/parts.h"
#include "render/shader_set.h"

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

class part_start : public parts {
 public:
  part_start();
  void drawFrame(double* timeStep, RenderResources* renderer, FrameInput* input) override;
  PartLoad initResources(RenderResources* renderer) override;

  // The four scenes; the frame composition passes 0 for both flags.
  void drawOpeningPanels(RenderResources* renderer, int useOrbitCamera, int useVelocityProgram);
  void drawPanelField(RenderResources* renderer, int useOrbitCamera, int useVelocityProgram);
  void drawRingTunnel(RenderResources* renderer, int useOrbitCamera, int useVelocityProgram);
  void drawPanelCube(RenderResources* renderer, int useOrbitCamera, int useVelocityProgram);

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
  void runFilterPass(RenderResources* renderer, const FilterPass& filter);

  double partTime = 0.0;  // the part's clock; equals demoTime unless a jump moves the demo clock
  // The beat added to every scene's field of view: written by the frame
  // composition after the scene, so a scene draws with the previous frame's.
  double beatOffset = 0.0;
  PartResources programs;
  PartTextures textureIds;
  ObjMesh meshes[kMeshCount];
  FrameInput frameInputCopy;
  ShaderSet shaders;
  ShapeInputs shapeInputs;
  GeometryStream sceneGeometry;  // the scene's panels and rings, drawn at the scene's end
  Camera requestCamera;  // written by the tunnel scene, read by the camera script a frame later
};
