// The picture in a window of any size.
//
// While the window's drawable is exactly the render size, the frame is drawn
// straight into it, as always. Once it differs (a resized window, fullscreen
// at the desktop's own mode, a display mode of another shape) the frame is
// drawn into a target of the render size instead, and showPicture scales it
// into the letterbox rectangle of the window with black bars around it. The
// pictures themselves never change: the same render size, the same passes.
#pragma once

#include "app/letterbox.h"

class RenderResources;

// The window's drawable changed size (and once the show has started in a new
// window): points the renderer's screen at the window or at the target of
// its render size. Needs the GL context for a size other than the render size.
void pictureWindowResized(RenderResources& renderer, int width, int height);
// Copies the frame into the window when it was drawn elsewhere; otherwise nothing.
void showPicture();
// Where the picture stands in the window now.
ScreenRect pictureRect();
// The context is going away: its target goes with it. The next window's
// first pictureWindowResized points the renderer anew.
void forgetPictureTarget();
