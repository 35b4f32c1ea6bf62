// The frame driver: one call per pass of the main loop while the window is
// active. It measures the frame delta, advances the demo clock, hands the
// part its input, and decides when the show is over.
#pragma once

// One frame; always returns true (the show ends by ending the process).
bool runFrame();

// The common end: closes the sound system when asked, tears down the window
// and context, deletes the part and ends the process with exit code 0.
[[noreturn]] void endDemo(bool closeSound);

// Demo time of the start bookmark value (1..5), or a negative value when the
// bookmark leaves the clock unchanged.
double bookmarkTime(int bookmark);

// The end fade: level L in [0, 1] after `elapsed` seconds at `rate` per second,
// and the music volume (255 - 255 L, truncated) it gives.
double fadeLevel(double elapsed, double rate);
int fadeVolume(double level);

// A start requested on the command line: the first frame sets both the demo
// clock and the part clock to this time and the music follows.
void requestStartTime(double seconds);
