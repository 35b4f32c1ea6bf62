// The platform layer: everything the show needs from the desktop, in one place.
//
// A port provides exactly these functions. The rest of the program never
// includes a windowing, dialog or sound library header; it sees only this
// contract (and platform/sound.h, platform/dialog.h, platform/png_file.h for
// sound, the setup dialog and pictures). All functions run on the main thread.
//
// Window and context: one top-level window with an OpenGL 3.3 core-profile
//   context (RGBA8, double-buffered, 24-bit depth). createWindow opens the
//   window; createGLContext makes the context and makes it current;
//   swapWindow presents the back buffer. destroy* are safe to call on
//   anything that was never created.
// Messages: window-system events arrive as WindowMessage records in the
//   program's own small vocabulary, with Windows-compatible virtual-key codes
//   and wheel steps of 120 per notch.
// Message boxes: exact title and text; without a display they print
//   "TITLE: TEXT" on stderr and take the default answer (or, in unattended
//   runs, the answer the environment variable TESSALY_ANSWER gives: yes or no).
// Clipboard, high-resolution counter, display modes, debug console.
// Frame loop: the desktop runs it on the calling thread; the browser runs it
//   on its animation callback (platform/web/, beside this desktop backend).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// ---- Messages --------------------------------------------------------------

enum class MessageType {
  Activate,  // minimized: window iconified (frames stop) or restored
  Size,      // width, height: new client size
  Close,     // the user asked to close the window
  KeyDown,   // key: virtual-key code 0..255
  KeyUp,
  LeftButtonDown,
  LeftButtonUp,
  RightButtonDown,
  RightButtonUp,
  MiddleButtonDown,
  MouseWheel,   // wheelDelta: signed, 120 per notch
  ScreenSaver,  // the system wants to start the screen saver or power saving
  Other,        // anything else (mouse motion among it)
  Quit,         // posted by postQuit; ends the main loop
};

struct WindowMessage {
  MessageType type = MessageType::Other;
  int key = 0;
  int width = 0;
  int height = 0;
  bool minimized = false;
  int wheelDelta = 0;
  int quitCode = 0;
};

// Windows-compatible virtual-key codes of the keys the program names.
namespace vk {
constexpr int Escape = 0x1B;
constexpr int Space = 0x20;
constexpr int PageUp = 0x21;
constexpr int PageDown = 0x22;
constexpr int Home = 0x24;
constexpr int Left = 0x25;
constexpr int Up = 0x26;
constexpr int Right = 0x27;
constexpr int Down = 0x28;
constexpr int F1 = 0x70;
constexpr int F2 = 0x71;
constexpr int F11 = 0x7A;
}  // namespace vk

// Takes the next message without waiting; false when the queue is empty.
bool peekMessage(WindowMessage& message);
// Queues a Quit message with the given code.
void postQuit(int code);

// Runs pass once per frame until it returns false, then done once, and
// returns what done returns. The browser calls pass from its animation
// callback and hands the page back to itself at once: there this call never
// returns, and what the caller's frame holds stays in place for the loop.
int runFrameLoop(const std::function<bool()>& pass, const std::function<int()>& done);

// ---- Window and GL context --------------------------------------------------

// Starts the window system. False when no display can be opened.
bool initVideo();
bool videoAvailable();
// Switches the primary display to width x height for a fullscreen window.
bool setFullscreenMode(int width, int height, int bitsPerPixel);
// Restores the desktop display mode (a no-op if it was never changed).
void restoreDisplayMode();
// Opens the window with the given client size; windowed at (x, y) and
// resizable, or fullscreen on the primary display. The window is shown and focused.
bool createWindow(const char* title, int x, int y, int width, int height, bool fullscreen);
// Switches the window between windowed and fullscreen at the desktop's own
// mode (no mode change); leaving a fullscreen display mode gives the desktop
// its mode back. False when the window system refuses.
bool setDesktopFullscreen(bool fullscreen);
bool windowFullscreen();
// The size in pixels the context draws into.
void drawableSize(int& width, int& height);
// Checks that the window's surface offers RGBA8 colour, 24-bit depth and double buffering.
bool choosePixelFormat();
// Creates the OpenGL 3.3 core-profile context and makes it current; swap interval 1 where
// allowed. A driver that refuses it leaves the reason in lastError().
bool createGLContext();
// Creates the context the driver gives without asking for a version or
// profile and makes it current: to tell what it offers when it refuses the
// one createGLContext asks for.
bool createDefaultGLContext();
// Asks for a swap interval: 1 waits for the display's refresh, 0 does not.
// False when the driver refuses; swapInterval() says what is in force.
bool setSwapInterval(int interval);
int swapInterval();
bool makeContextCurrent();
void swapWindow();
bool releaseContext();  // makes no context current
bool destroyGLContext();
bool destroyWindow();
bool hasWindow();
bool hasGLContext();
// What the window system said about the last failure, for diagnostics.
std::string lastError();
void showCursor(bool visible);

// ---- Message boxes ----------------------------------------------------------

// False for unattended runs (the environment variable TESSALY_BATCH is set)
// and where no display is named: then nothing may wait for a user's answer.
bool interactive();

enum class BoxIcon { Information, Exclamation, Stop };
void messageBox(const char* title, const char* text, BoxIcon icon);
// A yes/no question; returns the answer, or when no display can show it (or
// nothing may wait) TESSALY_ANSWER's "yes" or "no", else defaultAnswer.
bool askYesNo(const char* title, const char* text, bool defaultAnswer);

// ---- Clipboard, timing, display modes, console -------------------------------

// Puts text on the clipboard; false on failure.
bool setClipboardText(const std::string& text);
// Hands the clipboard to the system's clipboard manager so it survives exit.
void persistClipboard();

int64_t performanceCounter();
int64_t performanceFrequency();

struct VideoMode {
  int width;
  int height;
  int bitsPerPixel;
};
// Every mode of the primary display, in the system's order (duplicates included).
std::vector<VideoMode> listVideoModes();

// Diagnostics (shader logs and the like) are written to standard output.
// openDebugConsole makes it unbuffered so they appear at once;
// discardDiagnostics sends standard output nowhere, as a GUI process started
// without a command line would.
void openDebugConsole();
void discardDiagnostics();

// Shows the frame-time overlay's lines where the window system draws text of
// its own (the browser's page), and hides it for no lines; false where the
// program draws the text into the picture itself (the desktop).
bool showOverlayText(const std::vector<std::string>& lines);

// The show time of the frame just drawn, for the browser's page (its end card
// links to the moment the show ended at); the desktop keeps nothing.
void tellShowTime(double seconds);

// The show's sections (where each starts, in seconds, and its name) and its
// end, for the browser page's timeline; the desktop keeps nothing.
struct ShowSection {
  double start;
  const char* name;
};
void tellTimeline(const std::vector<ShowSection>& sections, double end);

// A show time the page's timeline asked to seek to, once; never on the
// desktop.
std::optional<double> takeSeekRequest();

}  // namespace platform
