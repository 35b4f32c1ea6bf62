// The part interface: the runtime knows the show's content only through this.
// The part reads everything it needs from the records it is handed: the
// time step, the renderer (render size, cameras, texture table) and the
// frame input (keys, spectrum, tuning values, track flags).
#pragma once

#include <optional>
#include <vector>

#include "core/load_failure.h"
#include "demo/frame_input.h"
#include "demo/image_texture.h"

class RenderResources;

// What loading reports back: the images loaded (for the asset list), and the
// failure that ends the show when an image cannot be read.
struct PartLoad {
  std::vector<LoadedImage> images;
  std::optional<LoadFailure> failure;
};

class parts {
 public:
  // Draws one whole frame into the back buffer; timeStep is the frame delta in seconds.
  virtual void drawFrame(double* timeStep, RenderResources* renderer, FrameInput* input) = 0;
  virtual ~parts() = default;
  // Loads every resource of the part once, with the GL context current. A
  // missing mesh or shader is reported on the console and the show goes on.
  virtual PartLoad initResources(RenderResources* renderer) = 0;

  // The part's camera-track channel: the value the camera-track recorder
  // stores for the part's slot and a digit jump restores.
  double channelValue = 0.0;
};
