// The stop signals' handler: it only notes the signal.
#include "capture/stop_signals.h"

#include <signal.h>

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t stopSignal = 0;

void onStopSignal(int) { stopSignal = 1; }

}  // namespace

void catchStopSignals(bool on) {
  stopSignal = 0;
  struct sigaction action = {};
  action.sa_handler = on ? onStopSignal : SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool stopSignalCaught() { return stopSignal != 0; }
