#include "machine/word_text.h"

#include <gtest/gtest.h>

#include "support/scripted_ui.h"

namespace orben {
namespace {

TEST(WordTextHelpers, WordTextToValueCountsBothCasesAndMarksOthersMinusOne) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {{"FFFF", 65535}, {"00a0", 160},   {"****", -4369}, {"00X0", -16},
               {"0000", 0},     {"8000", 32768}, {"ABC", -1},     {"12345", 0x1234}};
  for (const auto& c : cases) EXPECT_EQ(WordTextToValue(c.text), c.value) << c.text;
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
