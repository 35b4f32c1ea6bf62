// The browser build's outline font: empty. The font's outlines come from a
// desktop font file through FreeType and GLU's tessellator, which the browser
// build does not have; the one text the program draws, the frame-time
// overlay, is shown by the page instead (platform::showOverlayText).
#include "render/render_resources.h"

void RenderResources::buildOutlineFont() { font = OutlineFont{}; }
