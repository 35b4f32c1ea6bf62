// The clipboard text outlives the program when a clipboard manager runs, and
// the program hands its captured camera text over only at the end of a
// completed end fade.
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
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "support/own_display.h"

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

// The program on a display of its own with the test's clipboard manager: a
// middle click captures the camera as text, then the show ends one of three
// ways. Escape's end fade completes: the text goes to the clipboard manager
// and is printed. A closed window, or a show that runs out at 205 s before
// the fade begun by Escape completes, hands nothing over. The click, the keys
// and the close request reach the window in that order, so the text is
// captured before each ending. The program reads them all at once after its
// startup, the window's focus among them; SDL would take a click that soon
// after the focus for the click that gave it and drop it, unless told to
// pass such clicks through.
TEST(ClipboardHandOver, OnlyACompletedEndFadeHandsTheCapturedTextOver) {
  const OwnDisplay display;
  ASSERT_FALSE(display.name().empty()) << "no display of its own: Xvfb did not start";
  setenv("DISPLAY", display.name().c_str(), 1);
  FakeClipboardManager manager;
  ASSERT_TRUE(manager.running());

  struct Ending {
    const char* name;
    std::string command;
    bool handsOver;
  };
  const Ending endings[] = {
      {"Escape", "xdotool key Escape", true},
      {"the window closed", TESSALY_BINARY_DIR "/tests/faults/close_window Tessaly", false},
      // Seven presses: keys read before the first frame seek from 0, not from --start.
      {"Page Down to the end, then Escape", "xdotool key Next Next Next Next Next Next Next Escape",
       false},
  };
  const std::string log = ::testing::TempDir() + "clipboard_hand_over.txt";
  for (const Ending& ending : endings) {
    SCOPED_TRACE(ending.name);
    manager.saved.clear();
    manager.saveAnswered = false;
    const std::string script =
        "SDL_MOUSE_FOCUS_CLICKTHROUGH=1 TESSALY_BATCH=1 SDL_AUDIODRIVER=dummy timeout "
        "240 " TESSALY_BINARY_DIR "/tessaly --data " TESSALY_BINARY_DIR
        "/data --no-dialog --width 320 --start 100 > \"$0\" 2>&1 & pid=$!; "
        "for i in $(seq 1200); do "
        "window=$(xdotool search --onlyvisible --name '^Tessaly$' | head -1); "
        "[ -n \"$window\" ] && break; kill -0 $pid || break; sleep 0.1; done; "
        "xdotool mousemove --window \"$window\" 20 20 click 2; " +
        ending.command + "; wait $pid";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      execl("/bin/bash", "bash", "-c", script.c_str(), log.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = -1;
    manager.serve([&] { return waitpid(child, &status, WNOHANG) == child; }, 300.0);
    std::ifstream file(log);
    const std::string output((std::istreambuf_iterator<char>(file)), {});
    ASSERT_TRUE(WIFEXITED(status)) << "the program did not end\n" << output;
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;
    EXPECT_EQ(manager.saveAnswered, ending.handsOver) << output;
    if (ending.handsOver) {
      EXPECT_EQ(manager.saved.rfind("Cam :", 0), 0u) << manager.saved;
      EXPECT_NE(output.find(manager.saved), std::string::npos) << "not printed\n" << output;
    } else {
      EXPECT_EQ(output.find("Cam :"), std::string::npos) << output;
    }
  }
}

}  // namespace
