#include "machine/processor.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/tuka2_fixture.h"

namespace orben {
namespace {

using testing::kLoadMessage;
using testing::kStoreMessage;
using testing::Tuka2Test;

constexpr const char* kPortMessage =
    "ERROR: ORBEN soporta los 64 primeros puertos de entrada de TUKA-2";

class ProcessorTest : public Tuka2Test {};

// Flags are ZSCV; the operands go into R1 and R2, the result is read from
// the instruction's first register; `before` shows which flags it keeps.
struct AluCase {
  const char *instruction, *x, *y, *before, *result, *flags;
};

void PrintTo(const AluCase& c, std::ostream* os) {
  *os << c.instruction << " x=" << c.x << " y=" << c.y << " flags before " << c.before;
}

class AluTest : public ProcessorTest, public ::testing::WithParamInterface<AluCase> {};

TEST_P(AluTest, ResultAndFlags) {
  const AluCase& c = GetParam();
  setReg(1, c.x);
  setReg(2, c.y);
  const Flag order[] = {Flag::Z, Flag::S, Flag::C, Flag::V};
  for (int i = 0; i < 4; ++i) m().setFlag(order[i], c.before[i] == '1');
  poke(0x40, {c.instruction});
  testing::RecordingObserver seen;
  m().addObserver(&seen);
  EXPECT_EQ(runFrom("0040"), Outcome::Executed);
  m().removeObserver(&seen);
  const CellId result = registerCell(HexCharToValue(c.instruction[1]));
  EXPECT_EQ(cell(result), c.result) << c.instruction << " " << c.x << " " << c.y;
  EXPECT_EQ(flags(), c.flags) << c.instruction << " " << c.x << " " << c.y;
  EXPECT_LE(std::count(seen.cells.begin(), seen.cells.end(), result), 1);  // told once at most
}

INSTANTIATE_TEST_SUITE_P(Boundaries, AluTest,
                         ::testing::Values(
                             // LLI, LHI R1, H'7F: the other byte cleared, kept
                             AluCase{"217F", "ABCD", "0000", "0000", "007F", "0000"},
                             AluCase{"317F", "ABCD", "0000", "0000", "7FCD", "0000"},
                             // ADDS R3, R1, R2
                             AluCase{"6312", "7FFF", "0001", "0000", "8000", "0101"},
                             AluCase{"6312", "FFFF", "0001", "0000", "0000", "1010"},
                             AluCase{"6312", "8000", "8000", "0100", "0000", "1011"},
                             AluCase{"6312", "0000", "7FFF", "1111", "7FFF",
                                     "0000"},  // zero operand never sets V
                             AluCase{"6312", "FFFF", "FFFF", "0000", "FFFE", "0110"},
                             // SUBS R3, R1, R2
                             AluCase{"7312", "0000", "0001", "0000", "FFFF", "0110"},
                             AluCase{"7312", "8000", "0001", "0000", "7FFF", "0001"},
                             AluCase{"7312", "0000", "8000", "0000", "8000", "0110"},
                             AluCase{"7312", "7FFF", "FFFF", "0000", "8000", "0111"},
                             AluCase{"7312", "1234", "1234", "0111", "0000", "1000"},
                             // NAND R3, R1, R2 keeps C and V
                             AluCase{"8312", "FFFF", "FFFF", "0011", "0000", "1011"},
                             AluCase{"8312", "0F0F", "00FF", "1000", "FFF0", "0100"},
                             // SHL, SHR, SHRA R1 (R2 unused) keep V
                             AluCase{"9100", "8001", "0000", "0001", "0002", "0011"},
                             AluCase{"9100", "4000", "0000", "0000", "8000", "0100"},
                             AluCase{"A100", "0001", "0000", "0101", "0000", "1011"},
                             AluCase{"A100", "8000", "0000", "0000", "4000", "0000"},
                             AluCase{"B100", "8001", "0000", "0001", "C000", "0111"},
                             AluCase{"B100", "0002", "0000", "1110", "0001", "0000"}));

TEST_F(ProcessorTest, LoadAndStoreAddressBoundaries) {
  poke(0xEFFF, {"BEEF"});
  setReg(13, "EFFE");
  poke(0, {"0201", "1302"});  // LD R2, [RD+01]; ST [RD+02], R3
  setReg(3, "1234");
  runFrom("0000");
  EXPECT_EQ(reg(2), "BEEF");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(step(), Outcome::Stopped);  // EFFE + 02 = F000: refused
  EXPECT_EQ(ui.messages, std::vector<std::string>{kStoreMessage});
  EXPECT_EQ(cell(kCellPC), "0002");  // the store advances all the same
  EXPECT_EQ(m().stepMode(), StepMode::StepByStep);
}

// An LD beyond EFFF (no wrap past FFFF) and a RET with an empty stack are
// refused alike: nothing loaded, the sequential advance, the load message.
TEST_F(ProcessorTest, LoadsBeyondEFFFAreRefused) {
  struct Case {
    const char* word;
    int base;  // RD or RE
    const char* value;
  } cases[] = {
      {"0201", 13, "EFFF"}, {"02FF", 13, "FFFF"}, {"E000", 14, "F000"}, {"E000", 14, "FFFF"}};
  for (const auto& c : cases) {
    ui.messages.clear();
    setReg(c.base, c.value);
    setReg(2, "5555");
    poke(0x30, {c.word});
    EXPECT_EQ(runFrom("0030"), Outcome::Stopped) << c.word << " " << c.value;
    EXPECT_EQ(reg(2), "5555");
    EXPECT_EQ(reg(c.base), c.value);
    EXPECT_EQ(cell(kCellPC), "0031");
    EXPECT_EQ(ui.messages, std::vector<std::string>{kLoadMessage});
  }
}

TEST_F(ProcessorTest, ErrorStopComesBeforeEveryMessage) {
  std::vector<bool> step_mode_at_message;
  ui.on_message = [&](const std::string&) { step_mode_at_message.push_back(m().stepByStep()); };
  setReg(13, "FFFF");
  m().setStepMode(StepMode::Timed);
  poke(0, {"02FF", "4240", "5240", "1100"});  // LD, IN 40, OUT 40, ST at F000+
  runFrom("0000");
  for (int i = 0; i < 3; ++i) {
    m().setStepMode(StepMode::Timed);
    step();
  }
  EXPECT_EQ(step_mode_at_message, (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(ui.messages,
            (std::vector<std::string>{kLoadMessage, kPortMessage, kPortMessage, kStoreMessage}));
}

TEST_F(ProcessorTest, PortsAndTheirMirrors) {
  m().setCell(inputPortCell(0x3F), "0A0B");
  setReg(4, "1234");
  poke(0, {"423F", "5401", "5403", "5440", "4540"});
  runFrom("0000");
  EXPECT_EQ(reg(2), "0A0B");
  step();
  EXPECT_EQ(cell(outputPortCell(1)), "1234");  // PO_01, POP1 and OP1 are one value
  EXPECT_EQ(cell(outputPortCell(3)), "0000");
  step();
  EXPECT_EQ(cell(outputPortCell(3)), "1234");
  EXPECT_EQ(cell(outputPortCell(1)), "1234");
  setReg(5, "7777");
  EXPECT_EQ(step(), Outcome::Stopped);  // OUT to port 40
  EXPECT_EQ(step(), Outcome::Stopped);  // IN from port 40 leaves R5
  EXPECT_EQ(reg(5), "7777");
  EXPECT_EQ(cell(kCellPC), "0005");
}

TEST_F(ProcessorTest, CellsAtTheEndOfEachKindOfInstruction) {
  // Advance: PC+1, IR the word there, AR = PC, DR = IR.
  poke(0x10, {"2105", "6000"});
  runFrom("0010");
  EXPECT_EQ(cell(kCellPC), "0011");
  EXPECT_EQ(cell(kCellIR), "6000");
  EXPECT_EQ(cell(kCellAR), "0011");
  EXPECT_EQ(cell(kCellDR), "6000");
  // Taken branch: PC = RD, IR the word there, AR and DR untouched.
  setReg(13, "0030");
  poke(0x30, {"F000"});
  poke(0x20, {"C000"});
  m().setCell(kCellAR, "AAAA");
  m().setCell(kCellDR, "DDDD");
  runFrom("0020");
  EXPECT_EQ(cell(kCellPC), "0030");
  EXPECT_EQ(cell(kCellIR), "F000");
  EXPECT_EQ(cell(kCellAR), "AAAA");
  EXPECT_EQ(cell(kCellDR), "DDDD");
}

// Branches and calls by condition; a call pushes only when taken.
TEST_F(ProcessorTest, ConditionsOfBranchesAndCalls) {
  setReg(13, "0100");
  struct Case {
    const char* word;
    Flag flag;
    bool taken_when_set;
  } cases[] = {{"C100", Flag::Z, true}, {"C200", Flag::S, true},  {"C300", Flag::C, true},
               {"C400", Flag::V, true}, {"C500", Flag::Z, false}, {"CF00", Flag::V, false},
               {"D100", Flag::Z, true}, {"D900", Flag::Z, false}, {"DF00", Flag::V, false}};
  for (const auto& c : cases) {
    for (bool set : {false, true}) {
      m().setFlag(c.flag, set);
      setReg(14, "F000");
      poke(0x50, {c.word});
      runFrom("0050");
      const bool taken = set && c.taken_when_set;
      EXPECT_EQ(cell(kCellPC), taken ? "0100" : "0051") << c.word << " flag " << set;
      EXPECT_EQ(reg(14), taken && c.word[0] == 'D' ? "EFFF" : "F000") << c.word << " " << set;
    }
  }
}

TEST_F(ProcessorTest, CallAndReturnThroughTheStack) {
  poke(0, {"2D10", "D000"});
  poke(0x10, {"E000"});
  runFrom("0000");
  EXPECT_EQ(reg(13), "0010");
  step();
  EXPECT_EQ(mem(0xEFFF), "0002");
  EXPECT_EQ(reg(14), "EFFF");
  EXPECT_EQ(cell(kCellPC), "0010");
  EXPECT_EQ(cell(kCellAR), "0010");
  EXPECT_EQ(cell(kCellDR), "E000");
  step();
  EXPECT_EQ(cell(kCellPC), "0002");
  EXPECT_EQ(reg(14), "F000");
  EXPECT_EQ(cell(kCellAR), "0002");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ProcessorTest, CallWithTheStackAtZeroWrapsRefusesThePushAndStillJumps) {
  setReg(14, "0000");
  setReg(13, "0040");
  poke(0x20, {"D000"});
  EXPECT_EQ(runFrom("0020"), Outcome::Stopped);
  EXPECT_EQ(reg(14), "FFFF");
  EXPECT_EQ(ui.messages, std::vector<std::string>{kStoreMessage});
  EXPECT_EQ(cell(kCellPC), "0040");
  EXPECT_EQ(m().stepMode(), StepMode::StepByStep);
}

TEST_F(ProcessorTest, HaltShowsTheEndAndStopsBehindIt) {
  m().setStepMode(StepMode::Timed);
  poke(0x10, {"F000", "2105"});
  EXPECT_EQ(runFrom("0010"), Outcome::Halted);
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Fin la ejecución :-)"});
  EXPECT_EQ(cell(kCellPC), "0011");
  EXPECT_EQ(cell(kCellIR), "2105");
  EXPECT_EQ(m().stepMode(), StepMode::StepByStep);
  EXPECT_TRUE(m().stepLamp());
}

TEST_F(ProcessorTest, AdvanceFromFFFFIsRefusedAndChangesNothing) {
  setReg(13, "FFFF");
  m().WriteMemoryWord(0x20, "C000");
  runFrom("0020");  // PC = FFFF, IR empty
  m().setCell(kCellIR, "2105");
  m().setCell(kCellAR, "AAAA");
  m().setCell(kCellDR, "DDDD");
  tuka.processor.AdvancePC();
  EXPECT_EQ(cell(kCellPC), "FFFF");
  EXPECT_EQ(cell(kCellIR), "2105");
  EXPECT_EQ(cell(kCellAR), "AAAA");
  EXPECT_EQ(cell(kCellDR), "DDDD");
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Error: PC apuntó más allá FFFFH."});
  EXPECT_EQ(m().stepMode(), StepMode::StepByStep);
}

TEST_F(ProcessorTest, FetchAtF000AndAboveExecutesNothing) {
  EXPECT_EQ(runFrom("F000"), Outcome::NoInstruction);
  EXPECT_EQ(cell(kCellPC), "F000");
  EXPECT_EQ(cell(kCellIR), "");
  EXPECT_TRUE(ui.messages.empty());
  // An instruction at EFFF advances into the monitor's area; the next
  // Continuar finds nothing.
  poke(0xEFFF, {"2105"});
  runFrom("EFFF");
  EXPECT_EQ(cell(kCellPC), "F000");
  EXPECT_EQ(cell(kCellIR), "");
  EXPECT_EQ(step(), Outcome::NoInstruction);
  EXPECT_EQ(cell(kCellPC), "F000");
  EXPECT_EQ(m().panelState(), PanelState::Executing);
}

}  // namespace
}  // namespace orben
