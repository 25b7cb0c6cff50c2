#include "machine/machine.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/tuka2_fixture.h"

namespace orben {
namespace {

using testing::Tuka2Test;

class MachineTest : public Tuka2Test {};

// Words up to EFFF are stored; writes at F000 and beyond (even past the
// store's end) are refused with a message and change nothing.
TEST_F(MachineTest, MemoryWordsAtTheEdgeOfTheStore) {
  m().WriteMemoryWord(0xEFFF, "1234");
  EXPECT_EQ(m().memory().byte(0x1DFFE), 0x12);
  EXPECT_EQ(m().memory().byte(0x1DFFF), 0x34);
  EXPECT_EQ(mem(0xEFFF), "1234");
  EXPECT_EQ(mem(0xF000), "");
  EXPECT_EQ(mem(-1), "");
  EXPECT_TRUE(ui.messages.empty());
  const std::string before = m().memory().hexText();
  m().WriteMemoryWord(0xF000, "5678");
  m().WriteMemoryWord(0x10010, "5678");
  EXPECT_EQ(ui.messages, std::vector<std::string>(2, testing::kStoreMessage));
  EXPECT_EQ(m().memory().hexText(), before);
}

TEST_F(MachineTest, ByteTextHoldingXStoresFF) {
  m().WriteMemoryWord(5, "X012");
  EXPECT_EQ(mem(5), "FF12");
  m().WriteMemoryWord(5, "12*X");
  EXPECT_EQ(mem(5), "12FF");
}

TEST_F(MachineTest, RegistersIgnoreNumbersOutsideSixteen) {
  m().WriteRegister(16, "1234");
  m().WriteRegister(-1, "1234");
  for (int n = 0; n < 16; ++n) EXPECT_EQ(reg(n), ValueToWordText(n == 14 ? 0xF000 : n).str());
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
  const std::pair<const char*, CellId> cases[] = {{"PPC", kCellPC},
                                                  {"PIR", kCellIR},
                                                  {"IP1", kCellKeypad},
                                                  {"PIN_01", kCellKeypad},
                                                  {"IP2", inputPortCell(2)},
                                                  {"POP1", outputPortCell(1)},
                                                  {"PO_3F", outputPortCell(63)},
                                                  {"RF", registerCell(15)},
                                                  {"PIN_00", inputPortCell(0)}};
  for (const auto& [display, cell] : cases) EXPECT_EQ(cellOfDisplay(display), cell) << display;
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

TEST(WordTextHelpers, WordTextToValueCountsBothCasesAndMarksOthersMinusOne) {
  const std::pair<const char*, int> cases[] = {{"FFFF", 65535}, {"00a0", 160},    {"****", -4369},
                                               {"00X0", -16},   {"0000", 0},      {"8000", 32768},
                                               {"ABC", -1},     {"12345", 0x1234}};
  for (const auto& [text, value] : cases) EXPECT_EQ(WordTextToValue(text), value) << text;
}

TEST(WordTextHelpers, ValueToWordTextKeepsTheLowFourDigits) {
  EXPECT_EQ(ValueToWordText(65536).str(), "0000");
  EXPECT_EQ(ValueToWordText(10).str(), "000A");
  EXPECT_EQ(ValueToWordText(0x1FFFE).str(), "FFFE");
  // A negative value shows 'X' wherever its truncated remainder is not 0.
  EXPECT_EQ(ValueToWordText(-16).str(), "00X0");
  EXPECT_EQ(ValueToWordText(-1).str(), "000X");
}

TEST(WordTextHelpers, SignedToWordTextGivesTwosComplement) {
  EXPECT_EQ(SignedToWordText(-1).str(), "FFFF");
  EXPECT_EQ(SignedToWordText(-32768).str(), "8000");
  EXPECT_EQ(SignedToWordText(70000).str(), "1170");
}

TEST(WordTextHelpers, ByteTextToValueCountsOnlyUpperCaseDigits) {
  EXPECT_EQ(ByteTextToValue("7F"), 127);
  EXPECT_EQ(ByteTextToValue("X0"), -1);
  EXPECT_EQ(ByteTextToValue("0X"), -1);
  EXPECT_EQ(ByteTextToValue("7f"), 112);
  EXPECT_EQ(ByteTextToValue("FF34"), 255);
}

TEST(WordTextHelpers, DigitConversions) {
  EXPECT_EQ(HexCharToValue('b'), 11);
  EXPECT_EQ(HexCharToValue('G'), -1);
  EXPECT_EQ(HexCharToValue('9'), 9);
  EXPECT_EQ(HexDigitToChar(15), 'F');
  EXPECT_EQ(HexDigitToChar(16), 'X');
  EXPECT_EQ(HexDigitToChar(-1), 'X');
}

TEST(WordTextHelpers, RandomWordTextUsesFourDrawsBelowSixteen) {
  testing::ReplayRandom random({1, 10, 15, 0});
  EXPECT_EQ(RandomWordText(random).str(), "1AF0");
}

TEST(WordTextValue, CutsToFourCharactersAndKeepsTheEmptyText) {
  EXPECT_EQ(WordText("123456").str(), "1234");
  EXPECT_TRUE(WordText("").empty());
  EXPECT_EQ(sizeof(WordText), 5u);
}

}  // namespace
}  // namespace orben
