// Ctrl-C, SIGTERM and SIGHUP as a request to stop an offline job (a capture,
// its ranges, the benchmark) the way Escape does, so that what was done is
// ended properly instead of the process dying half-way.
#pragma once

// Installs (on) or removes (off) the handlers, and forgets an earlier signal.
void catchStopSignals(bool on);
// True once one of the signals arrived while the handlers were installed.
bool stopSignalCaught();
