// The startup sequence, in its fixed order.
#include "runtime/startup.h"

#include <cstdio>
#include <string>

#include "demo/parts.h"
#include "render/render_startup.h"
#include "runtime/asset_list.h"
#include "runtime/camera_tracks.h"
#include "runtime/cue_table.h"
#include "runtime/demo_state.h"
#include "runtime/music.h"
#include "runtime/statistics.h"
#include "runtime/timer.h"

std::optional<LoadFailure> runStartup(DemoState& demo, void (*swapBuffers)(double)) {
  RenderResources& renderer = demo.renderer;

  // Directing tools that read or open files first.
  if (demo.directing.cameraTracksEnabled) loadTracks(demo, "state.txt");
  if (demo.directing.assetListEnabled) demo.directing.assetListFile.open("c://3dsjpglist4.txt");

  // The swap function, the GL entry points and the check of the
  // context, the three render-target pairs and the screen quad.
  demo.input.clipboardText.clear();
  if (std::optional<LoadFailure> failure = startRenderer(
          renderer, swapBuffers, demo.options.renderWidth, demo.options.renderHeight,
          demo.options.viewportWidth, demo.options.viewportHeight, demo.options.antialiased))
    return failure;
  std::printf("GL context: %s\n", contextDescription().c_str());

  // Load time starts.
  demo.clock.loadSeconds = timerRead(demo.clock);

  // The part loads every mesh, texture and shader.
  swapBuffers(0.0);
  PartLoad load = demo.partSlots.slot[0]->initResources(renderer, demo.random);
  demo.directing.loadedImages = std::move(load.images);
  demo.loadProblems = std::move(load.problems);
  if (load.failure) return load.failure;
  if (!renderer.creationFailure.empty()) return LoadFailure{"ERROR", renderer.creationFailure};

  // Music, then the asset report.
  if (demo.music.enabled) {
    if (std::optional<LoadFailure> failure = startMusic(demo.music, demo.directing.sfxEnabled))
      return failure;
  }
  if (demo.directing.assetListEnabled) writeAssetList(demo.directing, demo.clock);

  // Load time ends; the clock starts now.
  demo.clock.loadSeconds = timerRead(demo.clock) - demo.clock.loadSeconds;
  timerReset(demo.clock);
  demo.clock.lastTimerValue = timerRead(demo.clock);
  fillCueTable(demo.cueTable);

  // The statistics log opens; the show starts at 0 s with a silent spectrum,
  // the first track flag of set A the only one raised and tuning value B at 0.
  if (demo.directing.statsEnabled)
    openStatistics(demo.directing.statistics, "c://logs//varnholt2.log", 240.0);
  static const float initialSpectrum[kSpectrumSize] = {};
  demo.music.spectrum = initialSpectrum;
  demo.clock.demoTime = 0.0;
  FrameInput& input = demo.input.frameInput;
  input.pointX = input.pointY = input.pointZ = 0.0;
  for (int i = 0; i < kTrackFlagCount; ++i) input.trackFlagsA[i] = input.trackFlagsB[i] = false;
  input.trackFlagsA[0] = true;
  input.adjustB = 0.0;
  return std::nullopt;
}
