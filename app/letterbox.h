// Where the picture stands in a window of another shape.
//
// The show always renders at 16:9. A window or display mode of another shape
// shows the whole picture, as large as fits, centred, with black bars above
// and below (a taller window: letterbox) or left and right (a wider one:
// pillarbox). Pure arithmetic, no GL.
#pragma once

// A rectangle in window pixels, origin at the bottom left as GL counts.
struct ScreenRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The largest rectangle of the picture's shape inside the window, centred;
// the whole window when the shapes agree to the pixel. An empty window or
// picture gives an empty rectangle.
ScreenRect letterboxRect(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight);
