// The demo clock's timer.
#include "runtime/timer.h"

#include "platform/platform.h"
#include "runtime/show_clock.h"

namespace {
CounterSource counter = platformCounterSource();
}

CounterSource platformCounterSource() {
  return {platform::performanceCounter, platform::performanceFrequency};
}

void setCounterSource(CounterSource source) { counter = source; }

void timerReset(ShowClock& clock) {
  clock.timerSeconds = 0.0;
  clock.timerLastCount = counter.count();
}

double timerRead(ShowClock& clock) {
  const int64_t now = counter.count();
  const int64_t frequency = counter.frequency();
  clock.timerSeconds +=
      static_cast<double>(now - clock.timerLastCount) / static_cast<double>(frequency);
  clock.timerLastCount = now;
  return clock.timerSeconds;
}
