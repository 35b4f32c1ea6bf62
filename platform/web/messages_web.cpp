// The browser's events as window messages, and the frame loop on the
// browser's animation callback.
//
// Keys carry the browser's keyCode, which for every key the show names is the
// Windows virtual-key code. Keys the show uses do not also scroll the page or
// open the browser's own functions; other keys keep their usual meaning.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <deque>
#include <functional>

#include "platform/platform.h"

namespace platform {

namespace {

std::deque<WindowMessage> queue;
bool listening = false;

void post(MessageType type) {
  WindowMessage message;
  message.type = type;
  queue.push_back(message);
}

bool showKey(int key) {
  switch (key) {
    case vk::Escape:
    case vk::Space:
    case vk::PageUp:
    case vk::PageDown:
    case vk::Home:
    case vk::Left:
    case vk::Up:
    case vk::Right:
    case vk::Down:
    case vk::F1:
    case vk::F2:
    case vk::F11:
      return true;
    default:
      return false;
  }
}

EM_BOOL onKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
  const int key = static_cast<int>(event->keyCode);
  if (key <= 0 || key > 255) return EM_FALSE;
  WindowMessage message;
  message.type = eventType == EMSCRIPTEN_EVENT_KEYDOWN ? MessageType::KeyDown : MessageType::KeyUp;
  message.key = key;
  queue.push_back(message);
  return showKey(key) ? EM_TRUE : EM_FALSE;
}

EM_BOOL onMouseButton(int eventType, const EmscriptenMouseEvent* event, void*) {
  const bool down = eventType == EMSCRIPTEN_EVENT_MOUSEDOWN;
  switch (event->button) {
    case 0:
      post(down ? MessageType::LeftButtonDown : MessageType::LeftButtonUp);
      break;
    case 1:
      if (down) post(MessageType::MiddleButtonDown);
      break;
    case 2:
      post(down ? MessageType::RightButtonDown : MessageType::RightButtonUp);
      break;
    default:
      post(MessageType::Other);
  }
  return EM_FALSE;
}

EM_BOOL onMouseMove(int, const EmscriptenMouseEvent*, void*) {
  post(MessageType::Other);
  return EM_FALSE;
}

// A notch of the wheel reads 120, upwards positive as on the desktop.
EM_BOOL onWheel(int, const EmscriptenWheelEvent* event, void*) {
  if (event->deltaY == 0.0) return EM_FALSE;
  WindowMessage message;
  message.type = MessageType::MouseWheel;
  message.wheelDelta = event->deltaY < 0.0 ? 120 : -120;
  queue.push_back(message);
  return EM_TRUE;
}

EM_BOOL onVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
  WindowMessage message;
  message.type = MessageType::Activate;
  message.minimized = event->hidden;
  queue.push_back(message);
  return EM_FALSE;
}

void listen() {
  if (listening) return;
  listening = true;
  const char* const page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(page, nullptr, EM_TRUE, onKey);
  emscripten_set_keyup_callback(page, nullptr, EM_TRUE, onKey);
  emscripten_set_mousedown_callback("#canvas", nullptr, EM_TRUE, onMouseButton);
  emscripten_set_mouseup_callback("#canvas", nullptr, EM_TRUE, onMouseButton);
  emscripten_set_mousemove_callback("#canvas", nullptr, EM_TRUE, onMouseMove);
  emscripten_set_wheel_callback("#canvas", nullptr, EM_TRUE, onWheel);
  emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, onVisibility);
}

std::function<bool()> loopPass;
std::function<int()> loopDone;

void animationFrame() {
  if (loopPass()) return;
  emscripten_cancel_main_loop();
  const int code = loopDone();
  EM_ASM(
      {
        if (Module.showEnded) Module.showEnded($0);
      },
      code);
}

}  // namespace

bool peekMessage(WindowMessage& message) {
  listen();
  if (queue.empty()) return false;
  message = queue.front();
  queue.pop_front();
  return true;
}

void postQuit(int code) {
  WindowMessage message;
  message.type = MessageType::Quit;
  message.quitCode = code;
  queue.push_back(message);
}

// The browser calls back once per displayed frame; this call hands the page
// back to the browser and never returns.
int runFrameLoop(const std::function<bool()>& pass, const std::function<int()>& done) {
  listen();
  loopPass = pass;
  loopDone = done;
  emscripten_set_main_loop(animationFrame, 0, EM_TRUE);
  return 0;
}

}  // namespace platform
