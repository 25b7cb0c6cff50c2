#include "machine/fast_run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/tuka2_fixture.h"

namespace orben {
namespace {

using testing::Tuka2Test;

class FastRunTest : public Tuka2Test {
 protected:
  FastRun fast{tuka.machine, tuka.processor};
};

// Every instruction that stops the run, and one that meets a port holding
// no word, is left to ExecuteInstruction untouched; executed there, each
// ends as the column says.
TEST_F(FastRunTest, LeavesWhatStopsTheRunToTheInstructionCycle) {
  struct Case {
    const char* word;
    int base;  // RD or RE, set to `value`
    const char* value;
    bool fast;  // runs on numbers
    Outcome outcome;
  } cases[] = {
      {"0201", 13, "EFFF", false, Outcome::Stopped},   // LD at F000
      {"0200", 13, "EFFF", true, Outcome::Executed},   // LD at EFFF
      {"1201", 13, "EFFF", false, Outcome::Stopped},   // ST at F000
      {"4240", 13, "0000", false, Outcome::Stopped},   // IN from port 40
      {"5240", 13, "0000", false, Outcome::Stopped},   // OUT to port 40
      {"423F", 13, "0000", true, Outcome::Executed},   // IN from port 3F
      {"4203", 13, "0000", false, Outcome::Executed},  // IN from a port showing "****"
      {"D000", 14, "F001", false, Outcome::Stopped},   // CALL pushing at F000
      {"D000", 14, "0000", false, Outcome::Stopped},   // CALL pushing at FFFF
      {"D000", 14, "F000", true, Outcome::Executed},   // CALL pushing at EFFF
      {"E000", 14, "F000", false, Outcome::Stopped},   // RET with an empty stack
      {"E000", 14, "EFFF", true, Outcome::Executed},   // RET from EFFF
      {"F000", 13, "0000", false, Outcome::Halted},
  };
  m().setCell(inputPortCell(3), "****");
  tuka.run.toggleStepMode();
  for (const auto& c : cases) {
    setReg(c.base, c.value);
    poke(0x20, {c.word});
    m().setCell(kCellKeypad, "0020");
    testing::RecordingObserver seen;
    m().addObserver(&seen);
    const auto executed = tuka.processor.executions();
    EXPECT_EQ(fast.run(FastRun::Start::Ejecutar, 1), c.fast ? 1u : 0u) << c.word << " " << c.value;
    m().removeObserver(&seen);
    EXPECT_EQ(tuka.processor.executions(), executed + (c.fast ? 1 : 0));
    if (!c.fast) {
      EXPECT_TRUE(seen.cells.empty() && seen.flags.empty() && seen.controls.empty()) << c.word;
    }
    m().setCell(kCellKeypad, "0020");
    setReg(c.base, c.value);
    EXPECT_EQ(tuka.run.executeFromKeypad(), c.outcome) << c.word << " " << c.value;
    m().setStepMode(StepMode::Timed);
    setReg(2, "0000");  // the IN from port 03 left "****" there
  }
  // Any register that holds no word leaves the whole run to the cycle.
  setReg(5, "****");
  poke(0x20, {"2101"});
  EXPECT_EQ(fast.run(FastRun::Start::Ejecutar, 1), 0u);
  setReg(5, "0005");
  EXPECT_EQ(fast.run(FastRun::Start::Ejecutar, 1), 1u);
  // A fetch from F000 or above: nothing to execute.
  m().setCell(kCellKeypad, "F000");
  EXPECT_EQ(fast.run(FastRun::Start::Ejecutar, 5), 0u);
  EXPECT_EQ(tuka.run.executeFromKeypad(), Outcome::NoInstruction);
}

// As many instructions as asked, and only where the step timer would run
// them: on, timed, and (for a tick) executing.
TEST_F(FastRunTest, RunsUpToItsLimitAndOnlyWhereTheTimerWould) {
  poke(0, {"2111", "2222", "2333", "2444", "2555"});
  m().setCell(kCellKeypad, "0000");
  EXPECT_EQ(fast.run(FastRun::Start::Ejecutar, 5), 0u);  // step by step
  tuka.run.toggleStepMode();                             // timed, paused
  EXPECT_EQ(fast.run(FastRun::Start::Tick, 5), 0u);      // the timer waits for Ejecutar
  EXPECT_EQ(fast.run(FastRun::Start::Ejecutar, 0), 0u);
  EXPECT_EQ(fast.run(FastRun::Start::Ejecutar, 2), 2u);
  EXPECT_EQ(m().panelState(), PanelState::Executing);
  EXPECT_EQ(cell(kCellPC), "0002");
  EXPECT_EQ(fast.run(FastRun::Start::Tick, 2), 2u);
  EXPECT_EQ(cell(kCellPC), "0004");
  EXPECT_EQ(reg(4), "0044");
  EXPECT_EQ(tuka.processor.executions(), 4u);
  tuka.power.TogglePower();
  EXPECT_EQ(fast.run(FastRun::Start::Tick, 2), 0u);
}

// The cells when the run stops: IR the word at PC; AR and DR from the last
// instruction that copied them, since a taken branch does not; the listing
// marks the last line PC passed through, here 0003, as one tick at a time
// would.
TEST_F(FastRunTest, BringsTheCellsAndTheMarkedLineUpToDateWhenItStops) {
  // LLI R1,05; LLI RD,10; OUT H'01,R1; BR; at 0010: ADDS R3,R1,R1; BR.
  poke(0, {"2105", "2D10", "5101", "C000"});
  poke(0x10, {"6311", "C000"});
  for (const char* address : {"0000", "0001", "0003"}) {
    tuka.listing.add(std::string("[") + address + "]: x");
  }
  m().setCell(kCellAR, "AAAA");
  m().setCell(kCellDR, "DDDD");
  m().setCell(kCellKeypad, "0000");
  tuka.run.toggleStepMode();
  testing::RecordingObserver seen;
  m().addObserver(&seen);
  EXPECT_EQ(fast.run(FastRun::Start::Ejecutar, 6), 6u);
  m().removeObserver(&seen);
  EXPECT_EQ(cell(kCellPC), "0010");
  EXPECT_EQ(cell(kCellIR), "6311");
  EXPECT_EQ(cell(kCellAR), "0011");
  EXPECT_EQ(cell(kCellDR), "C000");
  EXPECT_EQ(reg(3), "000A");
  EXPECT_EQ(cell(outputPortCell(1)), "0005");
  EXPECT_EQ(flags(), "0000");
  EXPECT_EQ(tuka.listing.selected(), 2);
  // Each changed cell told at the stop, PC twice: the marked line's
  // address, then its own.
  EXPECT_EQ(std::count(seen.cells.begin(), seen.cells.end(), registerCell(3)), 1);
  EXPECT_EQ(std::count(seen.cells.begin(), seen.cells.end(), kCellPC), 2);
  EXPECT_LE(seen.cells.size(), 9u);
}

// The run onto the monitor's area: the last word, EFFF, advances PC to
// F000 and IR and DR to the empty text; the fetch there is left alone.
TEST_F(FastRunTest, RunsOntoTheMonitorsAreaAndStopsThere) {
  poke(0xEFFE, {"2101", "2202"});
  m().setCell(kCellKeypad, "EFFE");
  tuka.run.toggleStepMode();
  EXPECT_EQ(fast.run(FastRun::Start::Ejecutar, 10), 2u);
  EXPECT_EQ(cell(kCellPC), "F000");
  EXPECT_EQ(cell(kCellIR), "");
  EXPECT_EQ(cell(kCellAR), "F000");
  EXPECT_EQ(cell(kCellDR), "");
  EXPECT_EQ(fast.run(FastRun::Start::Tick, 10), 0u);
}

}  // namespace
}  // namespace orben
