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

// The window's drawable changed size (and once when the window is made).
// Needs the GL context for a size other than the render size.
void pictureWindowResized(int width, int height);
// Copies the frame into the window when it was drawn elsewhere; otherwise nothing.
void showPicture();
// Where the picture stands in the window now.
ScreenRect pictureRect();
// The window's drawable size now.
int windowWidth();
int windowHeight();
// The context is going away: its target goes with it, and the next window
// starts with the frame drawn straight into it.
void forgetPictureTarget();
