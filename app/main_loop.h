// The program's entry sequence and its message loop.
#pragma once

#include <optional>

#include "app/command_line.h"
#include "core/load_failure.h"
#include "runtime/demo_state.h"
#include "runtime/frame_driver.h"

// Chooses the screen, opens the window (which runs the startup), then
// alternates between draining window messages and running frames until the
// show ends, tears the show down once and returns the process exit code.
int runProgram(const CommandLine& commandLine);

// Drains the message queue, then runs one frame while the window is active,
// starts the end fade on Escape and swaps. False once the show has ended: a
// Quit message arrived (WindowClosed with its code) or the frame ended it;
// `end` then says how.
bool mainLoopPass(DemoState& demo, FrameResult& end);

// The startup the window runs once its context is current: the show's
// startup (which loads the part in slot 0, set by the caller), then the
// outline font, then the picture fitted to the window's size. False, with
// `failure` set, when a file the show needs cannot be loaded.
bool startShow(DemoState& demo, std::optional<LoadFailure>& failure);
