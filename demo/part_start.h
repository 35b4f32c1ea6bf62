// The show's one part: it holds every resource of the show and draws each frame.
#pragma once

#include "demo/parts.h"

class part_start : public parts {
 public:
  void drawFrame(double* timeStep, RenderResources* renderer, FrameInput* input) override;
  int initResources(RenderResources* renderer) override;

  int initialised = 0;
  double partTime = 0.0;
  int frameCounter = 0;
};
