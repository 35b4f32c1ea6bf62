// Clipboard text through SDL.
#include <SDL.h>

#include "platform/platform.h"

namespace platform {

bool setClipboardText(const std::string& text) {
  if (!videoAvailable()) return false;
  return SDL_SetClipboardText(text.c_str()) == 0;
}

}  // namespace platform
