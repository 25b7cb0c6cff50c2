// Cells hold numbers, but every rule that reads a cell's text must still
// see the text the cell shows: "****" while off, the empty text of a fetch
// from F000 or above, and any odd text a cell is given.
#include "machine/cell_value.h"

#include <gtest/gtest.h>

#include "support/tuka2_fixture.h"

namespace orben {
namespace {

using testing::kLoadMessage;
using testing::kStoreMessage;
using testing::Tuka2Test;

// Texts a cell can be given, the usual and the odd ones.
constexpr const char* kTexts[] = {"0000", "FFFF", "8000", "00A0", "****", "",      "00a0", "ffff",
                                  "7F**", "XXX0", "00X0", "21",   "*",    "0000 ", "12345"};

TEST(CellValueTest, ShowsTheTextItWasGivenCutToFour) {
  for (const char* text : kTexts) {
    const WordText given(text);
    EXPECT_EQ(CellValue::ofText(given).text(), given) << '"' << text << '"';
  }
  EXPECT_EQ(CellValue::ofText("****").state(), CellState::Off);
  EXPECT_EQ(CellValue::ofText("").state(), CellState::Empty);
  EXPECT_EQ(CellValue::ofText("00a0").state(), CellState::Other);
  EXPECT_EQ(CellValue::ofText("BEEF"), CellValue::word(0xBEEF));
  EXPECT_EQ(CellValue::off().text().str(), "****");
  EXPECT_TRUE(CellValue::empty().text().empty());
}

// The number a cell gives arithmetic and addressing is what the word
// helpers read from its text; "****" and the empty text included.
TEST(CellValueTest, ValueIsWhatItsTextReadsAs) {
  for (const char* text : kTexts) {
    EXPECT_EQ(CellValue::ofText(text).value(), WordTextToValue(WordText(text).view()))
        << '"' << text << '"';
  }
  EXPECT_EQ(CellValue::off().value(), -4369);
  EXPECT_EQ(CellValue::empty().value(), -1);
  for (unsigned w = 0; w <= 0xFFFF; w += 0x1111) {
    EXPECT_EQ(CellValue::word(w).value(), static_cast<int>(w));
    EXPECT_EQ(CellValue::word(w).text(), ValueToWordText(w));
  }
}

TEST(CellValueTest, EqualExactlyWhenTheTextsAre) {
  for (const char* a : kTexts) {
    for (const char* b : kTexts) {
      EXPECT_EQ(CellValue::ofText(a) == CellValue::ofText(b), WordText(a) == WordText(b))
          << '"' << a << "\" \"" << b << '"';
    }
  }
}

TEST(CellValueTest, NumbersShowAsValueToWordTextWritesThem) {
  for (long long v : {0LL, 10LL, 0xEFFFLL, 0xFFFFLL, 0x10000LL, 0x1FFFELL, -1LL, -16LL, -4368LL}) {
    EXPECT_EQ(CellValue::ofNumber(v).text(), ValueToWordText(v)) << v;
  }
}

// Operands that are not words, through the ALU: "****" reads as EEEF
// (each '*' counts -1 in its place), the empty text as FFFF, lower-case
// digits as their values. LHI keeps the old text's last two characters.
class CellTextQuirksTest : public Tuka2Test {};

TEST_F(CellTextQuirksTest, OddOperandsThroughTheAlu) {
  struct Case {
    const char *instruction, *x, *y, *result, *flags;  // flags ZSCV
  } cases[] = {
      {"6312", "****", "0001", "EEF0", "0100"},  // -4369 + 1
      {"6312", "", "0001", "0000", "1010"},      // FFFF + 1 carries
      {"6312", "00a0", "0001", "00A1", "0000"},
      {"7312", "0000", "****", "1111", "0010"},  // 0 - (-4369), a borrow
      {"9100", "****", "0000", "DDDE", "0110"},  // EEEF shifted out its bit 15
      {"317F", "****", "0000", "7F**", "0000"},
      {"317F", "", "0000", "7F00", "0000"},
      {"317F", "00a0", "0000", "7Fa0", "0000"},
  };
  for (const auto& c : cases) {
    for (Flag f : {Flag::Z, Flag::S, Flag::C, Flag::V}) m().setFlag(f, false);
    setReg(1, c.x);
    setReg(2, c.y);
    poke(0x40, {c.instruction});
    EXPECT_EQ(runFrom("0040"), Outcome::Executed) << c.instruction << " " << c.x;
    EXPECT_EQ(reg(HexCharToValue(c.instruction[1])), c.result) << c.instruction << " " << c.x;
    EXPECT_EQ(flags(), c.flags) << c.instruction << " " << c.x;
  }
}

// A store takes the bytes as ByteTextToValue reads them (lower case and '*'
// count 0), a port takes the text as it is, and "****" as a base or stack
// pointer is a negative address, refused.
TEST_F(CellTextQuirksTest, OddTextsInMemoryPortsAndAddresses) {
  setReg(13, "0100");
  poke(0x100, {"FFFF", "FFFF", "FFFF"});
  poke(0, {"1100", "1201", "1302", "5340", "5103", "4403"});  // ST x3, OUT 40, OUT 03, IN R4
  setReg(1, "****");
  setReg(2, "00a0");
  setReg(3, "");
  runFrom("0000");
  step();
  step();
  EXPECT_EQ(mem(0x100), "0000");
  EXPECT_EQ(mem(0x101), "0000");
  EXPECT_EQ(mem(0x102), "0000");
  EXPECT_EQ(step(), Outcome::Stopped);  // port 40
  step();
  EXPECT_EQ(cell(outputPortCell(3)), "****");
  m().setCell(inputPortCell(3), "00a0");
  step();
  EXPECT_EQ(reg(4), "00a0");

  ui.messages.clear();
  setReg(13, "****");
  setReg(14, "****");
  poke(0x10, {"0200", "E000"});
  EXPECT_EQ(runFrom("0010"), Outcome::Stopped);  // LD at -4369
  EXPECT_EQ(step(), Outcome::Stopped);           // RET from -4369
  EXPECT_EQ(ui.messages, (std::vector<std::string>{kLoadMessage, kLoadMessage}));
  EXPECT_EQ(reg(14), "****");
  // CALL: RE - 1 is negative, so the push goes to FFFF and is refused, and
  // the call still jumps to RD.
  ui.messages.clear();
  setReg(13, "0030");
  poke(0x12, {"D000"});
  EXPECT_EQ(runFrom("0012"), Outcome::Stopped);
  EXPECT_EQ(reg(14), "FFFF");
  EXPECT_EQ(cell(kCellPC), "0030");
  EXPECT_EQ(ui.messages, std::vector<std::string>{kStoreMessage});
}

// A keyed address in lower case fetches from its value; the advance then
// writes the next address in upper case.
TEST_F(CellTextQuirksTest, LowerCaseKeypadAddressFetchesAndAdvances) {
  poke(0xA0, {"2155"});
  EXPECT_EQ(runFrom("00a0"), Outcome::Executed);
  EXPECT_EQ(reg(1), "0055");
  EXPECT_EQ(cell(kCellPC), "00A1");
  EXPECT_EQ(runFrom("****"), Outcome::NoInstruction);
  EXPECT_EQ(cell(kCellPC), "****");
  EXPECT_EQ(cell(kCellIR), "");
}

}  // namespace
}  // namespace orben
