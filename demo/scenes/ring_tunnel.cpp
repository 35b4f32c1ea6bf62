// Scene slot: clears the scene target until the scene is drawn here.
#include <GL/glew.h>

#include "demo/part_start.h"

void part_start::drawRingTunnel(RenderResources*, int, int) {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
