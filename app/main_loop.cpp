// The entry sequence and the message loop.
#include "app/main_loop.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/benchmark.h"
#include "app/display_modes.h"
#include "app/frame_overlay.h"
#include "app/gl_window.h"
#include "app/live_shaders.h"
#include "app/setup_dialog.h"
#include "app/swap_interval.h"
#include "app/teardown.h"
#include "app/transport.h"
#include "app/window_picture.h"
#include "app/window_procedure.h"
#include "capture/capture.h"
#include "capture/offline_render.h"
#include "capture/parallel_capture.h"
#include "core/timeline.h"
#include "demo/part_start.h"
#include "platform/platform.h"
#include "runtime/demo_state.h"
#include "runtime/frame_driver.h"
#include "runtime/startup.h"
#include "runtime/timer.h"

namespace {

// False when the user quit from the setup dialog.
bool chooseScreen(DemoState& demo, const CommandLine& commandLine) {
  if (demo.options.releaseBuild) {
    demo.options.showSetupDialog = true;
    demo.options.fadeOutRate = 0.8;
    demo.music.enabled = true;
  }
  // Any screen choice on the command line replaces the dialog, and an
  // unattended run cannot answer it.
  if (commandLine.noDialog || !platform::interactive()) demo.options.showSetupDialog = false;
  enumerateDisplayModes(demo.options);
  if (demo.options.showSetupDialog) {
    if (runSetupDialog(demo.options) == platform::SetupOutcome::Quit) return false;
    if (commandLine.antialiased) demo.options.antialiased = *commandLine.antialiased;
    return true;
  }
  demo.options.antialiased = commandLine.antialiased.value_or(true);
  demo.options.renderWidth = demo.options.viewportWidth = commandLine.width.value_or(1280);
  demo.options.renderHeight = demo.options.viewportHeight =
      commandLine.width ? renderHeightForWidth(*commandLine.width) : 720;
  demo.options.displayWidth = demo.options.renderWidth;
  demo.options.displayHeight = demo.options.renderHeight;
  demo.options.fullscreen = commandLine.fullscreen.value_or(false);
  return true;
}

CaptureRequest captureRequestOf(const CommandLine& commandLine) {
  return {commandLine.capturePath, commandLine.start,         commandLine.captureStop,
          commandLine.captureFps,  commandLine.capturePreset, commandLine.rangeIndex,
          commandLine.rangeCount};
}

// The ranges of a capture: on the machines of the sshlogin file, or on this
// one (a single range is the capture in this process).
ParallelCapture parallelCaptureOf(const CommandLine& commandLine, bool withSound) {
  ParallelCapture split;
  split.settings.capture = captureRequestOf(commandLine);
  split.settings.width = commandLine.width.value_or(1280);
  split.height = renderHeightForWidth(split.settings.width);
  split.settings.antialiased = commandLine.antialiased;
  split.loginFile = commandLine.sshLoginFile;
  split.jobs = commandLine.captureJobs.value_or(split.loginFile.empty() ? defaultCaptureJobs() : 0);
  split.dataFolder = std::filesystem::current_path().string();
  split.withSound = withSound;
  return split;
}

}  // namespace

bool mainLoopPass(DemoState& demo, FrameResult& end) {
  platform::WindowMessage message;
  // A tap whose press and release both wait in the queue leaves the key up
  // by the time the queue is drained; the press alone still ends the show.
  bool escapePressed = false;
  while (platform::peekMessage(message)) {
    if (message.type == platform::MessageType::Quit) {
      end = {ShowEnd::WindowClosed, message.quitCode, "the window was closed"};
      return false;
    }
    if (message.type == platform::MessageType::KeyDown && message.key == platform::vk::Escape)
      escapePressed = true;
    windowProcedure(demo, message);
  }
  // The page's timeline seeks as the arrow keys do.
  if (std::optional<double> seek = platform::takeSeekRequest(); seek && !demo.clock.fadingOut)
    seekShow(demo.clock, *seek);
  const bool endAsked = escapePressed || demo.input.keys[platform::vk::Escape];
  pollLiveShaders(demo.partSlots.slot[0]);
  if (demo.input.windowActive) {
    overlayFrameBegins();
    end = runFrame(demo, timerRead(demo.clock));
    if (!showGoesOn(demo.clock, demo.options.loop, end, endAsked)) return false;
    drawFrameOverlay(demo);
    platform::tellShowTime(demo.clock.demoTime);
  }
  if (endAsked && !demo.clock.fadingOut) {
    // The fade runs on the show's clock, so a paused show resumes to end.
    resumeShow(demo.clock, demo.music);
    demo.clock.fadingOut = true;
    demo.clock.fadeStartTime = demo.clock.demoTime;
  }
  swapFrameBuffers(0.0);
  if (demo.input.keys[platform::vk::F1]) demo.input.keys[platform::vk::F1] = false;
  return true;
}

