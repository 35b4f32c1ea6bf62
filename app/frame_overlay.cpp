// The frame-time overlay: figures gathered over half a second, drawn as
// outline-font text over a dark panel.
#include "app/frame_overlay.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

#include "app/swap_interval.h"
#include "core/timeline.h"
#include "platform/platform.h"
#include "render/draw_state.h"
#include "render/frame_profile.h"
#include "render/render_resources.h"
#include "runtime/demo_state.h"
#include "runtime/music.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kRefresh = std::chrono::milliseconds(500);
constexpr int kPassesPerLine = 2;

// The sums over the frames since the last refresh, and the figures on screen.
struct Overlay {
  bool shown = false;
  std::unique_ptr<FrameProfile> profile;
  Clock::time_point periodStart;
  int frames = 0;
  std::vector<std::pair<std::string, double>> passTotals;
  OverlayFigures figures;
};

Overlay overlay;

void addPasses(const std::vector<PassTime>& passes) {
  for (const PassTime& pass : passes) {
    auto same = [&](const auto& total) { return total.first == pass.name; };
    auto found = std::find_if(overlay.passTotals.begin(), overlay.passTotals.end(), same);
    if (found == overlay.passTotals.end())
      overlay.passTotals.emplace_back(pass.name, pass.milliseconds);
    else
      found->second += pass.milliseconds;
  }
}

void refreshFigures(Clock::time_point now) {
  const double seconds = std::chrono::duration<double>(now - overlay.periodStart).count();
  OverlayFigures& figures = overlay.figures;
  figures.framesPerSecond = overlay.frames / seconds;
  figures.frameMilliseconds = seconds * 1000.0 / overlay.frames;
  figures.vsync = vsyncLabel();
  figures.passes.clear();
  for (const auto& [name, total] : overlay.passTotals)
    figures.passes.emplace_back(name, total / overlay.frames);
  overlay.periodStart = now;
  overlay.frames = 0;
  overlay.passTotals.clear();
}

double textWidth(const RenderResources& renderer, const std::string& text) {
  double width = 0.0;
  for (unsigned char c : text) width += renderer.font.metrics[c].advanceX;
  return width;
}

// Lines top down from the picture's top left corner, em high, on a panel
// that darkens what lies behind them.
void drawLines(const RenderResources& renderer, const std::vector<std::string>& lines) {
  const int w = renderer.renderWidth, h = renderer.renderHeight;
  const double em = std::max(10.0, h / 45.0);
  const double lineHeight = em * 1.3, margin = em * 0.6;
  double widest = 0.0;
  for (const std::string& line : lines) widest = std::max(widest, textWidth(renderer, line) * em);

  renderer.bindScreen();
  setViewport({0, 0, w, h});
  const Mat4 screen = orthoMatrix(0.0, w, 0.0, h, -10.0, 10.0);
  const double top = h - margin * 0.5;
  const double bottom = top - lines.size() * lineHeight - margin * 0.5;
  const double panelWidth = widest + 2.0 * margin;
  renderer.drawFlatQuad(screen * translationMatrix(panelWidth / 2.0, (bottom + h) / 2.0, 0.0) *
                            scaleMatrix(panelWidth / 2.0, (h - bottom) / 2.0, 1.0),
                        0.0f, 0.0f, 0.0f, 0.6f, Blend::Alpha);
  for (size_t i = 0; i < lines.size(); ++i) {
    const Mat4 lineStart = translationMatrix(margin, top - (i + 1) * lineHeight + em * 0.25, 0.0);
    renderer.drawText(lines[i].c_str(), screen * lineStart * scaleMatrix(em, em, em), 1.0f, 0.95f,
                      0.6f);
  }
}

}  // namespace

std::vector<std::string> overlayLines(const OverlayFigures& figures) {
  char text[160];
  std::vector<std::string> lines;
  if (figures.framesPerSecond > 0.0)
    std::snprintf(text, sizeof text, "%.1f fps  %.1f ms  %s", figures.framesPerSecond,
                  figures.frameMilliseconds, figures.vsync.c_str());
  else
    std::snprintf(text, sizeof text, "measuring  %s", figures.vsync.c_str());
  lines.push_back(text);
  std::snprintf(text, sizeof text, "%.2f s  %s", figures.showTime,
                sceneName(sceneAt(figures.showTime)));
  lines.push_back(text);
  if (figures.musicTime) {
    std::snprintf(text, sizeof text, "  music %.2f s", *figures.musicTime);
    lines.back() += text;
  }
  std::string line;
  for (size_t i = 0; i < figures.passes.size(); ++i) {
    std::snprintf(text, sizeof text, "%s%s %.1f ms", line.empty() ? "" : "   ",
                  figures.passes[i].first.c_str(), figures.passes[i].second);
    line += text;
    if ((i + 1) % kPassesPerLine == 0 || i + 1 == figures.passes.size()) {
      lines.push_back(line);
      line.clear();
    }
  }
  return lines;
}

void toggleFrameOverlay(RenderResources& renderer) {
  overlay.shown = !overlay.shown;
  overlay.figures = OverlayFigures{};
  overlay.figures.vsync = vsyncLabel();
  overlay.frames = 0;
  overlay.passTotals.clear();
  overlay.periodStart = Clock::now();
  if (overlay.shown) {
    overlay.profile = std::make_unique<FrameProfile>(FrameProfile::bestClock());
    renderer.frameProfile = overlay.profile.get();
  } else {
    renderer.frameProfile = nullptr;
    overlay.profile.reset();
    platform::showOverlayText({});
  }
}

bool frameOverlayShown() { return overlay.shown; }

void overlayFrameBegins() {
  if (overlay.shown) overlay.profile->beginFrame();
}

void drawFrameOverlay(const DemoState& demo) {
  if (!overlay.shown) return;
  addPasses(overlay.profile->finishFrame());
  ++overlay.frames;
  const Clock::time_point now = Clock::now();
  if (now - overlay.periodStart >= kRefresh) refreshFigures(now);
  overlay.figures.showTime = demo.clock.demoTime;
  overlay.figures.musicTime.reset();
  if (demo.music.enabled) overlay.figures.musicTime = musicPosition(demo.music);
  const std::vector<std::string> lines = overlayLines(overlay.figures);
  if (!platform::showOverlayText(lines)) drawLines(demo.renderer, lines);
}
