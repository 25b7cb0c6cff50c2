#include "loader/line_scanner.h"

#include <gtest/gtest.h>

#include <string>

namespace orben {
namespace {

TEST(LineScanner, CharacterClassesAtTheirBorders) {
  for (char c : std::string_view("\t\n ")) EXPECT_TRUE(IsBlankChar(c)) << int(c);
  for (char c : std::string_view("\x08\x0B\r\x1A\x1F!\0", 7))
    EXPECT_FALSE(IsBlankChar(c)) << int(c);
  for (char c : std::string_view("09AFaf")) EXPECT_TRUE(IsHexDigit(c)) << c;
  for (char c : std::string_view("/:@G`g\xE1\0", 8)) EXPECT_FALSE(IsHexDigit(c)) << int(c);
  // Only a-z change case: accented letters, other bytes and controls stay.
  EXPECT_EQ(UpperCaseText("ff2 a;zq\xE1\xF1\x7F\r\t`{@["), "FF2 A;ZQ\xE1\xF1\x7F\r\t`{@[");
}

TEST(LineScanner, CommentsBlanksAndWords) {
  EXPECT_EQ(StripComment("10 2105 ; carga R1;x"), "10 2105 ");
  EXPECT_EQ(StripComment("sin comentario"), "sin comentario");
  struct Case {
    std::string text, collapsed;
    std::size_t words;
  } cases[] = {{"", "", 0},
               {" \t\n ", "", 0},
               {"  10 \t\t 2105\n", "10 2105", 2},
               {"a\rb c", "a\rb c", 2},  // carriage return is part of a word
               {"\x01 \x02", "\x01 \x02", 2}};
  for (const auto& c : cases) {
    EXPECT_EQ(CollapseBlanks(c.text), c.collapsed) << c.text;
    EXPECT_EQ(CountWords(c.text), c.words) << c.text;
  }
  EXPECT_EQ(GetWord(" a\tbb  ccc ", 2), "bb");
  EXPECT_EQ(GetWord(" a\tbb  ccc ", 3), "ccc");
  EXPECT_EQ(GetWord("", 1), "");
  for (std::size_t n : {0u, 1u, 2u, 7u}) EXPECT_EQ(GetWord("solo", n), "solo") << n;
}

TEST(LineScanner, PaddedWordsAndRecordShapes) {
  EXPECT_EQ(PadLeft("5", 4, '0'), "0005");
  EXPECT_EQ(PadLeft("", 4, '0'), "0000");
  EXPECT_EQ(PadLeft("ABCD", 4, '0'), "ABCD");
  EXPECT_EQ(PadLeft("00010", 4, '0'), std::nullopt);  // too long even though its value fits
  for (const char* record : {"", ":020010002105C8", ":020010002105c8"}) {
    EXPECT_TRUE(IsHexRecord(record)) << record;
  }
  for (const char* other : {":020010002105C", ":020010002105C8F", "0020010002105C8",
                            ":0200100021 5C8", ":0212G4000005EF", ":00000001FF"}) {
    EXPECT_FALSE(IsHexRecord(other)) << other;
  }
}

TEST(LineScanner, PrepareLineUpperCasesCutsCommentAndCollapses) {
  struct Case {
    std::string line, prepared;
  } cases[] = {
      {"   ", ""}, {"\tff2\ta\t", "FF2 A"}, {"a;b;c", "A"}, {"x\ry \xE9z\n\n", "X\rY \xE9Z"}};
  for (const auto& c : cases) EXPECT_EQ(PrepareLine(c.line), c.prepared) << c.line;
}

}  // namespace
}  // namespace orben
