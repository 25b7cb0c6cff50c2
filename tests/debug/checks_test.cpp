// The checks for the classic mistakes: each fires on a program made to make
// it, once per instruction, and stays silent on programs that avoid it and
// on the examples.
#include "debug/checks.h"

#include <gtest/gtest.h>

#include <string>

#include "debug_support.h"

namespace orben::testing {
namespace {

// A TUKA-2 switched on with its memory filled, the checks watching from
// before the switch, a program written word by word from 0000 and run
// timed from 0000 for at most `steps` instructions.
struct Checked {
  QuietUi ui;
  SeededRandom random{11};
  Tuka2 tuka{ui, random};
  Checks checks{tuka};

  Checked() {
    tuka.power.startUp();
    tuka.power.TogglePower();
  }
  void load(std::initializer_list<unsigned> words, unsigned at = 0) {
    for (unsigned w : words) tuka.machine.WriteMemoryWord(at++, CellValue::word(w));
  }
  void run(std::uint64_t steps = 200) {
    tuka.machine.setCell(kCellKeypad, CellValue::word(0));
    tuka.run.toggleStepMode();
    tuka.run.executeFromKeypad();
    for (std::uint64_t i = 1; i < steps && tuka.run.tick(); ++i) {
    }
  }
  std::string found() const {
    std::string kinds;
    for (const Check& c : checks.found()) {
      kinds += std::string(checkKindName(c.kind)) + "@" + std::string(wordOf(c.address).view()) +
               "#" + std::to_string(c.step) + " ";
    }
    return kinds;
  }
};

constexpr unsigned kHalt = 0xF000;

TEST(Checks, EachFiresOnTheProgramMadeForItAndNotOnItsFix) {
  struct Case {
    const char* what;
    std::initializer_list<unsigned> program;
    const char* expected;
  };
  const Case cases[] = {
      // LLI R1,01 and no HALT: 0001 was filled, never written.
      {"a missing HALT", {0x2101}, "unwritten-word@0001#2 "},
      {"with its HALT", {0x2101, kHalt}, ""},
      // BR with RD as power-on left it: to 000D, filled memory.
      {"a branch before RD is set", {0xC000}, "rd-not-set@0000#1 unwritten-word@000D#2 "},
      {"LD before RD is set", {0x0100, kHalt}, "rd-not-set@0000#1 "},
      {"ST before RD is set", {0x1100, kHalt}, "rd-not-set@0000#1 "},
      // LLI RD,03; BR; HALT; 0003 HALT.
      {"RD set first", {0x2D03, 0xC000, kHalt, kHalt}, ""},
      // BZ not taken (Z clear after power-on? ADDS R0,R1,R1 leaves Z clear).
      {"a branch not taken", {0x6011, 0xC100, kHalt}, ""},
      // LLI RD,00; LLI R1,00; ST R1,[RD+00] over the LLI RD that ran.
      {"the program overwrites itself",
       {0x2D00, 0x2100, 0x1100, kHalt},
       "program-overwritten@0002#3 "},
      // LLI RD,04; ST R1,[RD+00] into the data word at 0004; HALT; 0003; 0004 data.
      {"a store into the program's data", {0x2D04, 0x1100, kHalt, kHalt, 0x0000}, ""},
      // LLI RE,03; LLI RD,05; CALL pushes over 0002; 0005 HALT.
      {"the stack runs into the program",
       {0x2E03, 0x2D05, 0xD000, kHalt, kHalt, kHalt},
       "stack-into-program@0002#3 "},
      // LLI RD,04; CALL from the empty stack; HALT; 0004 RET; HALT.
      {"a call and its return", {0x2D04, 0xD000, kHalt, kHalt, 0xE000}, ""},
      {"RET with an empty stack", {0xE000, kHalt}, "ret-empty-stack@0000#1 "},
  };
  for (const Case& c : cases) {
    Checked t;
    t.load(c.program);
    t.run();
    EXPECT_EQ(t.found(), c.expected) << c.what;
  }
}

TEST(Checks, ALoopRepeatsNoneAndTheirTextsNameTheAddress) {
  Checked t;
  // 0000 LD R1,[RD+00] with RD unset, then BR back through... RD: 000D is
  // filled memory, so the run goes on there; keep it short.
  t.load({0x0100, 0x0100, 0x0100, 0xF000});
  t.run();
  ASSERT_EQ(t.checks.found().size(), 3u);
  EXPECT_EQ(t.checks.found()[1].text.in(Language::English),
            "LD at 0001 goes through RD, which still holds its power-on value 000D "
            "(set RD first: LDI RD, name)");
  // A loop over the same LD reports it once.
  Checked loop;
  loop.load({0x0100, 0x2D00, 0xC000});  // LD; LLI RD,00; BR 0000
  loop.run(50);
  EXPECT_EQ(loop.found(), "rd-not-set@0000#1 ");
  Checked ret;
  ret.load({0xE000, kHalt});
  ret.run();
  ASSERT_EQ(ret.checks.found().size(), 1u);
  EXPECT_EQ(ret.checks.found()[0].text.in(Language::English),
            "RET at 0000 with an empty stack (RE = F000): a return with no call before it");
}

TEST(Checks, WhatRunsInUnwrittenWordsFollowsFromTheFirstMistake) {
  // Memory filled with LD R1,[RD+00] and RD never set: past the program's
  // one word the run goes through every filled word, each an LD through
  // RD's power-on value, and only the entry is reported.
  QuietUi ui;
  FillRandom fill(0x0100);
  Tuka2 tuka(ui, fill);
  Checks checks(tuka);
  tuka.power.startUp();
  tuka.power.TogglePower();
  tuka.machine.WriteMemoryWord(0, CellValue::word(0x2101));  // LLI R1,01
  tuka.machine.setCell(kCellKeypad, CellValue::word(0));
  tuka.run.toggleStepMode();
  tuka.run.executeFromKeypad();
  for (int i = 0; i < 70000 && tuka.run.tick(); ++i) {
  }
  EXPECT_GT(tuka.processor.executions(), 60000u);
  ASSERT_EQ(checks.found().size(), 1u);
  EXPECT_EQ(checks.found()[0].kind, CheckKind::UnwrittenWord);
  EXPECT_EQ(checks.found()[0].address, 1);
}

TEST(Checks, AHandEditOfRDOrAMachineAlreadyRunningRaisesNone) {
  Checked edited;
  edited.load({0xC000});
  edited.tuka.machine.WriteRegister(13, CellValue::word(0x0001));
  edited.tuka.machine.WriteMemoryWord(1, CellValue::word(kHalt));
  edited.run();
  EXPECT_EQ(edited.found(), "");
  // Checks attached after power-on and fill know neither: they stay quiet.
  QuietUi ui;
  SeededRandom random(3);
  Tuka2 tuka(ui, random);
  tuka.power.TogglePower();
  tuka.machine.WriteMemoryWord(0, CellValue::word(0xC000));
  Checks late(tuka);
  tuka.machine.setCell(kCellKeypad, CellValue::word(0));
  tuka.run.executeFromKeypad();
  tuka.run.continueExecution();
  EXPECT_TRUE(late.found().empty());
}

TEST(Checks, TheExamplesRaiseNone) {
  int examples = 0;
  for (const char* name :
       {"doble_entrada", "llena", "multiplica", "subrutina", "suma", "suma_1_a_n"}) {
    for (int input : {0x0000, 0x0015, 0x7FFF}) {
      Checked t;
      const std::string path = std::string(ORBEN_EXAMPLES) + "/" + name + ".ehc";
      ASSERT_EQ(t.tuka.load.loadFile(path), LoadOutcome::Loaded) << path;
      for (int port = 0; port < 8; ++port) {
        if (port != 1) t.tuka.machine.setCell(inputPortCell(port), CellValue::word(input));
      }
      t.run(100000);
      EXPECT_EQ(t.found(), "") << name << " with " << input;
      EXPECT_TRUE(t.tuka.machine.stepByStep()) << name << " ran to its end";
      ++examples;
    }
  }
  EXPECT_EQ(examples, 18);
}

}  // namespace
}  // namespace orben::testing
