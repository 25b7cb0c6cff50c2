#include "assembler/assembler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "disasm/disassembler.h"
#include "machine/word_text.h"

namespace orben::assembler {
namespace {

std::vector<unsigned> WordsOf(const Assembled& assembled) {
  std::vector<unsigned> words;
  for (const auto& w : assembled.words) words.push_back(w.word);
  return words;
}

std::string Messages(const Assembled& assembled) {
  std::string text;
  for (const auto& d : assembled.diagnostics) {
    text += std::to_string(d.line) + ":" + std::to_string(d.column) + ": " +
            d.message.in(Language::English) + "\n";
  }
  return text;
}

// What the machine does with a word, worked out from its digits: which of
// them the instruction reads. LD..NAND read all four; SHL, SHR and SHRA the
// register digit; B and CALL the condition digit when it is 1..4 (Z, S, C,
// V) and otherwise branch always; RET and HALT none.
unsigned MeaningfulDigits(unsigned word) {
  const unsigned op = word >> 12;
  const unsigned second = (word >> 8) & 0xF;
  if (op <= 0x8) return word;
  if (op <= 0xB) return word & 0xFF00;
  if (op <= 0xD) return op << 12 | (second >= 1 && second <= 4 ? second << 8 : 0);
  return op << 12;
}

// Every word 0000..FFFF: the text the disassembler prints for it assembles
// to a word that prints the same text and means the same to the machine.
TEST(AssemblerRoundTrip, EveryWordOfTheMachine) {
  std::string source;
  for (unsigned word = 0; word <= 0xFFFF; ++word) {
    source += Disassemble(wordOf(word).view()) + "\n";
  }
  const Assembled assembled = AssembleText(source);
  ASSERT_TRUE(assembled.result.ok()) << Messages(assembled).substr(0, 2000);
  ASSERT_EQ(assembled.words.size(), 0x10000u);
  for (unsigned word = 0; word <= 0xFFFF; ++word) {
    const auto& got = assembled.words[word];
    ASSERT_EQ(got.address, word);
    ASSERT_EQ(got.word, MeaningfulDigits(word)) << wordOf(word).view();
    ASSERT_EQ(Disassemble(wordOf(got.word).view()), Disassemble(wordOf(word).view()));
  }
}

TEST(AssemblerInstructions, WrittenAnyWayTheLanguageAllows) {
  const struct {
    const char* source;
    std::vector<unsigned> words;
  } cases[] = {
      {"LD R1, [RD+H'10]", {0x0110}},
      {"  ld   r1 ,[ rd + h'10 ]   ; a comment", {0x0110}},
      {"LD RA, [RD]", {0x0A00}},
      {"LD R2, [RD-3]", {0x02FD}},
      {"LD R2, [RD+-128]", {0x0280}},
      {"ST [RD+255], RF", {0x1FFF}},
      {"LLI R5, 10", {0x250A}},
      {"LHI R5, -1", {0x35FF}},
      {"IN R2, H'3", {0x4203}},
      {"OUT H'01, RF", {0x5F01}},
      {"ADDS R3, R1, R2", {0x6312}},
      {"subs rc,rb,ra", {0x7CBA}},
      {"NAND R0, R0, R0", {0x8000}},
      {"SHL R7", {0x9700}},
      {"SHR R7", {0xA700}},
      {"SHRA R7", {0xB700}},
      {"BR", {0xC000}},
      {"bz", {0xC100}},
      {"BS", {0xC200}},
      {"BC", {0xC300}},
      {"BV", {0xC400}},
      {"CALLR", {0xD000}},
      {"CALLZ", {0xD100}},
      {"CALLS", {0xD200}},
      {"CALLC", {0xD300}},
      {"CALLV", {0xD400}},
      {"RET", {0xE000}},
      {"HALT", {0xF000}},
      {"LDI RD, H'1234", {0x2D34, 0x3D12}},
      {"LDI R1, -2", {0x21FE, 0x31FF}},
      {"DW 1, H'FFFF, -1, 65535, -32768", {0x0001, 0xFFFF, 0xFFFF, 0xFFFF, 0x8000}},
      {"LLI R1, LO(H'ABCD)\nLHI R1, HI(H'ABCD)", {0x21CD, 0x31AB}},
      {"LLI R1, HI(-1) - LO(H'0102) - 3", {0x21FA}},
      {"DW $, $+1\nDW $", {0x0000, 0x0001, 0x0002}},
      {"x EQU H'20\nLLI R1, x+1", {0x2121}},
      {"LLI R1, later\nlater EQU 7", {0x2107}},
      {"LDI RD, fin\nBR\nfin: HALT", {0x2D03, 0x3D00, 0xC000, 0xF000}},
      {"start:\n\n  ; alone\nDW start, fin\nfin:", {0x0000, 0x0002}},
      {"ORG H'100\nuno: DW uno\nORG uno+H'10\nDW $", {0x0100, 0x0110}},
      {"a EQU b+1\nb EQU c*0+2\nc: DW a", {}},  // '*' is no operator: an error
      {"A EQU B + 1\nB EQU 4\nDW a, b", {0x0005, 0x0004}},
      {"Loop: DW LOOP, loop", {0x0000, 0x0000}},
      {"_x1: DW _X1", {0x0000}},
  };
  for (const auto& c : cases) {
    const Assembled assembled = AssembleText(c.source);
    if (c.words.empty()) {
      EXPECT_FALSE(assembled.result.ok()) << c.source;
      continue;
    }
    EXPECT_TRUE(assembled.result.ok()) << c.source << "\n" << Messages(assembled);
    EXPECT_EQ(WordsOf(assembled), c.words) << c.source;
  }
}

// Words go where ORG and the words before them put them, and a label
// stands for the address of the next word, wherever that is.
TEST(AssemblerLayout, AddressesAndLabels) {
  const Assembled assembled = AssembleText(
      "        ORG H'0010\n"
      "antes:\n"
      "        ORG H'0020\n"
      "dato:   DW 5\n"
      "        LDI R1, dato\n"
      "tabla:  DW 1, 2, 3\n"
      "final:\n");
  ASSERT_TRUE(assembled.result.ok()) << Messages(assembled);
  std::vector<unsigned> addresses;
  for (const auto& w : assembled.words) addresses.push_back(w.address);
  EXPECT_EQ(addresses, (std::vector<unsigned>{0x20, 0x21, 0x22, 0x23, 0x24, 0x25}));
  EXPECT_EQ(assembled.words[1].word, 0x2120u);
  EXPECT_EQ(assembled.words[1].line, 5u);
  std::vector<std::pair<std::string, std::int64_t>> names;
  for (const auto& n : assembled.result.names) names.emplace_back(n.name, n.value);
  EXPECT_EQ(names, (std::vector<std::pair<std::string, std::int64_t>>{
                       {"antes", 0x20}, {"dato", 0x20}, {"final", 0x26}, {"tabla", 0x23}}));
}

// Every error of the file, in line order, each at its line and the column
// of the offending token, and no word from a line with an error.
TEST(AssemblerErrors, LineColumnAndMessage) {
  const struct {
    const char* source;
    std::size_t line, column;
    const char* message;
  } cases[] = {
      {"FOO R1", 1, 1, "unknown instruction 'FOO'"},
      {"bucle\nHALT", 1, 1, "(a label needs ':' after it)"},
      {"LLI R16, 1", 1, 5, "expected a register (R0..RF), found 'R16'"},
      {"LLI R1 1", 1, 8, "expected ',', found '1'"},
      {"ADDS R1, R2", 1, 12, "expected ',', found the end of the line"},
      {"LLI R1, 256", 1, 9, "value 256 does not fit the 8-bit value (0..255 or -128..-1)"},
      {"LD R1, [RD+300]", 1, 12, "value 300 does not fit the 8-bit displacement"},
      {"IN R1, -129", 1, 8, "value -129 does not fit the 8-bit port"},
      {"LD R1, [R3+1]", 1, 9, "expected RD, found 'R3'"},
      {"LD R1, [RD+1", 1, 13, "expected ']'"},
      {"LLI R1, H'12345", 1, 9, "H' takes one to four hexadecimal digits"},
      {"LLI R1, H'", 1, 9, "H' takes one to four hexadecimal digits"},
      {"LLI R1, H'1G", 1, 9, "'H'1G' is not a hexadecimal number"},
      {"LLI R1, 12AB", 1, 9, "is not a number (hexadecimal numbers are written H'12AB)"},
      {"DW 70000", 1, 4, "'70000' is larger than 65535"},
      {"DW H'FFFF+1", 1, 4, "value 65536 does not fit in 16 bits"},
      {"DW -32769", 1, 4, "value -32769 does not fit in 16 bits"},
      {"\n  LLI R1, nada", 2, 11, "undefined name 'nada'"},
      {"x: DW 1\nX: DW 2", 2, 1, "'X' is already defined at line 1"},
      {"r1: HALT", 1, 1, "'r1' is reserved and cannot be a label"},
      {"halt EQU 3", 1, 1, "'halt' is reserved and cannot be a name"},
      {"LLI R1, R2", 1, 9, "'R2' is a register, not a value"},
      {"ORG fin\nfin: HALT", 1, 5, "ORG needs a value known where it stands"},
      {"ORG -1", 1, 5, "ORG needs an address 0..65535, not -1"},
      {"a EQU a+1\nDW a", 1, 7, "the value of 'a' depends on itself"},
      {"HALT R1", 1, 6, "unexpected 'R1' after the statement"},
      {"HALT # no", 1, 6, "unexpected character '#'"},
      {"DW", 1, 3, "expected a value, found the end of the line"},
      {"DW 1,", 1, 6, "expected a value, found the end of the line"},
      {"LLI R1, LO 3", 1, 12, "LO needs '(' and a value"},
      {"LLI R1, HI(3", 1, 13, "expected ')', found the end of the line"},
      {"LLI R1, é", 1, 9, "unexpected character 'é'"},
      {"x EQU 1 2\nHALT", 1, 9, "unexpected '2' after the value"},
      {"ORG H'FFFF\nDW 1, 2", 2, 1, "the program goes past address FFFF"},
  };
  for (const auto& c : cases) {
    const Assembled assembled = AssembleText(c.source);
    EXPECT_FALSE(assembled.result.ok()) << c.source;
    const auto error =
        std::find_if(assembled.diagnostics.begin(), assembled.diagnostics.end(),
                     [](const Diagnostic& d) { return d.severity == Severity::Error; });
    ASSERT_NE(error, assembled.diagnostics.end()) << c.source;
    const Diagnostic& first = *error;
    EXPECT_EQ(first.line, c.line) << c.source << "\n" << Messages(assembled);
    EXPECT_EQ(first.column, c.column) << c.source << "\n" << Messages(assembled);
    EXPECT_NE(first.message.in(Language::English).find(c.message), std::string::npos)
        << c.source << "\n"
        << Messages(assembled);
  }
}

TEST(AssemblerErrors, EveryErrorOnceInLineOrder) {
  const Assembled assembled = AssembleText(
      "LLI R1, nada\n"   // 1: undefined name
      "bueno: HALT\n"    //
      "ADDS R1, R2\n"    // 3: missing operand
      "a EQU b\n"        // 4: a depends on b, which depends on a
      "b EQU a\n"        // 5
      "LLI R2, 300\n");  // 6: too large
  std::vector<std::size_t> lines;
  for (const auto& d : assembled.diagnostics) lines.push_back(d.line);
  EXPECT_EQ(lines, (std::vector<std::size_t>{1, 3, 4, 5, 6})) << Messages(assembled);
  EXPECT_EQ(assembled.result.errors, 5u);
}

TEST(AssemblerWarnings, KeepTheWordsAndTheStatus) {
  const Assembled assembled = AssembleText(
      "ORG H'EFFF\n"
      "DW 1, 2, 3\n"  // F000 and F001 cannot be stored: one warning
      "ORG H'EFFF\n"
      "HALT\n"         // EFFF written twice
      "IN R1, H'40\n"  // port above 3F (the word lands at F000 again)
      "OUT -1, R2\n");
  ASSERT_TRUE(assembled.result.ok()) << Messages(assembled);
  EXPECT_EQ(WordsOf(assembled),
            (std::vector<unsigned>{0x0001, 0x0002, 0x0003, 0xF000, 0x4140, 0x52FF}));
  std::vector<std::pair<std::size_t, std::string>> warnings;
  for (const auto& d : assembled.diagnostics) {
    EXPECT_EQ(d.severity, Severity::Warning);
    warnings.emplace_back(d.line, d.message.in(Language::English).substr(0, 18));
  }
  EXPECT_EQ(warnings, (std::vector<std::pair<std::size_t, std::string>>{{2, "a word at F000: th"},
                                                                        {4, "address EFFF alrea"},
                                                                        {5, "port 40 is above 3"},
                                                                        {5, "a word at F000: th"},
                                                                        {5, "address F000 alrea"},
                                                                        {6, "port FF is above 3"},
                                                                        {6, "a word at F001: th"},
                                                                        {6, "address F001 alrea"}}))
      << Messages(assembled);
  EXPECT_EQ(assembled.result.warnings, 8u);
}

TEST(AssemblerSource, TextThatIsNotAProgram) {
  const struct {
    std::string source;
    std::size_t line, column;
    const char* message;
  } cases[] = {
      {"", 0, 0, "the source is empty"},
      {"; only a comment\n\n   \n", 0, 0, "no instruction and no DW"},
      {"x EQU 3\n", 0, 0, "no instruction and no DW"},
      {std::string("HALT\r\nRET\rDW 1\n") + '\0', 4, 1, "not UTF-8 or ASCII text (byte 00H here)"},
      // A NUL's column counts characters, an accent once in either encoding.
      {std::string("HALT\n; é") + '\0', 2, 4, "byte 00H here"},
      {std::string("HALT\n; \xE9") + '\0', 2, 4, "byte 00H here"},
  };
  for (const auto& c : cases) {
    const Assembled assembled = AssembleText(c.source);
    EXPECT_FALSE(assembled.result.ok());
    ASSERT_EQ(assembled.diagnostics.size(), 1u) << Messages(assembled);
    const Diagnostic& d = assembled.diagnostics.front();
    EXPECT_EQ(d.line, c.line) << Messages(assembled);
    EXPECT_EQ(d.column, c.column) << Messages(assembled);
    EXPECT_NE(d.message.in(Language::English).find(c.message), std::string::npos)
        << Messages(assembled);
    EXPECT_TRUE(assembled.words.empty());
  }
  // UTF-8 in comments and every line end are fine.
  const Assembled good = AssembleText("; números\r\nLLI R1, 1 ; ¡uno!\rHALT\n");
  EXPECT_TRUE(good.result.ok()) << Messages(good);
  EXPECT_EQ(WordsOf(good), (std::vector<unsigned>{0x2101, 0xF000}));
}

}  // namespace
}  // namespace orben::assembler
