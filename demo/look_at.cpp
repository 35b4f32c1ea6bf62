// The look-at helper: the one camera helper that talks to GL, kept out of
// core/ so the vector arithmetic links without a GL context.
#include "demo/look_at.h"

#include <GL/glew.h>
#include <GL/glu.h>

void lookAt(const Camera* camera) {
  gluLookAt(camera->eye.x, camera->eye.y, camera->eye.z, camera->target.x, camera->target.y,
            camera->target.z, camera->up.x, camera->up.y, camera->up.z);
}
