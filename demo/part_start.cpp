// The show's part: its clock and its frame.
#include "demo/part_start.h"

#include <GL/glew.h>

int part_start::initResources(RenderResources*) {
  partTime = 0.0;
  frameCounter = 0;
  return 0;
}

void part_start::drawFrame(double* timeStep, RenderResources*, FrameInput*) {
  partTime += *timeStep;
  frameCounter += 1;
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
