// Message boxes with the program's exact titles and texts.
//
// Each message is also written to stderr as "TITLE: TEXT", so it is seen on a
// terminal and in logs. Where no display can show a box, or when the
// environment variable TESSALY_BATCH is set (unattended runs under Xvfb,
// tests), only that line is written and a question takes its default answer,
// or the one TESSALY_ANSWER gives ("yes" or "no"), so that a scripted run or
// a test can take either way.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace platform {
bool interactive() {
  if (std::getenv("TESSALY_BATCH")) return false;
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (display && *display) || (wayland && *wayland);
}

namespace {

Uint32 boxFlags(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Information:
      return SDL_MESSAGEBOX_INFORMATION;
    case BoxIcon::Exclamation:
      return SDL_MESSAGEBOX_WARNING;
    case BoxIcon::Stop:
      return SDL_MESSAGEBOX_ERROR;
  }
  return SDL_MESSAGEBOX_INFORMATION;
}

bool unattendedAnswer(bool defaultAnswer) {
  const char* answer = std::getenv("TESSALY_ANSWER");
  if (answer && std::strcmp(answer, "yes") == 0) return true;
  if (answer && std::strcmp(answer, "no") == 0) return false;
  return defaultAnswer;
}

}  // namespace

void messageBox(const char* title, const char* text, BoxIcon icon) {
  std::fprintf(stderr, "%s: %s\n", title, text);
  std::fflush(stderr);
  if (interactive()) SDL_ShowSimpleMessageBox(boxFlags(icon), title, text, nullptr);
}

bool askYesNo(const char* title, const char* text, bool defaultAnswer) {
  std::fprintf(stderr, "%s: %s\n", title, text);
  std::fflush(stderr);
  if (!interactive()) return unattendedAnswer(defaultAnswer);
  const SDL_MessageBoxButtonData buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
  };
  const SDL_MessageBoxData data = {
      SDL_MESSAGEBOX_WARNING, nullptr, title, text, 2, buttons, nullptr};
  int answer = -1;
  if (SDL_ShowMessageBox(&data, &answer) != 0 || answer < 0) return defaultAnswer;
  return answer == 1;
}

}  // namespace platform
