// The startup sequence: everything the show needs once the GL context is
// current and before the first frame. Load time does not count toward the
// demo clock: the timer is reset at its end.
#pragma once

#include <optional>

#include "core/load_failure.h"

struct DemoState;

// Runs the startup; swapBuffers presents the back buffer while the part in
// slot 0 (which the caller has set) loads. Returns the failure that ends the
// show (a missing image or sound file, a render size the renderer cannot
// hold) without going on.
std::optional<LoadFailure> runStartup(DemoState& demo, void (*swapBuffers)(double));
