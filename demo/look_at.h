// gluLookAt with a camera's eye, target and up (state words ignored). Needs a
// current GL context.
#pragma once

#include "core/vector.h"

void lookAt(const Camera* camera);
