// Breakpoints: a timed run stops before the instruction at one, as an error
// stop does but with no message; Ejecutar and Continuar execute it; a
// run-to-here breakpoint goes once reached; the run on plain numbers stops
// where the ticks one by one stop.
#include "machine/breakpoints.h"

#include <gtest/gtest.h>

#include "debug_support.h"

namespace orben::testing {
namespace {

// 0000 LLI R1,01; 0001 ADDS R2,R2,R1; 0002 ADDS R3,R3,R1; 0003 BR (RD = 0001).
struct Loop : RandomMachine {
  Loop() : RandomMachine(std::mt19937(1), 1) {
    Machine& m = tuka.machine;
    const unsigned words[] = {0x2101, 0x6221, 0x6331, 0xC000};
    for (unsigned i = 0; i < 4; ++i) m.WriteMemoryWord(i, CellValue::word(words[i]));
    m.WriteRegister(13, CellValue::word(1));
    m.setCell(kCellKeypad, CellValue::word(0));
    tuka.run.toggleStepMode();  // timed
    ui.messages = 0;
  }
  unsigned pc() const { return tuka.machine.cellValue(kCellPC).asWord(); }
};

TEST(Breakpoints, ATimedRunStopsBeforeOneAndContinuarExecutesIt) {
  for (bool fast : {false, true}) {
    Loop l;
    Machine& m = l.tuka.machine;
    m.breakpoints().set(2);
    EXPECT_EQ(timedRun(l.tuka, 1000, fast), 2u) << fast;  // LLI, ADDS R2
    EXPECT_EQ(l.pc(), 2u);
    EXPECT_TRUE(l.tuka.run.stoppedAtBreakpoint());
    EXPECT_TRUE(m.stepByStep() && m.stepLamp());
    EXPECT_EQ(l.ui.messages, 0);
    EXPECT_EQ(m.errorStops(), 0u);
    EXPECT_EQ(m.ReadRegister(3).str(), "0003");  // ADDS R3 has not run
    // Continuar executes the instruction at the breakpoint.
    l.tuka.run.continueExecution();
    EXPECT_EQ(l.pc(), 3u);
    EXPECT_EQ(m.ReadRegister(3).str(), "0004");
    // Timed again: the loop comes round and stops there again, kept.
    l.tuka.run.toggleStepMode();
    l.tuka.run.continueExecution();  // BR
    while (l.tuka.run.tick()) {
    }
    EXPECT_TRUE(l.tuka.run.stoppedAtBreakpoint());
    EXPECT_EQ(l.pc(), 2u);
    EXPECT_EQ(m.ReadRegister(2).str(), "0004");
  }
}

TEST(Breakpoints, EjecutarAtOneExecutesItAndRunToHereGoesOnceReached) {
  for (bool fast : {false, true}) {
    Loop l;
    Machine& m = l.tuka.machine;
    m.breakpoints().set(0);
    m.breakpoints().runToHere(3);
    EXPECT_EQ(timedRun(l.tuka, 1000, fast), 3u) << fast;  // Ejecutar at 0000 does not stop
    EXPECT_EQ(l.pc(), 3u);
    EXPECT_FALSE(m.breakpoints().has(3));
    EXPECT_TRUE(m.breakpoints().has(0));
    EXPECT_EQ(m.breakpoints().kept(), std::vector<std::uint16_t>{0});
  }
  Breakpoints b;
  b.set(5);
  b.runToHere(5);  // a kept one stays kept
  b.reached(5);
  EXPECT_TRUE(b.has(5));
  EXPECT_TRUE(b.toggle(6));
  EXPECT_FALSE(b.toggle(6));
  b.remove(5);
  EXPECT_TRUE(b.empty());
}

// clear() removes every kind at every address, the table's ends included,
// and leaves the count at zero: one set and removed after it leaves none.
TEST(Breakpoints, ClearRemovesEveryOneAndTheCountStartsAgain) {
  const std::uint16_t kept[] = {0x0000, 0x0001, 0x7FFF, 0xF000, 0xFFFF};
  const std::uint16_t to_here[] = {0x0002, 0x8000, 0xFFFE};
  Breakpoints b;
  for (std::uint16_t a : kept) b.set(a);
  for (std::uint16_t a : to_here) b.runToHere(a);
  b.clear();
  EXPECT_TRUE(b.empty());
  EXPECT_TRUE(b.kept().empty());
  unsigned left = 0;
  for (unsigned a = 0; a <= 0xFFFF; ++a) left += b.table()[a] != Breakpoints::Kind::None;
  EXPECT_EQ(left, 0u);
  b.set(0x0001);
  EXPECT_FALSE(b.empty());
  b.remove(0x0001);
  EXPECT_TRUE(b.empty());
  // Few, many, and one set, removed and set again: clear leaves none.
  for (unsigned many : {1u, 1024u, 1025u, 1026u, 5000u}) {
    Breakpoints table;
    for (unsigned i = 0; i < many; ++i) table.set(static_cast<std::uint16_t>(i * 13));
    table.remove(0);
    table.set(0);
    table.clear();
    unsigned set = 0;
    for (unsigned a = 0; a <= 0xFFFF; ++a) set += table.has(static_cast<std::uint16_t>(a));
    EXPECT_EQ(set, 0u) << many;
    EXPECT_TRUE(table.empty()) << many;
  }
  // Cleared by the machine's own table, a timed run goes past where one was.
  for (bool fast : {false, true}) {
    Loop l;
    l.tuka.machine.breakpoints().set(2);
    l.tuka.machine.breakpoints().clear();
    EXPECT_EQ(timedRun(l.tuka, 50, fast), 50u) << fast;
    EXPECT_FALSE(l.tuka.run.stoppedAtBreakpoint()) << fast;
  }
}

TEST(Breakpoints, TheFastRunStopsWhereTheTicksStopOnThousandsOfRandomPrograms) {
  std::mt19937 g(31);
  int stopped = 0;
  const int programs = 1500;
  for (int program = 0; program < programs; ++program) {
    const std::uint64_t seed = g();
    const std::uint64_t state = g();
    const std::uint64_t limit = g() % 3 == 0 ? 5 : 3000;
    State ends[2];
    bool at_break[2] = {};
    std::uint64_t steps[2] = {};
    for (bool fast : {false, true}) {
      std::mt19937 same(static_cast<std::mt19937::result_type>(state));
      RandomMachine r(same, seed);
      // Breakpoints among the program's words, from its start on.
      Breakpoints& breaks = r.tuka.machine.breakpoints();
      const unsigned start = r.tuka.machine.cellValue(kCellKeypad).asWord();
      for (unsigned i = same() % 4; i > 0; --i) {
        breaks.set(static_cast<std::uint16_t>(start + same() % 40));
      }
      if (same() % 2 == 0) breaks.runToHere(static_cast<std::uint16_t>(start + same() % 40));
      r.tuka.run.toggleStepMode();
      steps[fast] = timedRun(r.tuka, limit, fast);
      at_break[fast] = r.tuka.run.stoppedAtBreakpoint();
      ends[fast] = stateOf(r.tuka);
    }
    ASSERT_EQ(steps[0], steps[1]) << "program " << program;
    ASSERT_EQ(at_break[0], at_break[1]) << "program " << program;
    ASSERT_TRUE(ends[0] == ends[1])
        << "program " << program << ": " << difference(ends[0], ends[1]);
    stopped += at_break[0];
  }
  EXPECT_GT(stopped, programs / 5);
}

}  // namespace
}  // namespace orben::testing
