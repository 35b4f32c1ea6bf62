// The one way out of the show. Whatever ended it (the end of the show, Escape,
// a closed window, an offline render done, a failure at startup), everything
// the program built is torn down here, once, in a fixed order, and the caller
// returns the exit code from main.
#pragma once

struct DemoState;

// Closes the music, hands the captured camera text to the clipboard (when
// handOverText: the end fade completed), writes the statistics log (with its
// switch on), destroys the window and its context (restoring the display
// mode) and releases the part. Safe after a partial startup.
void tearDownShow(DemoState& demo, bool handOverText);
