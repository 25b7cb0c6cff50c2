// A program loaded from a source keeps, for each word address, the line
// that made the word, and the names the source defines.
#include "session/source_map.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "session/session.h"

namespace orben::session {
namespace {

// Line numbers count from 1: kLines[0] is line 1. Line 6 ends with CR LF,
// the others with LF.
const std::vector<std::string> kLines = {
    "; datos tras un hueco",        // 1: a comment, no word
    "DOS     EQU 2",                // 2: a constant
    "",                             // 3: blank
    "        LLI R1, DOS",          // 4: 0000
    "        LDI RD, datos",        // 5: 0001, 0002
    "        LD R2, [RD]",          // 6: 0003
    "        HALT",                 // 7: 0004, later written over by line 13
    "        ORG H'0010",           // 8: the gap 0005..000F
    "datos:  DW H'1234, 7  ; dos",  // 9: 0010, 0011
    "fin:",                         // 10: a label alone
    "        DW fin",               // 11: 0012
    "        ORG H'0004",           // 12
    "        DW 9",                 // 13: 0004 again
};

std::string sourceText() {
  std::string text;
  for (std::size_t i = 0; i < kLines.size(); ++i) text += kLines[i] + (i == 5 ? "\r\n" : "\n");
  return text;
}

struct Loaded {
  Session session{{std::uint16_t{0}, std::nullopt}};
  Loaded(const std::string& text) {
    session.switchOn();
    std::ostringstream err;
    EXPECT_EQ(session.loadSource(text, "hueco.asm", err), ProgramLoad::Loaded) << err.str();
  }
};

TEST(SourceMap, EachWordAddressGivesTheLineThatMadeIt) {
  const Loaded loaded(sourceText());
  const SourceMap& map = loaded.session.sourceMap();
  const std::map<unsigned, std::size_t> expected = {{0x0000, 4}, {0x0001, 5},  {0x0002, 5},
                                                    {0x0003, 6}, {0x0004, 13}, {0x0010, 9},
                                                    {0x0011, 9}, {0x0012, 11}};
  for (unsigned address = 0; address < 0x20; ++address) {
    const MappedLine* line = map.lineAt(static_cast<std::uint16_t>(address));
    const auto want = expected.find(address);
    if (want == expected.end()) {
      EXPECT_EQ(line, nullptr) << "address " << address;
      continue;
    }
    ASSERT_NE(line, nullptr) << "address " << address;
    EXPECT_EQ(line->number, want->second) << "address " << address;
    EXPECT_EQ(line->text, kLines[want->second - 1]) << "address " << address;
  }
  EXPECT_EQ(map.lineAt(0xFFFF), nullptr);
  // Every line that gave words, in the order of the source, HALT's included.
  std::vector<std::size_t> numbers;
  for (const MappedLine& line : map.lines()) numbers.push_back(line.number);
  EXPECT_EQ(numbers, (std::vector<std::size_t>{4, 5, 6, 7, 9, 11, 13}));
  EXPECT_EQ(map.lines()[1].address, 0x0001);
  EXPECT_EQ(map.lines()[1].words, 2u);
  EXPECT_EQ(map.lines()[4].address, 0x0010);
}

// The map and the memory agree: at each mapped address the machine holds
// the word the assembler gives for that line (the later line where two
// write one address).
TEST(SourceMap, AgreesWithTheAssemblersWordsAndTheMemory) {
  const std::string text = sourceText();
  const Loaded loaded(text);
  const assembler::Assembled words = assembler::AssembleText(text);
  ASSERT_TRUE(words.result.ok());
  std::map<std::uint16_t, assembler::AssembledWord> last;
  for (const auto& word : words.words) last[word.address] = word;
  std::size_t mapped = 0;
  for (unsigned address = 0; address <= 0xFFFF; ++address) {
    mapped += loaded.session.sourceMap().lineAt(static_cast<std::uint16_t>(address)) != nullptr;
  }
  EXPECT_EQ(mapped, last.size());
  for (const auto& [address, word] : last) {
    const MappedLine* line = loaded.session.sourceMap().lineAt(address);
    ASSERT_NE(line, nullptr) << address;
    EXPECT_EQ(line->number, word.line) << address;
    EXPECT_EQ(loaded.session.machine().ReadMemoryWord(address).str(), wordOf(word.word).str())
        << address;
  }
}

TEST(SourceMap, NamesKeepTheirValues) {
  const Loaded loaded(sourceText());
  const SourceMap& map = loaded.session.sourceMap();
  struct Name {
    const char* name;
    std::int64_t value;
    bool label;
    std::size_t line;
  } names[] = {{"datos", 0x10, true, 9}, {"DOS", 2, false, 2}, {"fin", 0x12, true, 10}};
  ASSERT_EQ(map.names().size(), std::size(names));
  for (std::size_t i = 0; i < std::size(names); ++i) {
    EXPECT_EQ(map.names()[i].name, names[i].name);  // alphabetical, case aside
    EXPECT_EQ(map.names()[i].value, names[i].value) << names[i].name;
    EXPECT_EQ(map.names()[i].label, names[i].label) << names[i].name;
    EXPECT_EQ(map.names()[i].line, names[i].line) << names[i].name;
  }
  for (const char* spelling : {"DATOS", "Datos", "datos"}) {
    ASSERT_NE(map.name(spelling), nullptr) << spelling;
    EXPECT_EQ(map.name(spelling)->value, 0x10);
  }
  EXPECT_EQ(map.name("dato"), nullptr);
  EXPECT_EQ(map.name("R1"), nullptr);
}

// A source saved as Windows-1252 is kept as the assembler reads it: UTF-8.
TEST(SourceMap, LinesAreKeptAsUtf8) {
  const Loaded loaded("        HALT ; caf\xE9\n");
  const MappedLine* line = loaded.session.sourceMap().lineAt(0);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->text, "        HALT ; caf\xC3\xA9");
}

}  // namespace
}  // namespace orben::session
