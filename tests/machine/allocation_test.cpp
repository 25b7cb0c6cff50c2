// The instruction cycle must not touch the heap: cells are fixed-size texts
// and the executing line is found through the listing's index.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "support/tuka2_fixture.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// The sanitizer build inlines gtest's `new TestClass` and its delete into one
// function, and GCC then takes the replacement's free for a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
#pragma GCC diagnostic pop

namespace orben {
namespace {

using testing::Tuka2Test;

class AllocationTest : public Tuka2Test {};

TEST_F(AllocationTest, TimedLoopWithObserversAllocatesNothing) {
  testing::RecordingObserver seen;
  seen.cells.reserve(1 << 20);
  seen.flags.reserve(1 << 20);
  seen.controls.reserve(1 << 20);
  m().addObserver(&seen);
  // LLI R1,01; LLI RD,02; ADDS R2,R2,R1; OUT H'01,R2; SUBS R3,R3,R1; BR
  poke(0, {"2101", "2D02", "6221", "5201", "7331", "C000"});
  for (int a = 0; a < 6; ++a) tuka.listing.add("[000" + std::to_string(a) + "]: x");
  tuka.run.toggleStepMode();
  runFrom("0000");
  tuka.run.tick();  // the listing's index is built on the first lookup
  const long before = g_allocations.load();
  for (int i = 0; i < 10000; ++i) ASSERT_TRUE(tuka.run.tick());
  EXPECT_EQ(g_allocations.load() - before, 0);
  EXPECT_GT(seen.cells.size(), 40000u);  // the observer really saw the run
  EXPECT_GE(tuka.listing.selected(), 0);
  m().removeObserver(&seen);
}

}  // namespace
}  // namespace orben
