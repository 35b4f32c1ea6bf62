// The frame-time overlay (F2): frames per second, the frame's milliseconds,
// the swap interval in force, the show time, the scene's name and where the
// music plays (so a seek or a pause shows the music following), and each
// pass's milliseconds, written in the top left corner of the picture with the
// outline font the window builds at start (in the browser, the page writes
// them over the picture's corner instead). While it is shown the passes are
// timed as the benchmark times them (on a software renderer that serialises
// them, which costs a little); hidden, it costs nothing.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

class RenderResources;
struct DemoState;

// Shows or hides the overlay; while shown, the renderer times its passes.
void toggleFrameOverlay(RenderResources& renderer);
bool frameOverlayShown();

// Around each played frame: the start of its pass timing, then, once the
// frame is drawn, the overlay over it.
void overlayFrameBegins();
void drawFrameOverlay(const DemoState& demo);

// The overlay's lines for the given figures (pass names and milliseconds in
// the order they ran; no frame rate yet says it is measuring). Only
// characters the outline font holds (0..122).
struct OverlayFigures {
  double framesPerSecond = 0.0;
  double frameMilliseconds = 0.0;
  std::string vsync;
  double showTime = 0.0;
  std::optional<double> musicTime;  // where the music is playing; none without music
  std::vector<std::pair<std::string, double>> passes;
};
std::vector<std::string> overlayLines(const OverlayFigures& figures);
