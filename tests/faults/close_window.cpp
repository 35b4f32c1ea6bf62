// Asks the top-level window with the given title to close, the way a window
// manager does when the user clicks the close button: a WM_DELETE_WINDOW
// client message. Exit code 1 when no such window is found.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

namespace {

Window findWindow(Display* display, Window parent, const char* title) {
  char* name = nullptr;
  if (XFetchName(display, parent, &name) && name) {
    const bool match = std::strcmp(name, title) == 0;
    XFree(name);
    if (match) return parent;
  }
  Window root, ancestor, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (XQueryTree(display, parent, &root, &ancestor, &children, &count)) {
    for (unsigned i = 0; i < count && !found; ++i) found = findWindow(display, children[i], title);
    if (children) XFree(children);
  }
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: close_window TITLE\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "close_window: cannot open the display\n");
    return 1;
  }
  const Window window = findWindow(display, DefaultRootWindow(display), argv[1]);
  if (!window) {
    std::fprintf(stderr, "close_window: no window titled \"%s\"\n", argv[1]);
    XCloseDisplay(display);
    return 1;
  }
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return 0;
}
