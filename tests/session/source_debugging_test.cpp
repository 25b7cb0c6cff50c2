// The editor's debugging over one machine: the source line at PC, line
// breakpoints, running to a line, stepping back and the checks as they come.
#include "session/source_debugging.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/tuka2_fixture.h"

namespace orben::session {
namespace {

using orben::testing::Tuka2Test;

// Words: 0000 line 3, 0001 line 4, 0002 line 6 (after a comment line), 0003
// and 0004 line 7 (LDI gives two), 0005 line 8, 0006 line 9, 0007 line 10.
constexpr const char* kProgram =
    "; two numbers added\n"       // 1
    "        ORG H'0000\n"        // 2
    "        LLI R1, H'05\n"      // 3
    "        LLI R2, H'07\n"      // 4
    "; the sum\n"                 // 5
    "bucle:  ADDS R3, R1, R2\n"   // 6
    "        LDI RD, dato\n"      // 7
    "        ST [RD+H'00], R3\n"  // 8
    "        HALT\n"              // 9
    "dato:   DW H'0000\n";        // 10

struct Told : SourceDebuggingListener {
  std::vector<std::size_t> lines;
  std::vector<StepChanges> steps;
  std::vector<bool> can_back;
  std::vector<std::pair<CheckKind, std::size_t>> checks;
  void lineAtPCChanged(std::size_t line) override { lines.push_back(line); }
  void stepped(const StepChanges& changes) override { steps.push_back(changes); }
  void canStepBackChanged(bool can) override { can_back.push_back(can); }
  void checkFound(const Check& check, std::size_t line) override {
    checks.emplace_back(check.kind, line);
  }
};

class SourceDebuggingTest : public Tuka2Test {
 protected:
  void load(const std::vector<std::size_t>& breakpoints = {}, const char* text = kProgram) {
    ASSERT_TRUE(debugging.assembleAndLoad(text, "p.asm", breakpoints).loaded);
  }
  // Step-timer ticks until one does not execute (a stop), at most `most`.
  int ticks(int most = 100) {
    int executed = 0;
    while (executed < most && tuka.run.tick()) ++executed;
    return executed;
  }

