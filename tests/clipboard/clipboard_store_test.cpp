// The clipboard text outlives the program when a clipboard manager runs.
//
// The test plays the clipboard manager on the display: it owns the
// CLIPBOARD_MANAGER selection and, when asked to save the clipboard, reads the
// text from its owner. A child process sets the text, hands it over and exits.
#include <gtest/gtest.h>
// Xlib's macros (None, Bool, Status) must come after the test framework's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/platform.h"

namespace {

const std::string kText = "Cam :1,2.5,-3  \nPnt :0,0,0  \n \n";

// A minimal clipboard manager: answers one save request by copying the text.
class FakeClipboardManager {
 public:
  FakeClipboardManager() : display_(XOpenDisplay(nullptr)) {
    if (!display_) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    manager_ = XInternAtom(display_, "CLIPBOARD_MANAGER", False);
    saveTargets_ = XInternAtom(display_, "SAVE_TARGETS", False);
    clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
    utf8_ = XInternAtom(display_, "UTF8_STRING", False);
    XSetSelectionOwner(display_, manager_, window_, CurrentTime);
    XSync(display_, False);
  }
  ~FakeClipboardManager() {
    if (display_) XCloseDisplay(display_);
  }
  bool running() const { return display_ && XGetSelectionOwner(display_, manager_) == window_; }

  // Serves events until `done` says so or `seconds` pass.
  template <typename Done>
  void serve(Done done, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
      while (XPending(display_)) handle();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  std::string saved;
  bool saveAnswered = false;

 private:
  void handle() {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == SelectionRequest && event.xselectionrequest.selection == manager_ &&
        event.xselectionrequest.target == saveTargets_) {
      request_ = event.xselectionrequest;
      XConvertSelection(display_, clipboard_, utf8_, utf8_, window_, request_.time);
    } else if (event.type == SelectionNotify && event.xselection.selection == clipboard_) {
      readSaved();
      answerSave();
    }
  }

  void readSaved() {
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window_, utf8_, 0, 1 << 20, True, AnyPropertyType, &type,
                           &format, &count, &remaining, &data) == Success &&
        data) {
      saved.assign(reinterpret_cast<char*>(data), count);
      XFree(data);
    }
  }

  void answerSave() {
    XEvent reply = {};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request_.requestor;
    reply.xselection.selection = manager_;
    reply.xselection.target = saveTargets_;
    reply.xselection.property = request_.property;
    reply.xselection.time = request_.time;
    XSendEvent(display_, request_.requestor, False, NoEventMask, &reply);
    XFlush(display_);
    saveAnswered = true;
  }

  Display* display_;
  Window window_ = 0;
  Atom manager_ = 0, saveTargets_ = 0, clipboard_ = 0, utf8_ = 0;
  XSelectionRequestEvent request_ = {};
};

TEST(ClipboardStore, TextSurvivesTheProgramThroughTheClipboardManager) {
  FakeClipboardManager manager;
  ASSERT_TRUE(manager.running()) << "no X display, or another clipboard manager runs";

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool set = platform::initVideo() && platform::setClipboardText(kText);
    if (set) platform::persistClipboard();
    _exit(set ? 0 : 5);
  }

  int status = -1;
  manager.serve([&] { return waitpid(child, &status, WNOHANG) == child; }, 20.0);
  ASSERT_TRUE(WIFEXITED(status)) << "the program did not end";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the clipboard text could not be set";
  EXPECT_TRUE(manager.saveAnswered) << "the clipboard was never handed to the manager";
  EXPECT_EQ(manager.saved, kText);
}

}  // namespace
