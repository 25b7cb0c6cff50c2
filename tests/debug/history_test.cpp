// Stepping back: N steps forward then N back leave the machine exactly as it
// was, stepping forward again retraces the same states, and anything that
// is not an executed instruction ends the history.
#include "debug/history.h"

#include <gtest/gtest.h>

#include <functional>

#include "debug_support.h"

namespace orben::testing {
namespace {

// 3,000 random programs, a thousand to a test so that each stays well
// within the time a test is given under the sanitizers.
class HistoryRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(HistoryRoundTrip, ForwardThenBackGivesBackEveryStateOnThousandsOfRandomPrograms) {
  std::mt19937 g(static_cast<std::mt19937::result_type>(24 + GetParam()));
  int stepped_far = 0;
  for (int program = 0; program < 1000; ++program) {
    RandomMachine r(g, g());
    History history(r.tuka);
    const std::size_t lengths[] = {1, 2, 7, 60, 400};
    const std::size_t n = lengths[g() % 5];
    std::vector<State> states{stateOf(r.tuka)};
    for (std::size_t i = 0; i < n; ++i) {
      r.step(i == 0);
      states.push_back(stateOf(r.tuka));
    }
    ASSERT_EQ(history.depth(), n) << "program " << program;
    // Back part of the way, forward again over the same states, then back
    // to the start.
    const std::size_t part = 1 + g() % n;
    for (std::size_t i = 1; i <= part; ++i) {
      ASSERT_TRUE(history.stepBack());
      ASSERT_TRUE(stateOf(r.tuka) == states[n - i])
          << "program " << program << " back " << i << ": "
          << difference(stateOf(r.tuka), states[n - i]);
    }
    for (std::size_t i = n - part; i < n; ++i) {
      r.step(i == 0);
      ASSERT_TRUE(stateOf(r.tuka) == states[i + 1]) << "program " << program << " again " << i;
    }
    for (std::size_t i = 1; i <= n; ++i) ASSERT_TRUE(history.stepBack());
    ASSERT_TRUE(stateOf(r.tuka) == states[0]) << "program " << program;
    EXPECT_FALSE(history.stepBack());
    stepped_far += n == 400 && states[400].cells != states[0].cells;
  }
  EXPECT_GT(stepped_far, 130);
}
INSTANTIATE_TEST_SUITE_P(ThreeThousandPrograms, HistoryRoundTrip, ::testing::Values(0, 1, 2));

// Counts the instructions of the runs on plain numbers.
struct StretchCounter final : InstructionObserver {
  std::uint64_t instructions = 0;
  void instructionBegins() override {}
  void instructionEnds(Outcome) override {}
  bool watchesStretches() const override { return true; }
  void stretchEnds(std::uint64_t n) override { instructions += n; }
};

// A timed run on plain numbers hands each instruction to the history: going
// back passes through exactly the states the ticks one by one went through,
// and going forward again from any of them retraces them.
TEST(History, RunsOnNumbersStepBackThroughTheStatesOfTheTicks) {
  std::mt19937 g(25);
  std::uint64_t recorded_on_numbers = 0;
  std::uint64_t on_numbers = 0;
  for (int program = 0; program < 700; ++program) {
    const std::uint64_t seed = g();
    const auto state = static_cast<std::mt19937::result_type>(g());
    const std::uint64_t limits[] = {3, 40, 400, 1000};
    const std::uint64_t limit = limits[g() % 4];
    std::vector<State> states;
    {
      // How many instructions run on numbers with no history.
      std::mt19937 same(state);
      RandomMachine r(same, seed);
      r.tuka.run.toggleStepMode();
      StretchCounter stretches;
      r.tuka.processor.addInstructionObserver(&stretches);
      timedRun(r.tuka, limit, true);
      on_numbers += stretches.instructions;
      r.tuka.processor.removeInstructionObserver(&stretches);
    }
    {
      std::mt19937 same(state);
      RandomMachine r(same, seed);
      r.tuka.run.toggleStepMode();  // timed
      states.push_back(stateOf(r.tuka));
      for (bool first = true; states.size() <= limit; first = false) {
        if (first) {
          r.tuka.run.executeFromKeypad();
        } else if (!r.tuka.run.tick()) {
          break;
        }
        states.push_back(stateOf(r.tuka));
      }
    }
    std::mt19937 same(state);
    RandomMachine r(same, seed);
    r.tuka.run.toggleStepMode();
    History history(r.tuka);
    StretchCounter stretches;
    r.tuka.processor.addInstructionObserver(&stretches);
    const std::uint64_t n = timedRun(r.tuka, limit, true);
    ASSERT_EQ(n + 1, states.size()) << "program " << program;
    ASSERT_EQ(history.depth(), n) << "program " << program;
    recorded_on_numbers += stretches.instructions;
    const std::uint64_t part = 1 + g() % n;
    for (std::uint64_t i = 1; i <= part; ++i) {
      ASSERT_TRUE(history.stepBack());
      ASSERT_TRUE(stateOf(r.tuka) == states[n - i])
          << "program " << program << " back " << i << ": "
          << difference(stateOf(r.tuka), states[n - i]);
    }
    // On again from there, on numbers where the run may.
    const bool from_keypad = part == n;
    ASSERT_EQ(timedRun(r.tuka, part, true, from_keypad), part) << "program " << program;
    ASSERT_TRUE(stateOf(r.tuka) == states[n]) << "program " << program;
    while (history.stepBack()) {
    }
    ASSERT_TRUE(stateOf(r.tuka) == states[0]) << "program " << program;
    r.tuka.processor.removeInstructionObserver(&stretches);
  }
  // Recording leaves to the instruction cycle only the first instruction
  // of a run from the keypad.
  EXPECT_GE(recorded_on_numbers + 700, on_numbers);
  EXPECT_GT(on_numbers, 40'000u);
}

// An endless loop: 0000 ADDS R1, R1, R2; 0001 BR (RD = 0000), keyed.
struct EndlessLoop : RandomMachine {
  EndlessLoop() : RandomMachine(std::mt19937(7), 5) {
    Machine& m = tuka.machine;
    m.WriteMemoryWord(0, CellValue::word(0x6112));
    m.WriteMemoryWord(1, CellValue::word(0xC000));
    m.WriteRegister(13, CellValue::word(0));
    m.setCell(kCellKeypad, CellValue::word(0));
  }
};

TEST(History, AnythingButAnInstructionEndsIt) {
  const std::vector<std::pair<const char*, std::function<void(Tuka2&)>>> edits = {
      {"a register", [](Tuka2& t) { t.machine.WriteRegister(3, WordText("1234")); }},
      {"a flag", [](Tuka2& t) { t.machine.setFlag(Flag::V, !t.machine.flag(Flag::V)); }},
      {"an input port", [](Tuka2& t) { t.machine.setCell(inputPortCell(5), WordText("00AA")); }},
      {"an output port", [](Tuka2& t) { t.machine.setCell(outputPortCell(9), WordText("00AA")); }},
      {"a memory word", [](Tuka2& t) { t.machine.WriteMemoryWord(0x0500, WordText("ABCD")); }},
      {"a keypad key", [](Tuka2& t) { t.panel.pressKey('7'); }},
      {"power", [](Tuka2& t) { t.power.TogglePower(); }},
      {"Inicializar Memoria", [](Tuka2& t) { t.power.initialiseMemoryAndListing(); }},
      {"a listing line",
       [](Tuka2& t) { t.listing.add(0x0700, 0xF000, Listing::Form::Disassembled); }},
  };
  for (const auto& [what, edit] : edits) {
    EndlessLoop r;
    History history(r.tuka);
    for (int i = 0; i < 3; ++i) r.step(i == 0);
    ASSERT_EQ(history.depth(), 3u) << what;
    edit(r.tuka);
    EXPECT_EQ(history.depth(), 0u) << what;
    const State after = stateOf(r.tuka);
    EXPECT_FALSE(history.stepBack()) << what;
    EXPECT_TRUE(stateOf(r.tuka) == after) << what;
  }
}

TEST(History, TheStepSwitchAndTheSpeedDoNotEndIt) {
  EndlessLoop r;
  History history(r.tuka);
  const State before = stateOf(r.tuka);
  r.step(true);
  r.tuka.run.toggleStepMode();
  r.tuka.machine.setStepInterval(300);
  r.tuka.run.continueExecution();
  ASSERT_EQ(history.depth(), 2u);
  ASSERT_TRUE(history.stepBack() && history.stepBack());
  // The mode and panel state as they were before the first step.
  EXPECT_TRUE(stateOf(r.tuka) == before) << difference(stateOf(r.tuka), before);
}

// 0010 ST R1, [RD+02] with RD = 0100: the store's word, PC, IR, AR, DR.
TEST(History, TheLastStepsChangesAreTheCellsAndWordsItChanged) {
  std::mt19937 g(3);
  RandomMachine r(g, 9);
  Machine& m = r.tuka.machine;
  m.WriteMemoryWord(0x0010, CellValue::word(0x1102));
  m.WriteMemoryWord(0x0011, CellValue::word(0x6112));
  m.WriteMemoryWord(0x0102, CellValue::word(0x0000));
  m.WriteRegister(1, CellValue::word(0x4444));
  m.WriteRegister(2, CellValue::word(0x0001));
  m.WriteRegister(13, CellValue::word(0x0100));
  for (CellId c : {kCellPC, kCellIR, kCellAR, kCellDR}) m.setCell(c, CellValue::word(0x7777));
  m.setCell(kCellKeypad, CellValue::word(0x0010));
  for (Flag f : {Flag::Z, Flag::S, Flag::C, Flag::V}) m.setFlag(f, true);
  History history(r.tuka);
  r.step(true);
  StepChanges store = history.lastChanges();
  std::sort(store.cells.begin(), store.cells.end());
  EXPECT_EQ(store.cells, (std::vector<CellId>{kCellPC, kCellIR, kCellAR, kCellDR}));
  EXPECT_EQ(store.words, (std::vector<std::uint16_t>{0x0102}));
  EXPECT_TRUE(store.flags.empty());
  // ADDS R1, R1, R2 = 4445: R1, the four flags cleared, PC, IR, AR, DR.
  r.step(false);
  StepChanges add = history.lastChanges();
  std::sort(add.cells.begin(), add.cells.end());
  std::sort(add.flags.begin(), add.flags.end());
  EXPECT_EQ(add.cells, (std::vector<CellId>{registerCell(1), kCellPC, kCellIR, kCellAR, kCellDR}));
  EXPECT_EQ(add.flags, (std::vector<Flag>{Flag::Z, Flag::S, Flag::C, Flag::V}));
  EXPECT_TRUE(add.words.empty());
  // Stepping back tells what it restored: the same.
  ASSERT_TRUE(history.stepBack());
  StepChanges back = history.lastChanges();
  std::sort(back.cells.begin(), back.cells.end());
  std::sort(back.flags.begin(), back.flags.end());
  EXPECT_EQ(back.cells, add.cells);
  EXPECT_EQ(back.flags, add.flags);
}

TEST(History, KeepsItsCapacityDroppingTheOldestAndAMillionStepsFitIn64MB) {
  std::mt19937 g(1);
  RandomMachine r(g, 2);
  Machine& m = r.tuka.machine;
  // 0000 LD R1,[RD+20]; ADDS R1,R1,R2; ST R1,[RD+20]; OUT 07,R1; BR: every
  // kind of change in the loop.
  const unsigned loop[] = {0x0120, 0x6112, 0x1120, 0x5107, 0xC000};
  for (unsigned i = 0; i < 5; ++i) m.WriteMemoryWord(i, CellValue::word(loop[i]));
  m.WriteRegister(13, CellValue::word(0));
  m.setCell(kCellKeypad, CellValue::word(0));
  {
    History small(r.tuka, 5000);
    for (int i = 0; i < 12000; ++i) r.step(i == 0);
    EXPECT_GE(small.depth(), 5000u);
    EXPECT_LT(small.depth(), 5000u + 4096u);
    const std::size_t depth = small.depth();
    for (std::size_t i = 0; i < depth; ++i) ASSERT_TRUE(small.stepBack());
    EXPECT_FALSE(small.stepBack());
    EXPECT_EQ(r.tuka.processor.executions(), 12000u - depth);
  }
  History history(r.tuka);
  for (int i = 0; i < 1'000'000; ++i) r.tuka.run.continueExecution();
  EXPECT_GE(history.depth(), 1'000'000u);
  EXPECT_LE(history.bytesUsed(), 64u << 20);
}

}  // namespace
}  // namespace orben::testing
