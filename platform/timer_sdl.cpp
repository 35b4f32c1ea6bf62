// The high-resolution counter.
#include <SDL.h>

#include "platform/platform.h"

namespace platform {

int64_t performanceCounter() { return static_cast<int64_t>(SDL_GetPerformanceCounter()); }
int64_t performanceFrequency() { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }

}  // namespace platform
