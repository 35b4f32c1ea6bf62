// The startup sequence: everything the show needs once the GL context is
// current and before the first frame. Load time does not count toward the
// demo clock: the timer is reset at its end.
#pragma once

void runStartup();
