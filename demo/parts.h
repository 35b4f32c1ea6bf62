// The part interface: the runtime knows the show's content only through this.
#pragma once

class RenderResources;
struct FrameInput;

class parts {
 public:
  // Draws one whole frame into the back buffer; timeStep is the frame delta in seconds.
  virtual void drawFrame(double* timeStep, RenderResources* renderer, FrameInput* input) = 0;
  virtual ~parts() = default;
  // Loads every resource of the part once, with the GL context current.
  virtual int initResources(RenderResources* renderer) = 0;

  // The part's camera-track channel: the value the camera-track recorder
  // stores for the part's slot and a digit jump restores.
  double channelValue = 0.0;
};