bool startShow(DemoState& demo, std::optional<LoadFailure>& failure) {
  failure = runStartup(demo, swapFrameBuffers);
  if (failure) return false;
  demo.renderer.buildOutlineFont();
  int width = 0, height = 0;
  platform::drawableSize(width, height);
  pictureWindowResized(demo.renderer, width, height);
  platform::tellTimeline({{0.0, sceneName(Scene::OpeningPanels)},
                          {kPanelFieldStart, sceneName(Scene::PanelField)},
                          {kRingTunnelStart, sceneName(Scene::RingTunnel)},
                          {kPanelCubeStart, sceneName(Scene::PanelCube)}},
                         kShowEnd);
  return true;
}

int runProgram(const CommandLine& commandLine) {
  // The one owner of the show's state and its part, for the whole run.
  const auto state = std::make_unique<DemoState>();
  DemoState& demo = *state;
  const auto content = std::make_unique<part_start>();
  // Slot 0 holds the part; slots 1-3 stay empty.
  demo.partSlots.slot[0] = content.get();
  applyBuildSwitches(demo.directing);
  const bool capture = !commandLine.capturePath.empty();
  if (capture && !captureToolAvailable()) return 1;
  // A capture split into ranges runs them as processes of their own, here or
  // on other machines, and joins their videos: this process opens no window.
  if (capture && commandLine.rangeCount == 0) {
    const ParallelCapture split = parallelCaptureOf(commandLine, demo.music.enabled);
    if (split.jobs != 1 || !split.loginFile.empty()) {
      if (!parallelCaptureToolsAvailable(split)) return 1;
      platform::openDebugConsole();
      return runParallelCapture(split);
    }
  }
  if (!chooseScreen(demo, commandLine)) return 0;
  if (commandLine.any)
    platform::openDebugConsole();
  else
    platform::discardDiagnostics();
  // Offline renders set the clock from their own frame times; only the
  // played show starts from --start through the frame driver, and loops.
  if (!capture && !commandLine.screenshotTime && !commandLine.benchmark) {
    demo.clock.startTime = commandLine.start;
    demo.options.loop = commandLine.loop;
  }

  // The startup runs inside the window's creation, once the context is
  // current; a file it cannot load ends the show with its message.
  // Fullscreen takes the whole display mode; the picture keeps the render size.
  std::optional<LoadFailure> failure;
  const auto startup = [&] { return startShow(demo, failure); };
  const int windowWidth =
      demo.options.fullscreen ? demo.options.displayWidth : demo.options.renderWidth;
  const int windowHeight =
      demo.options.fullscreen ? demo.options.displayHeight : demo.options.renderHeight;
  if (!createMainWindow("Tessaly", windowWidth, windowHeight, 32, demo.options.fullscreen,
                        startup)) {
    if (failure)
      platform::messageBox(failure->title.c_str(), failure->text.c_str(),
                           platform::BoxIcon::Information);
    tearDownShow(demo, false);
    return 1;
  }
  if (commandLine.vsync) applySwapInterval(*commandLine.vsync);

  // Stopping the sound before the process ends leaves no audio thread
  // reading what main's return destroys.
  const auto finish = [&demo](int code, bool handOverText) {
    tearDownShow(demo, handOverText);
    return code;
  };
  // An offline render makes frames to keep: without a file the show would
  // draw without, or with one used only in part, they would not be the show's.
  if ((capture || commandLine.screenshotTime || commandLine.benchmark) &&
      !demo.loadProblems.empty()) {
    std::fprintf(stderr,
                 "tessaly: cannot render offline: %zu data file%s cannot be used whole (above); "
                 "the frames would not be the show's\n",
                 demo.loadProblems.size(), demo.loadProblems.size() == 1 ? "" : "s");
    return finish(1, false);
  }
  if (commandLine.screenshotTime)
    return finish(renderScreenshot(demo, *commandLine.screenshotTime, commandLine.screenshotPath),
                  false);
  if (commandLine.benchmark)
    return finish(runBenchmark(demo, content->showShaders(), {commandLine.benchmarkFrames}), false);
  if (capture) return finish(runCapture(demo, captureRequestOf(commandLine)), false);
  if (commandLine.live) startLiveShaders(demo.partSlots.slot[0]);
  FrameResult end;
  return platform::runFrameLoop(
      [&demo, &end] { return mainLoopPass(demo, end); },
      [&end, &finish] { return finish(end.exitCode, end.end == ShowEnd::FadeDone); });
}
