#include "loader/object_readers.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "loader/line_reader.h"
#include "loader/load_command.h"
#include "loader_support.h"

namespace orben {
namespace {

using testing::Lines;
constexpr auto kEhc = ObjectFormat::Ehc;
constexpr auto kHex = ObjectFormat::Hex;

// Runs one reader over a text in blocks of 7 bytes, so lines cross block
// borders, and notes at every message box the listing's length and whether
// the file was still open.
struct ReaderBench : testing::LoaderBench {
  ReadResult read(ObjectFormat format, std::string_view text, bool fail_at_end = false) {
    testing::ProbeSource source(text, fail_at_end);
    LineReader lines(source, 0, 7);
    ui.on_message = [&](const std::string&) {
      listed_at_message.push_back(listing.count());
      open_at_message.push_back(!source.closed);
    };
    const ReadResult result = format == kEhc ? ReadEhcFile(machine, listing, lines)
                                             : ReadHexFile(machine, listing, lines);
    ui.on_message = nullptr;
    EXPECT_TRUE(source.closed);
    return result;
  }
  std::vector<int> listed_at_message;
  std::vector<bool> open_at_message;
};

// The address of a raw listing line "[aaaa]: cccc".
long long addressOf(const std::string& raw) {
  return std::stoll(raw.substr(1, 4), nullptr, 16);
}
std::string corrupt(const std::string& shown) {
  return "ERROR: Archivo HEX corrupto\rMire la línea: (" + shown + ")";
}

TEST(ObjectReaders, FilesAreReadToTheirEnd) {
  struct Case {
    ObjectFormat format;
    std::string text;
    Lines listed;
    Lines messages = {};
    Lines unlisted = {};  // words in memory that the listing no longer shows
  } cases[] = {
      {kEhc,
       "0 0\r\n10   2105 ; carga R1\r\t2a0\t\t5 \t;x\nff2 a\r\nEFFF 1",
       {"[0000]: 0000", "[0010]: 2105", "[02A0]: 0005", "[0FF2]: 000A", "[EFFF]: 0001"}},
      {kEhc, "1 1\n2 2\n", {"[0001]: 0001", "[0002]: 0002"}},  // a final line end adds no line
      {kEhc, "1 1\r\n\x1A\r\n\r\n", {"[0001]: 0001"}},
      {kHex, ":020010002105C8", {"[0010]: 2105"}},
      {kHex, ":020010002105EF", {"[0010]: 2105"}},  // the checksum is not checked
      {kHex, ":020000040000FA", {"[0000]: 0000"}},  // nor the record type
      {kHex, "  :02efff00abcd00 ; último", {"[EFFF]: ABCD"}},
      {kHex, "", {}},
      {kHex, "; programa\r\n   \t\r\n;fin", {}},
      {kHex,
       "; uno\r\n\r\n:020001001111EF\r\n;\r\n:020002002222EF\r\n",
       {"[0001]: 1111", "[0002]: 2222"}},
      // Nothing after the end record is read, however it is written.
      {kHex, ":020001001111EF\r\n:00000001FF\r\nbasura\r\n:020002002222EF", {"[0001]: 1111"}},
      {kHex, ":020001001111EF\n:00000001ff\nbasura\n:020002002222EF", {"[0001]: 1111"}},
      {kHex, ":020001001111EF\r  :00000001FF \t; fin\rbasura\r:020002002222EF", {"[0001]: 1111"}},
      // A corrupt line is shown as prepared and empties the listing; reading
      // goes on and the words already written stay.
      {kEhc,
       "0001 1111\r\n12G4 5\r\n0002 2222\r\n",
       {"[0002]: 2222"},
       {corrupt(":0212G4000005EF")},
       {"[0001]: 1111"}},
      {kHex,
       ":020001001111EF\r\n:04002000210531077E\r\n:020002002222EF\r\n"
       ":02  0010\t00 2105 c8 ; dentro\r\n:020003003333EF\r\n:00000001FF\r\n",
       {"[0003]: 3333"},
       {corrupt(":04002000210531077E"), corrupt(":02 0010 00 2105 C8")},
       {"[0001]: 1111", "[0002]: 2222"}},
  };
  for (const auto& c : cases) {
    ReaderBench b;
    Lines words = c.listed;
    words.insert(words.end(), c.unlisted.begin(), c.unlisted.end());
    // Words that differ from every stored one, so each store shows.
    for (const auto& raw : words) b.machine.WriteMemoryWord(addressOf(raw), "1234");
    EXPECT_EQ(b.read(c.format, c.text).outcome, ReadOutcome::Completed) << c.text;
    EXPECT_EQ(b.ui.messages, c.messages) << c.text;
    EXPECT_EQ(b.listed(), c.listed) << c.text;
    for (const auto& raw : words) EXPECT_EQ(b.word(addressOf(raw)), raw.substr(8, 4)) << c.text;
  }
  // The end record stops even a device that would fail afterwards.
  EXPECT_EQ(ReaderBench().read(kHex, ":00000001FF\r\n", true).outcome, ReadOutcome::Completed);
  EXPECT_EQ(ReaderBench().read(kHex, ":020001001111EF\r\n", true).outcome, ReadOutcome::ReadError);
}

TEST(ObjectReaders, ALongCorruptLineIsQuotedByItsFirst200Characters) {
  const std::string exact(200, 'Z');
  struct Case {
    std::string line;
    std::string shown;
  } cases[] = {
      {exact, exact},
      {exact + "Y", exact + "\xE2\x80\xA6"},  // U+2026, the ellipsis
      {exact + std::string(5'000'000, 'Y'), exact + "\xE2\x80\xA6"},
  };
  for (const auto& c : cases) {
    ReaderBench b;
    b.read(kHex, c.line + "\r\n:020001001111EF");
    EXPECT_EQ(b.ui.messages, Lines{corrupt(c.shown)}) << c.line.size();
    EXPECT_EQ(b.listed(), Lines{"[0001]: 1111"});
  }
}

TEST(ObjectReaders, EhcFormatErrorNamesTheLineAndReadsNoFurther) {
  EXPECT_EQ(formatErrorMessage(12),
            "Error: Formato incorrecto en la línea 12. Cada línea debe contener Dirección y "
            "Contenido");
  std::string eleven;
  for (int i = 0; i < 11; ++i) eleven += "0 0\r\n";
  const Lines one{"[0001]: 1111"};
  struct Case {
    std::string text;
    int line;
    Lines listed;
  } cases[] = {
      {"", 1, {}},
      {"0001 1111\r\n\r\n0002 2222", 2, one},
      {"0001 1111\r\n \t \r\n0002 2222", 2, one},
      {"0001 1111\r\n  ; solo comentario\r\n0002 2222", 2, one},
      {"0001 1111\n0002\n0002 2222", 2, one},
      {"0001 1111\r\n0010 2105 0011\r\n0002 2222", 2, one},
      {"0001 1111\r\n00010 5\r\n0002 2222", 2, one},
      {"0001 1111\r\n5 00010\r\n0002 2222", 2, one},
      {"0001 1111\r\n0003 3333\r\n\r\n0002 2222", 3, {"[0001]: 1111", "[0003]: 3333"}},
      {eleven + "\r\n0002 2222", 12, Lines(11, "[0000]: 0000")},
  };
  for (const auto& c : cases) {
    ReaderBench b;
    EXPECT_EQ(b.read(kEhc, c.text).outcome, ReadOutcome::FormatError) << c.text;
    EXPECT_EQ(b.ui.messages, Lines{formatErrorMessage(c.line)}) << c.text;
    EXPECT_EQ(b.open_at_message, std::vector<bool>{false}) << c.text;  // let go first
    // Earlier lines stored and listed raw; the line after the error unread.
    EXPECT_EQ(b.listed(), c.listed) << c.text;
    EXPECT_EQ(b.word(2), "0000") << c.text;
  }
}

TEST(ObjectReaders, MonitorAreaRepeatsAndDescendingAddresses) {
  const std::pair<ObjectFormat, const char*> files[] = {
      {kEhc, "F000 1234\r\n0020 1\r\n0010 2\r\nFFFF 5\r\n0020 3"},
      {kHex,
       ":02F000001234EF\n:020020000001EF\n:020010000002EF\n:02FFFF000005EF\n:020020000003EF\n"}};
  for (const auto& [format, text] : files) {
    for (const bool sorted : {false, true}) {
      ReaderBench b;
      b.machine.setStepMode(StepMode::Timed);
      b.listing.setSorted(sorted);
      EXPECT_EQ(b.read(format, text).outcome, ReadOutcome::Completed) << text;
      // Each refused word keeps its listing line, added before the warning.
      EXPECT_EQ(b.ui.messages, Lines(2, std::string(kStoreRefusedMessage))) << text;
      EXPECT_EQ(b.listed_at_message, (std::vector<int>{1, 4})) << text;
      EXPECT_EQ(b.machine.stepMode(), StepMode::StepByStep) << text;
      const Lines in_file_order{"[F000]: 1234", "[0020]: 0001", "[0010]: 0002", "[FFFF]: 0005",
                                "[0020]: 0003"};
      const Lines in_sorted_order{"[0010]: 0002", "[0020]: 0001", "[0020]: 0003", "[F000]: 1234",
                                  "[FFFF]: 0005"};
      EXPECT_EQ(b.listed(), sorted ? in_sorted_order : in_file_order) << text;
      EXPECT_EQ(b.word(0x20), "0003") << text;  // the last line for an address wins
      EXPECT_EQ(b.word(0x10), "0002") << text;
    }
  }
}

}  // namespace
}  // namespace orben
