// The entry sequence and the message loop.
#include "app/main_loop.h"

#include "app/benchmark.h"
#include "app/capture.h"
#include "app/display_modes.h"
#include "app/frame_overlay.h"
#include "app/gl_window.h"
#include "app/live_shaders.h"
#include "app/offline_render.h"
#include "app/setup_dialog.h"
#include "app/swap_interval.h"
#include "app/window_procedure.h"
#include "platform/platform.h"
#include "runtime/demo_state.h"
#include "runtime/frame_driver.h"
#include "runtime/music.h"

namespace {

void chooseScreen(const CommandLine& commandLine) {
  if (demo.releaseBuild) {
    demo.showSetupDialog = true;
    demo.fadeOutRate = 0.8;
    demo.musicEnabled = true;
  }
  // Any screen choice on the command line replaces the dialog, and an
  // unattended run cannot answer it.
  if (commandLine.noDialog || !platform::interactive()) demo.showSetupDialog = false;
  enumerateDisplayModes();
  if (demo.showSetupDialog) {
    runSetupDialog();
    if (commandLine.antialiased) demo.antialiased = *commandLine.antialiased;
    return;
  }
  demo.antialiased = commandLine.antialiased.value_or(true);
  demo.renderWidth = demo.viewportWidth = commandLine.width.value_or(1280);
  demo.renderHeight = demo.viewportHeight =
      commandLine.width ? renderHeightForWidth(*commandLine.width) : 720;
  demo.displayWidth = demo.renderWidth;
  demo.displayHeight = demo.renderHeight;
  demo.fullscreen = commandLine.fullscreen.value_or(false);
}

}  // namespace

bool mainLoopPass(int& quitCode) {
  platform::WindowMessage message;
  // A tap whose press and release both wait in the queue leaves the key up
  // by the time the queue is drained; the press alone still ends the show.
  bool escapePressed = false;
  while (platform::peekMessage(message)) {
    if (message.type == platform::MessageType::Quit) {
      quitCode = message.quitCode;
      return false;
    }
    if (message.type == platform::MessageType::KeyDown && message.key == platform::vk::Escape)
      escapePressed = true;
    windowProcedure(message);
  }
  pollLiveShaders();
  overlayFrameBegins();
  bool running = true;
  if (demo.windowActive) running = runFrame();
  drawFrameOverlay();
  if ((!running || escapePressed || demo.keys[platform::vk::Escape]) && !demo.fadingOut) {
    demo.fadingOut = true;
    demo.fadeStartTime = demo.demoTime;
  }
  swapFrameBuffers(0.0);
  if (demo.keys[platform::vk::F1]) demo.keys[platform::vk::F1] = false;
  return true;
}

int runProgram(const CommandLine& commandLine) {
  const bool capture = !commandLine.capturePath.empty();
  if (capture && !captureToolAvailable()) return 1;
  chooseScreen(commandLine);
  if (commandLine.any)
    platform::openDebugConsole();
  else
    platform::discardDiagnostics();
  // Offline renders set the clock from their own frame times; only the
  // played show starts from --start through the frame driver.
  if (!capture && !commandLine.screenshotTime && !commandLine.benchmark)
    requestStartTime(commandLine.start);

  // Fullscreen takes the whole display mode; the picture keeps the render size.
  const int windowWidth = demo.fullscreen ? demo.displayWidth : demo.renderWidth;
  const int windowHeight = demo.fullscreen ? demo.displayHeight : demo.renderHeight;
  if (!createMainWindow("Tessaly", windowWidth, windowHeight, 32, demo.fullscreen)) return 1;
  if (commandLine.vsync) applySwapInterval(*commandLine.vsync);

  if (commandLine.screenshotTime) {
    const int code = renderScreenshot(*commandLine.screenshotTime, commandLine.screenshotPath);
    if (demo.musicEnabled) closeMusic();
    destroyMainWindow();
    return code;
  }

  if (commandLine.benchmark) {
    const int code = runBenchmark({commandLine.benchmarkFrames});
    if (demo.musicEnabled) closeMusic();
    destroyMainWindow();
    return code;
  }

  if (capture) {
    const int code =
        runCapture({commandLine.capturePath, commandLine.start, commandLine.captureStop,
                    commandLine.captureFps, commandLine.capturePreset});
    if (demo.musicEnabled) closeMusic();
    destroyMainWindow();
    return code;
  }

  if (commandLine.live) startLiveShaders();
  int quitCode = 0;
  while (mainLoopPass(quitCode)) {
  }
  // Closing the window: stop the sound before the process ends so no audio
  // thread outlives the objects it reads.
  if (demo.musicEnabled) closeMusic();
  destroyMainWindow();
  return quitCode;
}
