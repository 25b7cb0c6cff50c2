// Guardar memoria como programa objeto: the words of a range written as an
// object file that the loader reads back to the same words, the source's
// lines as EHC comments, and the typed range checked.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "session/memory_object.h"
#include "session/program_file.h"
#include "support/scratch_folder.h"
#include "support/tuka2_fixture.h"

namespace orben::session {
namespace {

using orben::testing::ReplayRandom;
using orben::testing::ScriptedUi;
using orben::testing::Tuka2Test;

// Line 2 puts two words at 0010 and 0011 (LDI), line 3 one at 0012; the
// comment of line 4 and the blanks around line 3 are the source's own.
constexpr const char* kProgram =
    "        ORG H'0010\n"
    "        LDI R1, H'1234   ; dos palabras\n"
    "   HALT   \n"
    "; fin\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "a line without CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

class MemoryObjectTest : public Tuka2Test {
 protected:
  MemoryObjectTest() {
    EXPECT_TRUE(assembleAndLoad(tuka, kProgram, "p.asm", map).loaded);
    // Words of no source line around the program and at both ends of the
    // storage.
    poke(0x0000, {"0A0B"});
    poke(0x000E, {"1111", "2222"});
    poke(0x0013, {"3333", "4444"});
    poke(0xEFFF, {"BEEF"});
  }
  SourceMap map;
  ScratchFolder folder{"orben-memory-object"};
};

struct RoundTrip {
  const char* what;
  std::uint16_t first;
  std::uint16_t last;
};

// Saved and loaded back into another machine whose every word differs
// (each the complement of the first machine's), the range holds the first
// machine's words and the words beside it keep their own.
TEST_F(MemoryObjectTest, WhatIsSavedLoadsBackToTheSameWordsInBothFormats) {
  const RoundTrip cases[] = {
      {"a single word of a line", 0x0012, 0x0012},
      {"the second word of a two-word line", 0x0011, 0x0011},
      {"a single word of no line", 0x000F, 0x000F},
      {"the first word of memory", 0x0000, 0x0000},
      {"the last word with storage", 0xEFFF, 0xEFFF},
      {"across the end of the storage", 0xEFF0, 0xFFFF},
      {"words with and without lines", 0x000E, 0x0016},
      {"from 0000 into the program", 0x0000, 0x0011},
      {"every address", 0x0000, 0xFFFF},
  };
  for (const RoundTrip& c : cases) {
    for (const char* name : {"m.EHC", "m.ehc", "m.HEX", "m.hex"}) {
      SCOPED_TRACE(std::string(c.what) + " in " + name);
      std::string reason;
      const std::string path = folder.path(name);
      ASSERT_EQ(saveMemoryObject(m(), map, {c.first, c.last}, path, reason), MemorySave::Saved)
          << reason;

      ScriptedUi other_ui;
      ReplayRandom other_random;
      Tuka2 other(other_ui, other_random);
      other.power.toggleInitMemoryAtPowerOn();
      other.power.TogglePower();
      for (long long a = 0; a < Machine::kMemoryWords; ++a) {
        other.machine.WriteMemoryWord(a, CellValue::word(~m().memoryWord(a).asWord()));
      }
      ASSERT_EQ(other.load.loadNamed(path), LoadOutcome::Loaded);
      EXPECT_TRUE(other_ui.messages.empty()) << other_ui.messages.front();
      EXPECT_TRUE(other_ui.file_errors.empty());
      for (long long a = c.first; a <= c.last; ++a) {
        ASSERT_EQ(other.machine.ReadMemoryWord(a), m().ReadMemoryWord(a)) << a;
      }
      for (long long a :
           {static_cast<long long>(c.first) - 1, static_cast<long long>(c.last) + 1}) {
        if (a < 0 || a >= Machine::kMemoryWords) continue;
        EXPECT_NE(other.machine.ReadMemoryWord(a), m().ReadMemoryWord(a)) << a;
      }
    }
  }
}

TEST_F(MemoryObjectTest, EhcLinesCarryTheSourceLineWhereTheMapKnowsOne) {
  const std::vector<std::string> expected = {
      "000E 1111",
      "000F 2222",
      "0010 2134 ; LDI R1, H'1234   ; dos palabras",
      "0011 3112 ; LDI R1, H'1234   ; dos palabras",
      "0012 F000 ; HALT",
      "0013 3333",
  };
  EXPECT_EQ(Lines(memoryObjectText(m(), map, {0x000E, 0x0013}, ObjectFormat::Ehc)), expected);
  // Without a map, no line has a comment.
  EXPECT_EQ(Lines(memoryObjectText(m(), SourceMap(), {0x0010, 0x0010}, ObjectFormat::Ehc)),
            std::vector<std::string>{"0010 2134"});
}

TEST_F(MemoryObjectTest, HexRecordsAreOneWordEachAndEndWithTheEndRecord) {
  // :02 AAAA 00 CCCC and the checksum making the record's bytes sum to 0.
  const auto record = [](unsigned address, unsigned word) {
    const unsigned sum = 2 + (address >> 8) + (address & 0xFF) + (word >> 8) + (word & 0xFF);
    char text[16];
    std::snprintf(text, sizeof text, ":02%04X00%04X%02X", address, word, (0x100 - sum) & 0xFF);
    return std::string(text);
  };
  const std::vector<std::string> expected = {record(0xEFFF, 0xBEEF), ":00000001FF"};
  EXPECT_EQ(Lines(memoryObjectText(m(), map, {0xEFFF, 0xFFFF}, ObjectFormat::Hex)), expected);
  EXPECT_EQ(
      Lines(memoryObjectText(m(), map, {0x0011, 0x0012}, ObjectFormat::Hex)),
      (std::vector<std::string>{record(0x0011, 0x3112), record(0x0012, 0xF000), ":00000001FF"}));
}

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    names.push_back(entry.path().lexically_relative(folder).string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(MemoryObjectTest, AFileThatCannotBeWrittenIsReportedAndLeavesNothingBehind) {
  folder.write("no_carpeta", "ocupa el nombre de una carpeta");
  folder.write("ocupado.ehc/dentro", "una carpeta con el nombre del archivo");
  const std::vector<std::string> before = FilesIn(folder.folder());
  struct Failure {
    const char* name;
    int error;
  };
  const Failure failures[] = {
      {"no_carpeta/m.ehc", ENOTDIR},  // its folder is a file
      {"falta/m.hex", ENOENT},        // its folder does not exist
      {"ocupado.ehc", 0},             // a folder holds its name: written, never put in place
  };
  for (const Failure& f : failures) {
    SCOPED_TRACE(f.name);
    std::string reason;
    EXPECT_EQ(saveMemoryObject(m(), map, {0x0010, 0x0012}, folder.path(f.name), reason),
              MemorySave::FileError);
    EXPECT_FALSE(reason.empty());
    if (f.error != 0) {
      EXPECT_EQ(reason, std::strerror(f.error));
    }
    EXPECT_EQ(FilesIn(folder.folder()), before);
  }
  EXPECT_EQ(ScratchFolder::read(folder.path("ocupado.ehc/dentro")),
            "una carpeta con el nombre del archivo");
}

TEST_F(MemoryObjectTest, ANameOfNoObjectFormatIsRefusedAndNothingWritten) {
  for (const char* name : {"m.txt", "m.ehc.bak", "EHC", "m"}) {
    SCOPED_TRACE(name);
    std::string reason;
    EXPECT_EQ(saveMemoryObject(m(), map, {0, 0}, folder.path(name), reason),
              MemorySave::BadExtension);
    EXPECT_EQ(reason, kBadExtensionMessage);
    EXPECT_TRUE(FilesIn(folder.folder()).empty());
  }
}

TEST_F(MemoryObjectTest, ARangeOfNoStoredWordIsRefusedAndNothingWritten) {
  for (const MemoryRange range :
       {MemoryRange{0xF000, 0xF000}, MemoryRange{0xFFFF, 0xFFFF}, MemoryRange{0xF000, 0xFFFF}}) {
    SCOPED_TRACE(range.first);
    std::string reason;
    EXPECT_EQ(saveMemoryObject(m(), map, range, folder.path("m.ehc"), reason),
              MemorySave::NoStorage);
    EXPECT_EQ(reason, kLoadRefusedMessage);
    EXPECT_TRUE(FilesIn(folder.folder()).empty());
  }
  // One word below F000 is enough.
  std::string reason;
  EXPECT_EQ(saveMemoryObject(m(), map, {0xEFFF, 0xFFFF}, folder.path("m.ehc"), reason),
            MemorySave::Saved);
  EXPECT_EQ(ScratchFolder::read(folder.path("m.ehc")), "EFFF BEEF\r\n");
}

TEST_F(MemoryObjectTest, ASaveReplacesAnOldFileWhole) {
  const std::string path = folder.write("m.ehc", std::string(5000, 'x'));
  std::string reason;
  ASSERT_EQ(saveMemoryObject(m(), map, {0x0012, 0x0012}, path, reason), MemorySave::Saved);
  EXPECT_EQ(ScratchFolder::read(path), "0012 F000 ; HALT\r\n");
  EXPECT_EQ(FilesIn(folder.folder()), std::vector<std::string>{"m.ehc"});
}

TEST(MemoryRangeTest, TheDefaultIsTheSourcesLowestToHighestWord) {
  struct Case {
    const char* source;
    MemoryRange expected;
  };
  const Case cases[] = {
      {"", {0x0000, 0x0000}},
      {"  HALT\n", {0x0000, 0x0000}},
      // A later ORG below the first, the last line's second word the highest.
      {"  ORG H'0020\n  HALT\n  ORG H'0005\n  HALT\n  ORG H'0030\n  LDI R2, 7\n", {0x0005, 0x0031}},
      {"  ORG H'EFFE\n  LDI R1, 1\n", {0xEFFE, 0xEFFF}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    ScriptedUi ui;
    ReplayRandom random;
    Tuka2 tuka(ui, random);
    SourceMap map;
    if (*c.source != '\0') {
      ASSERT_TRUE(assembleAndLoad(tuka, c.source, "p.asm", map).loaded);
    }
    EXPECT_EQ(defaultMemoryRange(map), c.expected);
  }
}

TEST(MemoryRangeTest, TypedAddressesAreOneToFourHexadecimalDigits) {
  struct Case {
    const char* first;
    const char* last;
    RangeCheck check;
    MemoryRange range;
  };
  const Case cases[] = {
      {"0", "FFFF", RangeCheck::Valid, {0x0000, 0xFFFF}},
      {"a", "00ff", RangeCheck::Valid, {0x000A, 0x00FF}},
      {"10", "0010", RangeCheck::Valid, {0x0010, 0x0010}},
      {"0011", "0010", RangeCheck::Reversed, {}},
      {"FFFF", "0", RangeCheck::Reversed, {}},
      {"", "0010", RangeCheck::BadAddress, {}},
      {"0010", "", RangeCheck::BadAddress, {}},
      {"10000", "FFFF", RangeCheck::BadAddress, {}},
      {"00010", "0020", RangeCheck::BadAddress, {}},
      {"G", "0010", RangeCheck::BadAddress, {}},
      {" 10", "0020", RangeCheck::BadAddress, {}},
      {"0010", "20 ", RangeCheck::BadAddress, {}},
      {"-1", "0020", RangeCheck::BadAddress, {}},
      {"H'10", "0020", RangeCheck::BadAddress, {}},
      // A bad address is named before an order that cannot be told.
      {"FFFF", "X", RangeCheck::BadAddress, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.first) + ".." + c.last);
    MemoryRange range{0x1234, 0x5678};
    EXPECT_EQ(checkMemoryRange(c.first, c.last, range), c.check);
    if (c.check == RangeCheck::Valid) {
      EXPECT_EQ(range, c.range);
    } else {
      EXPECT_EQ(range, (MemoryRange{0x1234, 0x5678}));  // untouched
    }
  }
}

}  // namespace
}  // namespace orben::session
