// GLU's polygon tessellator, for the outline font's start-up only. GLEW's
// header must come before GLU's, which includes GL's own.
#pragma once

// clang-format off
#include "render/gl.h"
#include <GL/glu.h>
// clang-format on
