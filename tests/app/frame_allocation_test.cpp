// Heap use per frame: once a scene has run a few frames, a whole pass of the
// main loop (messages, frame driver, spectrum, the part, the post-processing
// chain, the swap) makes no allocation but the tunnel's path, so a long show
// cannot fragment or grow the heap. Counted with a replaced operator new on
// the main thread.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/gl_window.h"
#include "app/main_loop.h"
#include "demo/part_start.h"
#include "runtime/demo_state.h"
#include "runtime/startup.h"
#include "runtime/timer.h"
#include "support/show_window.h"

namespace {

// The show's state these tests own, as the program's entry owns it.
DemoState demo;

thread_local bool counting = false;
long allocations = 0;

int64_t fakeCounter = 0;
int64_t fakeCount() { return fakeCounter; }
int64_t fakeFrequency() { return 1000000; }

// Moves the show's clock so that the next frame lands at time t.
void advanceClockTo(double t) {
  fakeCounter += static_cast<int64_t>((t - demo.clock.demoTime) * 1e6);
}

}  // namespace

// Every plain form of new and delete is replaced, so that all of them agree
// on malloc and free (a sanitizer build checks that they match).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (counting) ++allocations;
  return std::malloc(size ? size : 1);
}
void* operator new(std::size_t size) {
  if (void* block = operator new(size, std::nothrow)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return operator new(size, std::nothrow);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace {

TEST(FrameAllocations, NoneOnceEachSceneRuns) {
  ASSERT_EQ(chdir(TESSALY_BINARY_DIR "/data"), 0);
  setCounterSource({fakeCount, fakeFrequency});
  part_start content;
  ASSERT_TRUE(openShowWindow(demo, content, 320, 180));

  // Opening, falling panels, the tunnel early and late, the finale, the end fade.
  for (double start : {5.0, 25.0, 50.0, 110.0, 150.0, 199.0}) {
    advanceClockTo(start);
    FrameResult code;
    for (int frame = 0; frame < 3; ++frame) {
      ASSERT_TRUE(mainLoopPass(demo, code));
      fakeCounter += 1000000 / 30;
    }
    allocations = 0;
    counting = true;
    for (int frame = 0; frame < 10; ++frame) {
      mainLoopPass(demo, code);
      fakeCounter += 1000000 / 30;
    }
    counting = false;
    // The tunnel grows its path afresh every frame, in one block.
    const long allowed = start > 36.0 && start < 132.0 ? 10 : 0;
    EXPECT_LE(allocations, allowed) << "in 10 frames from " << start << " s";
  }
  destroyMainWindow(demo.options.fullscreen);
  setCounterSource(platformCounterSource());
}

}  // namespace