  Told told;
  SourceDebugging debugging{tuka, &told};
};

TEST_F(SourceDebuggingTest, TheLineAtPCFollowsEjecutarContinuarAndStepBack) {
  m().setCell(kCellPC, "0040");
  load();
  EXPECT_EQ(debugging.lineAtPC(), 0u);  // PC is beside the program
  tuka.run.executeFromKeypad();         // the keypad holds 0000: line 3 runs
  EXPECT_EQ(debugging.lineAtPC(), 4u);
  step();                               // line 4
  EXPECT_EQ(debugging.lineAtPC(), 6u);  // the comment line is passed over
  step();                               // ADDS
  step();                               // LDI's first instruction: still line 7
  EXPECT_EQ(debugging.lineAtPC(), 7u);
  step();
  EXPECT_EQ(debugging.lineAtPC(), 8u);
  ASSERT_TRUE(debugging.stepBack());
  EXPECT_EQ(debugging.lineAtPC(), 7u);
  EXPECT_EQ(cell(kCellPC), "0004");
  EXPECT_EQ(told.lines, (std::vector<std::size_t>{4, 6, 7, 8, 7}));
}

TEST_F(SourceDebuggingTest, EditingOrAHandEditOfTheProgramEndsTheMatch) {
  struct Case {
    const char* what;
    std::function<void()> end;
    bool ends;
  };
  const Case cases[] = {
      {"the text edited", [this] { debugging.sourceEdited(); }, true},
      {"a hand edit of a program word", [this] { m().WriteMemoryWord(0x0005, "0000"); }, true},
      {"a hand edit beside the program", [this] { m().WriteMemoryWord(0x0040, "0000"); }, false},
      {"the program's own store into its data", [this] { ticks(); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    load();
    tuka.run.executeFromKeypad();
    tuka.run.toggleStepMode();  // timed: the ticks run on to HALT
    step();
    ASSERT_NE(debugging.lineAtPC(), 0u);
    c.end();
    EXPECT_EQ(debugging.matches(), !c.ends);
    EXPECT_EQ(debugging.lineAtPC() == 0, c.ends);
    if (!tuka.machine.stepByStep()) tuka.run.toggleStepMode();
  }
  // Power off: no line; on again (memory kept), the program is still there.
  load();
  tuka.run.executeFromKeypad();
  tuka.power.TogglePower();
  EXPECT_EQ(debugging.lineAtPC(), 0u);
}

TEST_F(SourceDebuggingTest, ALineBreakpointGoesToTheLineThatGivesTheWord) {
  load();
  struct Case {
    std::size_t asked;
    std::size_t line;  // 0: refused
    std::uint16_t address;
  };
  const Case cases[] = {{3, 3, 0x0000}, {5, 6, 0x0002},   {7, 7, 0x0003},
                        {1, 3, 0x0000}, {10, 10, 0x0007}, {11, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.asked);
    const auto first = debugging.toggleAtLine(c.asked);
    if (c.line == 0) {
      EXPECT_FALSE(first);
      continue;
    }
    ASSERT_TRUE(first);
    EXPECT_EQ(first->line, c.line);
    EXPECT_EQ(first->address, c.address);
    EXPECT_EQ(first->set, !(c.asked == 1));  // line 1 finds line 3's, set above
    EXPECT_EQ(m().breakpoints().has(c.address), first->set);
  }
  EXPECT_EQ(debugging.breakpointLines(), (std::vector<std::size_t>{6, 7, 10}));
  // From the listing: the second word of the LDI belongs to no line start.
  const ToggledBreakpoint listed = debugging.toggleAtAddress(0x0004);
  EXPECT_TRUE(listed.set);
  EXPECT_EQ(listed.line, 0u);
  EXPECT_EQ(debugging.toggleAtAddress(0x0005).line, 8u);
  EXPECT_EQ(debugging.breakpointLines(), (std::vector<std::size_t>{6, 7, 8, 10}));
  // With the text edited no line is known until the next load.
  debugging.sourceEdited();
  EXPECT_FALSE(debugging.toggleAtLine(3));
  EXPECT_TRUE(debugging.breakpointLines().empty());
}

TEST_F(SourceDebuggingTest, BreakpointsFollowTheirLinesIntoTheNextLoad) {
  load({4, 8});
  EXPECT_TRUE(m().breakpoints().has(0x0001));
  EXPECT_TRUE(m().breakpoints().has(0x0005));
  // The same program with a line more at the top: the editor's lines moved
  // with the text, the words did not move with them.
  const std::string longer = std::string("; moved\n").append(kProgram);
  ASSERT_TRUE(debugging.toggleAtLine(6));  // 0002, not among the next load's lines
  load({5, 9}, longer.c_str());
  EXPECT_FALSE(m().breakpoints().has(0x0002));
  EXPECT_TRUE(m().breakpoints().has(0x0001));
  EXPECT_TRUE(m().breakpoints().has(0x0005));
  EXPECT_EQ(debugging.breakpointLines(), (std::vector<std::size_t>{5, 9}));
  // A load without them removes those on the program's words, not one
  // beside it.
  debugging.toggleAtAddress(0x0040);
  load({}, longer.c_str());
  EXPECT_FALSE(m().breakpoints().has(0x0001));
  EXPECT_FALSE(m().breakpoints().has(0x0005));
  EXPECT_TRUE(m().breakpoints().has(0x0040));
}

TEST_F(SourceDebuggingTest, ATimedRunStopsBeforeABreakpointAndRunsToALine) {
  load({8});
  tuka.run.toggleStepMode();
  tuka.run.executeFromKeypad();
  ticks();
  EXPECT_TRUE(tuka.run.stoppedAtBreakpoint());
  EXPECT_EQ(cell(kCellPC), "0005");  // before the ST
  EXPECT_EQ(debugging.lineAtPC(), 8u);
  EXPECT_EQ(mem(0x0007), "0000");
  EXPECT_TRUE(m().stepByStep());
  // Run to line 9: the ST runs, then the run stops before HALT, once.
  ASSERT_TRUE(debugging.runToLine(9));
  ticks();
  EXPECT_EQ(cell(kCellPC), "0006");
  EXPECT_EQ(mem(0x0007), "000C");
  EXPECT_FALSE(m().breakpoints().has(0x0006));
  EXPECT_TRUE(m().breakpoints().has(0x0005));  // the kept one stays
  EXPECT_TRUE(ui.messages.empty());            // no box for either stop
  EXPECT_FALSE(debugging.runToLine(11));       // no word from line 11 on
}

TEST_F(SourceDebuggingTest, RunToALineBeforeTheFirstStepStartsFromTheKeypad) {
  load();
  ASSERT_TRUE(debugging.runToLine(6));
  ticks();
  EXPECT_EQ(cell(kCellPC), "0002");
  EXPECT_EQ(reg(1), "0005");
  EXPECT_EQ(reg(2), "0007");
  EXPECT_EQ(debugging.lineAtPC(), 6u);
}

TEST_F(SourceDebuggingTest, EachStepTellsWhatItChangedAndStepBackWhatItRestored) {
  load();
  EXPECT_FALSE(debugging.canStepBack());
  tuka.run.executeFromKeypad();  // LLI R1, 05: R1, PC, IR...
  ASSERT_EQ(told.steps.size(), 1u);
  const auto& first = told.steps.back().cells;
  EXPECT_NE(std::find(first.begin(), first.end(), registerCell(1)), first.end());
  EXPECT_EQ(std::find(first.begin(), first.end(), registerCell(2)), first.end());
  for (int i = 0; i < 4; ++i) step();  // to the ST
  step();                              // ST: the word 0007
  EXPECT_EQ(told.steps.back().words, (std::vector<std::uint16_t>{0x0007}));
  EXPECT_TRUE(told.steps.back().flags.empty());
  ASSERT_TRUE(debugging.stepBack());
  EXPECT_EQ(told.steps.back().words, (std::vector<std::uint16_t>{0x0007}));
  EXPECT_EQ(mem(0x0007), "0000");
  EXPECT_TRUE(debugging.matches());  // the restore is not a hand edit
  // Back to the start, then nothing more to take back.
  while (debugging.stepBack()) {
  }
  EXPECT_FALSE(debugging.canStepBack());
  EXPECT_EQ(told.can_back, (std::vector<bool>{true, false}));
  // A hand edit of a register ends the history too.
  runFrom("0000");
  EXPECT_TRUE(debugging.canStepBack());
  setReg(5, "1234");
  EXPECT_FALSE(debugging.canStepBack());
  EXPECT_EQ(told.can_back.back(), false);
}

TEST_F(SourceDebuggingTest, ChecksAreToldAsTheyAreFoundWithTheirLine) {
  // RD is never set: the ST at line 3 goes through its power-on value.
  tuka.power.TogglePower();
  tuka.power.TogglePower();
  load({}, "        ORG H'0000\n        LLI R1, H'05\n        ST [RD+H'00], R1\n        HALT\n");
  tuka.run.executeFromKeypad();
  EXPECT_TRUE(told.checks.empty());
  step();
  ASSERT_EQ(told.checks.size(), 1u);
  EXPECT_EQ(told.checks[0], std::make_pair(CheckKind::RdNotSet, std::size_t{3}));
  EXPECT_EQ(debugging.checks().size(), 1u);
}

}  // namespace
}  // namespace orben::session
