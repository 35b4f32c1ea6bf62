// The look-at helper: the one vector helper that talks to GL, kept apart so
// the pure helpers link without a GL context.
#include <GL/glew.h>
#include <GL/glu.h>

#include "demo/vector.h"

void lookAt(const Camera* camera) {
  gluLookAt(camera->eye.x, camera->eye.y, camera->eye.z, camera->target.x, camera->target.y,
            camera->target.z, camera->up.x, camera->up.y, camera->up.z);
}
