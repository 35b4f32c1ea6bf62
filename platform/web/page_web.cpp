// What the page offers the program: messages shown on the page, the
// clipboard, the clock, the console, the overlay's text and pictures handed
// to the page.
//
// The page asks its questions (the setup form) before the program starts, so
// nothing inside the program may wait for an answer: message boxes appear on
// the page and on the console as "TITLE: TEXT", and questions take their
// default answer.
#include <emscripten.h>

#include <cstdio>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/png_file.h"

namespace platform {

bool interactive() { return false; }

void messageBox(const char* title, const char* text, BoxIcon) {
  std::fprintf(stderr, "%s: %s\n", title, text);
  EM_ASM(
      {
        if (Module.showMessage) Module.showMessage(UTF8ToString($0), UTF8ToString($1));
      },
      title, text);
}

bool askYesNo(const char* title, const char* text, bool defaultAnswer) {
  std::fprintf(stderr, "%s: %s [%s]\n", title, text, defaultAnswer ? "yes" : "no");
  return defaultAnswer;
}

bool setClipboardText(const std::string& text) {
  return EM_ASM_INT(
             {
               if (!navigator.clipboard) return 0;
               navigator.clipboard.writeText(UTF8ToString($0)).catch(function(){});
               return 1;
             },
             text.c_str()) != 0;
}

void persistClipboard() {}

// Nanoseconds of the page's high-resolution clock.
int64_t performanceCounter() { return static_cast<int64_t>(emscripten_get_now() * 1.0e6); }
int64_t performanceFrequency() { return 1000000000; }

// Standard output goes to the browser's console (and the page's log), line by line.
void openDebugConsole() {}
void discardDiagnostics() {}

void tellShowTime(double seconds) {
  EM_ASM({ Module.showTime = $0; }, seconds);
}

// The sections as lines "START NAME" for the page's timeline.
void tellTimeline(const std::vector<ShowSection>& sections, double end) {
  std::string text;
  for (const ShowSection& section : sections)
    text += std::to_string(section.start) + " " + section.name + "\n";
  EM_ASM(
      {
        if (Module.showTimeline) Module.showTimeline(UTF8ToString($0), $1);
      },
      text.c_str(), end);
}

namespace {
std::optional<double> seekRequest;
}

std::optional<double> takeSeekRequest() {
  std::optional<double> request = seekRequest;
  seekRequest.reset();
  return request;
}

bool showOverlayText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  EM_ASM(
      {
        if (Module.showOverlay) Module.showOverlay(UTF8ToString($0));
      },
      text.c_str());
  return true;
}

// The page keeps the picture under the file's name (Module.pictures) and
// offers it as a PNG.
bool writePng(const std::string& path, const uint8_t* rgb, int width, int height,
              std::string& error) {
  const int taken = EM_ASM_INT(
      {
        if (!Module.receivePicture) return 0;
        Module.receivePicture(UTF8ToString($0), $2, $3, HEAPU8.subarray($1, $1 + $2 * $3 * 3));
        return 1;
      },
      path.c_str(), rgb, width, height);
  if (!taken) error = path + ": the page takes no pictures";
  return taken != 0;
}

}  // namespace platform

// The page's timeline asks for a show time; the next pass seeks there.
extern "C" EMSCRIPTEN_KEEPALIVE void tessaly_seek(double seconds) {
  platform::seekRequest = seconds;
}
