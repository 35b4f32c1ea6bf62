// The window procedure.
#include "app/window_procedure.h"

#include <cstdio>

#include "app/gl_window.h"
#include "app/viewer_keys.h"
#include "app/window_picture.h"
#include "runtime/demo_state.h"

namespace {

using platform::MessageType;

// Held Up/Down and Q/A move the tuning values once per message that reaches
// this path, so mouse motion over the window speeds them up.
void defaultPath(DemoState& demo) {
  FrameInput& input = demo.input.frameInput;
  if (demo.input.keys[platform::vk::Up]) input.adjustB += 1.5 * demo.clock.frameDelta;
  if (demo.input.keys[platform::vk::Down]) input.adjustB -= 1.5 * demo.clock.frameDelta;
  if (demo.input.keys['A']) input.adjustA -= demo.clock.frameDelta;
  if (demo.input.keys['Q']) input.adjustA += demo.clock.frameDelta;
}

void captureCamera(DemoState& demo) {
  FrameInput& input = demo.input.frameInput;
  Vec3 point;
  point.state = 1;
  point.x = static_cast<float>(input.pointX);
  point.y = static_cast<float>(input.pointY);
  point.z = static_cast<float>(input.pointZ);
  input.capturedPoints.push_back(point);
  const RenderResources& r = demo.renderer;
  demo.input.clipboardText +=
      captureText(input.cameraX, input.cameraY, input.cameraZ, input.pointX, input.pointY,
                  input.pointZ, r.markerX, r.markerY, r.markerZ);
}

bool validKey(int key) { return key >= 0 && key < kKeyCount; }

}  // namespace

std::string formatSignificant6(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

std::string captureText(double camX, double camY, double camZ, double pointX, double pointY,
                        double pointZ, double markX, double markY, double markZ) {
  auto triple = [](double x, double y, double z) {
    return formatSignificant6(x) + "," + formatSignificant6(y) + "," + formatSignificant6(z);
  };
  return "Cam :" + triple(camX, camY, camZ) + "  \n" + "Pnt :" + triple(pointX, pointY, pointZ) +
         "  \n \n" + "MCr :" + triple(markX, markY, markZ) + "  \n \n";
}

bool copyToClipboard(const std::string& text) { return platform::setClipboardText(text); }

void windowProcedure(DemoState& demo, const platform::WindowMessage& message) {
  switch (message.type) {
    case MessageType::Activate:
      demo.input.windowActive = !message.minimized;
      return;
    case MessageType::Size:
      resizeViewport(message.width, message.height);
      pictureWindowResized(demo.renderer, message.width, message.height);
      return;
    case MessageType::Close:
      platform::postQuit(0);
      return;
    case MessageType::KeyDown:
      if (validKey(message.key)) {
        const bool held = demo.input.keys[message.key];
        demo.input.keys[message.key] = true;
        if (!held) viewerKeyPressed(demo, message.key);
      }
      return;
    case MessageType::KeyUp:
      if (validKey(message.key)) demo.input.keys[message.key] = false;
      return;
    case MessageType::ScreenSaver:
      return;
    case MessageType::MouseWheel:
      demo.input.wheelCount += message.wheelDelta / 120;
      return;
    case MessageType::LeftButtonDown:
    case MessageType::LeftButtonUp:
      break;
    case MessageType::RightButtonDown:
      demo.input.mouseRightDown = true;
      break;
    case MessageType::RightButtonUp:
      demo.input.mouseRightDown = false;
      break;
    case MessageType::MiddleButtonDown:
      captureCamera(demo);
      break;
    case MessageType::Other:
    case MessageType::Quit:
      break;
  }
  defaultPath(demo);
}
