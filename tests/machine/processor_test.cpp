#include "machine/processor.h"

#include <gtest/gtest.h>

#include "support/tuka2_fixture.h"

namespace orben {
namespace {

using testing::Tuka2Test;

constexpr const char* kLoadMessage =
    "AVISO: Acceso a memoria de TUKA-2 ilegal.\rPor encima de EFFF se encuentra el programa "
    "monitor.";
constexpr const char* kStoreMessage =
    "AVISO: Acceso a memoria de TUKA-2 ilegal\rIntentó escribir por encima de la posición F000H "
    "de memoria.";
constexpr const char* kPortMessage =
    "ERROR: ORBEN soporta los 64 primeros puertos de entrada de TUKA-2";

class ProcessorTest : public Tuka2Test {};

// Flags are ZSCV; the operands go into R1 and R2, the result into R3.
struct AluCase {
  const char* instruction;
  const char* x;
  const char* y;
  const char* before;  // flags before, to see which ones the operation keeps
  const char* result;
  const char* flags;
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
  EXPECT_EQ(runFrom("0040"), Outcome::Executed);
  const char a = c.instruction[1];
  EXPECT_EQ(reg(HexCharToValue(a)), c.result) << c.instruction << " " << c.x << " " << c.y;
  EXPECT_EQ(flags(), c.flags) << c.instruction << " " << c.x << " " << c.y;
}

INSTANTIATE_TEST_SUITE_P(Boundaries, AluTest,
                         ::testing::Values(
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

TEST_F(ProcessorTest, LoadImmediateHighAndLow) {
  setReg(5, "ABCD");
  poke(0, {"257F", "357F"});
  runFrom("0000");
  EXPECT_EQ(reg(5), "007F");
  setReg(5, "ABCD");
  step();
  EXPECT_EQ(reg(5), "7FCD");
  EXPECT_EQ(flags(), "0000");
}

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

TEST_F(ProcessorTest, LoadBeyondEFFFIsRefusedWithoutWrap) {
  for (const char* rd : {"EFFF", "FFFF"}) {
    ui.messages.clear();
    setReg(13, rd);
    setReg(2, "5555");
    poke(0, {rd[0] == 'E' ? "0201" : "02FF"});
    EXPECT_EQ(runFrom("0000"), Outcome::Stopped) << rd;
    EXPECT_EQ(reg(2), "5555");
    EXPECT_EQ(ui.messages, std::vector<std::string>{kLoadMessage});
    EXPECT_EQ(cell(kCellPC), "0001");
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
  EXPECT_EQ(ui.messages, (std::vector<std::string>{kPortMessage, kPortMessage}));
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

TEST_F(ProcessorTest, ConditionsOfBranches) {
  setReg(13, "0100");
  struct Case {
    const char* word;
    Flag flag;
    bool taken_when_set;
  } cases[] = {{"C100", Flag::Z, true}, {"C200", Flag::S, true},  {"C300", Flag::C, true},
               {"C400", Flag::V, true}, {"C500", Flag::Z, false}, {"CF00", Flag::V, false}};
  for (const auto& c : cases) {
    for (bool set : {false, true}) {
      m().setFlag(c.flag, set);
      poke(0x50, {c.word});
      runFrom("0050");
      const bool taken = set && c.taken_when_set;
      EXPECT_EQ(cell(kCellPC), taken ? "0100" : "0051") << c.word << " flag " << set;
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

TEST_F(ProcessorTest, UntakenCallOnlyAdvances) {
  setReg(14, "F000");
  poke(0x20, {"D100", "D900"});
  runFrom("0020");
  step();
  EXPECT_EQ(cell(kCellPC), "0022");
  EXPECT_EQ(reg(14), "F000");
}

TEST_F(ProcessorTest, ReturnWithAnEmptyStackIsRefusedLikeALoad) {
  for (const char* re : {"F000", "FFFF"}) {
    ui.messages.clear();
    setReg(14, re);
    poke(0x30, {"E000"});
    EXPECT_EQ(runFrom("0030"), Outcome::Stopped) << re;
    EXPECT_EQ(reg(14), re);
    EXPECT_EQ(cell(kCellPC), "0031");  // the sequential advance, as after a refused LD
    EXPECT_EQ(ui.messages, std::vector<std::string>{kLoadMessage});
  }
}

TEST_F(ProcessorTest, ReturnFromTheLastStackWord) {
  setReg(14, "EFFF");
  poke(0xEFFF, {"0123"});
  poke(0x30, {"E000"});
  runFrom("0030");
  EXPECT_EQ(cell(kCellPC), "0123");
  EXPECT_EQ(reg(14), "F000");
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

TEST_F(ProcessorTest, EveryChangedCellIsNotifiedOnce) {
  testing::RecordingObserver seen;
  m().addObserver(&seen);
  poke(0, {"2105", "6111"});
  runFrom("0000");  // PC 0000 (already), IR 2105, R1 0005, PC 0001, IR 6111, AR, DR
  EXPECT_EQ(seen.cells,
            (std::vector<CellId>{kCellIR, registerCell(1), kCellPC, kCellIR, kCellAR, kCellDR}));
  seen.clear();
  step();  // R1 0005 + 0005 = 000A
  EXPECT_EQ(std::count(seen.cells.begin(), seen.cells.end(), registerCell(1)), 1);
  EXPECT_TRUE(seen.flags.empty());  // every flag stays 0
  m().removeObserver(&seen);
}

}  // namespace
}  // namespace orben
