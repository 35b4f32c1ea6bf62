// The GL entry points, for render/'s own sources only: no header that other
// folders include pulls this in, so render/ is the one folder that speaks GL.
#pragma once

#include <GL/glew.h>
