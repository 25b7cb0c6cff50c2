#include "loader/line_scanner.h"

#include <gtest/gtest.h>

#include <string>

namespace orben {
namespace {

TEST(LineScanner, OnlyAsciiLettersChangeCase) {
  EXPECT_EQ(UpperCaseText("ff2 a;zq"), "FF2 A;ZQ");
  // Accented letters, other 8-bit bytes and control characters stay.
  EXPECT_EQ(UpperCaseText("\xE1\xF1 \x7F\r\t`{@["), "\xE1\xF1 \x7F\r\t`{@[");
  EXPECT_EQ(UpperCaseText(""), "");
}

TEST(LineScanner, BlanksAreTabLineFeedAndSpaceOnly) {
  for (int c = 0; c < 256; ++c) {
    const bool blank = c == 0x09 || c == 0x0A || c == 0x20;
    EXPECT_EQ(IsBlankChar(static_cast<char>(c)), blank) << c;
  }
}

TEST(LineScanner, HexDigitsAreBothCases) {
  const std::string digits = "0123456789ABCDEFabcdef";
  for (int c = 0; c < 256; ++c) {
    const bool hex = digits.find(static_cast<char>(c)) != std::string::npos && c != 0;
    EXPECT_EQ(IsHexDigit(static_cast<char>(c)), hex) << c;
  }
}

TEST(LineScanner, TextHelpers) {
  EXPECT_EQ(StripComment("10 2105 ; carga R1;x"), "10 2105 ");
  EXPECT_EQ(StripComment("sin comentario"), "sin comentario");
  EXPECT_EQ(StripComment(";solo"), "");

  struct Case {
    std::string text, collapsed;
    std::size_t words;
  } cases[] = {{"", "", 0},
               {" \t\n ", "", 0},
               {"  10 \t\t 2105\n", "10 2105", 2},
               {"a\rb c", "a\rb c", 2},  // carriage return is part of a word
               {"x", "x", 1},
               {"\x01 \x02", "\x01 \x02", 2}};
  for (const auto& c : cases) {
    EXPECT_EQ(CollapseBlanks(c.text), c.collapsed) << c.text;
    EXPECT_EQ(CountWords(c.text), c.words) << c.text;
  }
}

TEST(LineScanner, GetWordCountsFromOneAndKeepsInRange) {
  EXPECT_EQ(GetWord("0010 2105", 1), "0010");
  EXPECT_EQ(GetWord("0010 2105", 2), "2105");
  EXPECT_EQ(GetWord(" a\tbb  ccc ", 3), "ccc");
  EXPECT_EQ(GetWord("", 1), "");
  for (std::size_t n : {0u, 1u, 2u, 7u}) EXPECT_EQ(GetWord("solo", n), "solo") << n;
}

TEST(LineScanner, PadLeftFillsOrRefuses) {
  EXPECT_EQ(PadLeft("5", 4, '0'), "0005");
  EXPECT_EQ(PadLeft("2A0", 4, '0'), "02A0");
  EXPECT_EQ(PadLeft("ABCD", 4, '0'), "ABCD");
  EXPECT_EQ(PadLeft("", 4, '0'), "0000");
  EXPECT_EQ(PadLeft("00010", 4, '0'), std::nullopt);  // too long even though its value fits
}

TEST(LineScanner, IsHexRecordNeedsColonAndFourteenDigits) {
  struct Case {
    const char* text;
    bool record;
  } cases[] = {{"", true},
               {":020010002105C8", true},
               {":020010002105c8", true},
               {":020010002105C", false},
               {":020010002105C8F", false},
               {"0020010002105C8", false},
               {":0200100021 5C8", false},
               {":0212G4000005EF", false},
               {":00000001FF", false}};
  for (const auto& c : cases) EXPECT_EQ(IsHexRecord(c.text), c.record) << c.text;
}

TEST(LineScanner, PrepareLineUpperCasesCutsCommentAndCollapses) {
  const char* lines[] = {"",
                         "10   2105 ; carga R1",
                         "\tff2\ta\t",
                         " ;solo comentario",
                         "  :02 0010  00 2105 C8  ",
                         "a;b;c",
                         "x\ry \xE9z\n\n",
                         "   "};
  for (const char* line : lines) {
    const std::string expected = CollapseBlanks(StripComment(UpperCaseText(line)));
    EXPECT_EQ(PrepareLine(line), expected) << line;
  }
  EXPECT_EQ(PrepareLine("10   2105 ; carga R1"), "10 2105");
  EXPECT_EQ(PrepareLine("  :00000001ff  ; fin"), ":00000001FF");
}

}  // namespace
}  // namespace orben
