// The demo clock's timer: seconds accumulated from a high-resolution counter.
//
// The counter is the platform's performance counter unless a caller
// substitutes another source (tests, and offline rendering, which drives the
// clock from the frame number).
#pragma once

#include <cstdint>

struct ShowClock;

struct CounterSource {
  int64_t (*count)();
  int64_t (*frequency)();
};

void setCounterSource(CounterSource source);
CounterSource platformCounterSource();

// timerSeconds = 0 and the stored count = the counter now.
void timerReset(ShowClock& clock);
// Adds the counter's advance since the last reading to timerSeconds and returns it.
double timerRead(ShowClock& clock);
