// Swap interval from the command line.
#include "app/swap_interval.h"

#include <cstdio>

#include "platform/platform.h"

void applySwapInterval(bool vsync) {
  const int wanted = vsync ? 1 : 0;
  // A driver that cannot change the interval but already has the one asked for is fine.
  if (platform::setSwapInterval(wanted) || platform::swapInterval() == wanted) return;
  std::fprintf(stderr, "tessaly: the driver refuses swap interval %d (%s); %s stays in force\n",
               wanted, platform::lastError().c_str(), vsyncLabel().c_str());
}

std::string vsyncLabel() { return platform::swapInterval() != 0 ? "vsync on" : "vsync off"; }
