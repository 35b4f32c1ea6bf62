// The program's entry sequence and its message loop.
#pragma once

#include "app/command_line.h"

// Chooses the screen, opens the window (which runs the startup), then
// alternates between draining window messages and running frames. Returns
// the process exit code when the window is closed; the normal end of the
// show ends the process from inside the frame driver.
int runProgram(const CommandLine& commandLine);

// Drains the message queue, then runs one frame while the window is active,
// starts the end fade on Escape and swaps. False once a Quit message arrives.
bool mainLoopPass(int& quitCode);
