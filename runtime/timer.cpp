// The demo clock's timer.
#include "runtime/timer.h"

#include "platform/platform.h"
#include "runtime/demo_state.h"

namespace {
CounterSource counter = platformCounterSource();
}

CounterSource platformCounterSource() {
  return {platform::performanceCounter, platform::performanceFrequency};
}

void setCounterSource(CounterSource source) { counter = source; }

void timerReset(DemoState& demo) {
  demo.timerSeconds = 0.0;
  demo.timerLastCount = counter.count();
}

double timerRead(DemoState& demo) {
  const int64_t now = counter.count();
  const int64_t frequency = counter.frequency();
  demo.timerSeconds +=
      static_cast<double>(now - demo.timerLastCount) / static_cast<double>(frequency);
  demo.timerLastCount = now;
  return demo.timerSeconds;
}
