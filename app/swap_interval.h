// The swap interval the command line asks for (--vsync or --no-vsync; without
// either the window keeps interval 1 where the driver allows it, silently),
// and the words the benchmark and the overlay use for the one in force.
#pragma once

#include <string>

// Sets interval 1 or 0 once the context exists; a driver that refuses says so
// on standard error, and the interval it keeps stays in force.
void applySwapInterval(bool vsync);

// "vsync on" or "vsync off" for the interval in force now.
std::string vsyncLabel();
