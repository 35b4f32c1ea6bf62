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
// Viewport and a 45-degree perspective for the client size (height 0 counts as 1).
void resizeViewport(int width, int height);
// The initial GL state.
void initGLState();
// Shows the frame in the window's letterbox rectangle and presents the back
// buffer; the argument is ignored.
void swapFrameBuffers(double ignored);
