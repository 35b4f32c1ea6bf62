// Where diagnostics go: standard output, unbuffered once the console is open.
#include <cstdio>
#include <iostream>

#include "platform/platform.h"

namespace platform {

void openDebugConsole() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  std::ios::sync_with_stdio(true);
}

void discardDiagnostics() {
  if (!std::freopen("/dev/null", "w", stdout))
    std::fprintf(stderr, "Cannot discard diagnostics.\n");
}

}  // namespace platform
