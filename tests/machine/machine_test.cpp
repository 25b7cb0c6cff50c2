#include "machine/machine.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "support/tuka2_fixture.h"

namespace orben {
namespace {

using testing::Tuka2Test;

class MachineTest : public Tuka2Test {};

TEST_F(MachineTest, MemoryWordsAtTheEdgeOfTheStore) {
  m().WriteMemoryWord(0xEFFF, "1234");
  EXPECT_EQ(m().memory().byte(0x1DFFE), 0x12);
  EXPECT_EQ(m().memory().byte(0x1DFFF), 0x34);
  EXPECT_EQ(mem(0xEFFF), "1234");
  EXPECT_EQ(mem(0xF000), "");
  EXPECT_EQ(mem(-1), "");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MachineTest, WritesAtF000AndBeyondAreRefusedAfterAnErrorStop) {
  for (long long address : {0xF000LL, 0x10010LL}) {
    ui.messages.clear();
    m().setStepMode(StepMode::Timed);
    std::optional<StepMode> step_mode_at_message;
    ui.on_message = [&](const std::string&) { step_mode_at_message = m().stepMode(); };
    const std::string before = m().memory().hexText();
    m().WriteMemoryWord(address, "1234");
    EXPECT_EQ(step_mode_at_message, StepMode::StepByStep);
    EXPECT_TRUE(m().stepLamp());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0],
              "AVISO: Acceso a memoria de TUKA-2 ilegal\rIntentó escribir por encima de la "
              "posición F000H de memoria.");
    EXPECT_EQ(m().memory().hexText(), before);
  }
}

TEST_F(MachineTest, ByteTextHoldingXStoresFF) {
  m().WriteMemoryWord(5, "X012");
  EXPECT_EQ(mem(5), "FF12");
  m().WriteMemoryWord(5, "12*X");
  EXPECT_EQ(mem(5), "12FF");
}

TEST_F(MachineTest, RegistersIgnoreNumbersOutsideSixteenAndCutTexts) {
  m().WriteRegister(16, "1234");
  m().WriteRegister(-1, "1234");
  for (int n = 0; n < 16; ++n) EXPECT_EQ(reg(n), ValueToWordText(n == 14 ? 0xF000 : n).str());
  m().WriteRegister(3, "ABCDEF");
  EXPECT_EQ(reg(3), "ABCD");
}

TEST_F(MachineTest, EqualWritesNotifyNothingAndChangesNotifyOnce) {
  testing::RecordingObserver seen;
  m().addObserver(&seen);
  m().WriteRegister(2, "0002");
  m().setFlag(Flag::Z, false);
  m().setPanelState(m().panelState());
  EXPECT_TRUE(seen.cells.empty() && seen.flags.empty() && seen.controls.empty());
  m().setCell(kCellKeypad, "4321");
  m().setFlag(Flag::C, true);
  m().ErrorStop();  // already in step mode: no change
  EXPECT_EQ(seen.cells, std::vector<CellId>{kCellKeypad});
  EXPECT_EQ(seen.flags, std::vector<Flag>{Flag::C});
  EXPECT_TRUE(seen.controls.empty());
  m().removeObserver(&seen);
}

TEST(Cells, DisplaysOfMirrorGroupsAndBack) {
  EXPECT_EQ(displaysOfCell(kCellKeypad), (std::vector<std::string>{"Teclado", "IP1", "PIN_01"}));
  EXPECT_EQ(displaysOfCell(outputPortCell(2)), (std::vector<std::string>{"OP2", "POP2", "PO_02"}));
  EXPECT_EQ(displaysOfCell(inputPortCell(0x2A)), std::vector<std::string>{"PIN_2A"});
  struct Case {
    const char* display;
    CellId cell;
  } cases[] = {{"PPC", kCellPC},
               {"PIR", kCellIR},
               {"IP1", kCellKeypad},
               {"PIN_01", kCellKeypad},
               {"IP2", inputPortCell(2)},
               {"POP1", outputPortCell(1)},
               {"PO_3F", outputPortCell(63)},
               {"RF", registerCell(15)},
               {"PIN_00", inputPortCell(0)}};
  for (const auto& c : cases) EXPECT_EQ(cellOfDisplay(c.display), c.cell) << c.display;
  EXPECT_EQ(cellOfDisplay("PIN_40"), std::nullopt);
  EXPECT_EQ(cellOfDisplay("R"), std::nullopt);
}

TEST(MemoryStoreTest, SetByteOutsideTheDataThrowsAndStoresNothing) {
  MemoryStore store(4);
  EXPECT_THROW(store.setByte(4, 1), std::out_of_range);
  EXPECT_THROW(store.setByte(-1, 1), std::out_of_range);
  try {
    store.setByte(9, 1);
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "Invalid SetMemory index");
  }
  store.setByte(3, 0xAB);
  EXPECT_EQ(store.hexText(), "000000AB");
}

}  // namespace
}  // namespace orben
