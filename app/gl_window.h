// The one top-level window with its OpenGL context.
//
// Creation reports every failure with its own "ERROR" message and tears down
// what it built; teardown reports its failures as "SHUTDOWN ERROR" and goes on.
// Creating the window also runs the caller's startup, once the context is
// current, so the window is visible while the show loads.
#pragma once

#include <functional>

// Opens the window (or the fullscreen mode, offering windowed mode when it
// cannot be set), creates and initialises the context and runs `startup`. False after a reported
// failure, or when startup returns false (the startup reports its own failure). fullscreen: asked
// for on entry; on return whether the window is fullscreen.
bool createMainWindow(const char* title, int width, int height, int bits, bool& fullscreen,
                      const std::function<bool()>& startup);
// Tears everything down, restoring the display mode of a fullscreen window;
// safe on a partly built window and when called again.
void destroyMainWindow(bool fullscreen);
// The viewport for the client size (height 0 counts as 1). Each frame sets
// its own projection; the window keeps none.
void resizeViewport(int width, int height);
// Shows the frame in the window's letterbox rectangle and presents the back
// buffer; the argument is ignored.
void swapFrameBuffers(double ignored);
