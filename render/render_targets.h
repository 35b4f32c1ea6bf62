// What render/'s own sources share of the render targets.
#pragma once

#include "render/gl_names.h"

// A new renderbuffer of the GL internal format with storage for width x
// height pixels of the given sample count (0: single-sampled).
RenderbufferName makeRenderbuffer(int width, int height, int samples, unsigned format);
