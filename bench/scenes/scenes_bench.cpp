// Frame cost of each scene. For one moment of each scene it times, in the same
// process and with the same window, the whole frame (the frame driver with the
// scene and the post-processing chain) and the scene alone (its member call
// into the bound 4-sample target), each finished with glFinish; the rest is
// the fixed cost of the chain around an empty scene slot. It prints both and
// their ratio. Run under a display (xvfb-run) with SDL_AUDIODRIVER=dummy:
//   scenes_bench [repetitions]
#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/data_directory.h"
#include "app/gl_window.h"
#include "app/offline_render.h"
#include "demo/part_start.h"
#include "runtime/demo_state.h"

namespace {

using Scene = void (part_start::*)(RenderResources*, int, int);

struct Moment {
  const char* name;
  double t;
  Scene scene;
};

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  if (enterDataDirectory(TESSALY_BINARY_DIR "/data").empty()) return 1;
  demo.showSetupDialog = false;
  demo.renderWidth = demo.viewportWidth = 1280;
  demo.renderHeight = demo.viewportHeight = 720;
  if (!createMainWindow("Tessaly scenes benchmark", 1280, 720, 32, false)) return 1;
  beginOfflineClock();
  part_start* part = static_cast<part_start*>(demo.partSlots[0]);
  RenderResources* renderer = &demo.renderer;

  const Moment moments[] = {
      {"opening panels", 10.0, &part_start::drawOpeningPanels},
      {"falling panels", 25.0, &part_start::drawPanelField},
      {"ring tunnel (band)", 50.0, &part_start::drawRingTunnel},
      {"ring tunnel (layers)", 110.0, &part_start::drawRingTunnel},
      {"panel cube", 140.0, &part_start::drawPanelCube},
      {"panel cube (layers)", 186.0, &part_start::drawPanelCube},
  };
  std::printf("%-22s %7s %10s %10s %10s %8s\n", "scene", "t (s)", "frame ms", "scene ms",
              "chain ms", "ratio");
  for (const Moment& moment : moments) {
    runOfflineFrame(moment.t);  // warm-up; later frames repeat the same moment
    std::vector<double> frames, scenes;
    for (int i = 0; i < repetitions; ++i) {
      glFinish();
      auto start = std::chrono::steady_clock::now();
      runOfflineFrame(moment.t);
      glFinish();
      frames.push_back(millisecondsSince(start));

      renderer->attachDepthTexture(0, part->textureIds.depthA);
      renderer->bindForDrawing(0, 2);
      glFinish();
      start = std::chrono::steady_clock::now();
      (part->*moment.scene)(renderer, 0, 0);
      glFinish();
      scenes.push_back(millisecondsSince(start));
    }
    const double frame = median(frames), scene = median(scenes);
    const double chain = std::max(frame - scene, 1e-3);
    std::printf("%-22s %7.1f %10.1f %10.1f %10.1f %7.2fx\n", moment.name, moment.t, frame, scene,
                chain, scene / chain);
  }
  std::printf("ratio = scene ms / chain ms (the frame with its scene slot empty)\n");
  destroyMainWindow();
  return 0;
}
