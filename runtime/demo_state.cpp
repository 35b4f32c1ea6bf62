// The one global instance of the show's run-time state.
#include "runtime/demo_state.h"

DemoState demo;
