#include "loader/line_reader.h"
#include "loader/line_scanner.h"
#include "loader/load_command.h"
#include "loader/object_readers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include <unistd.h>

#include "loader_support.h"
#include "support/tuka2_fixture.h"

namespace orben {
namespace {

using testing::Lines;

using testing::ProbeSource;

// Every line a reader gives, as the readers take them: one read always,
// then more while the end has not come; a read error shows as a last line.
Lines allLines(std::string_view data, bool fail, std::size_t block, std::size_t chunk) {
  ProbeSource source(data, fail, chunk);
  LineReader reader(source, block);
  Lines lines;
  PreparedLine line;
  do {
    lines.push_back(reader.readLine(line) ? line.text : "(cut short)");
  } while (!reader.atEnd());
  if (reader.failed()) lines.push_back("(" + reader.error() + ")");
  return lines;
}

// Endless bytes, as a disk image or /dev/zero gives them: `byte` over and
// over, counting what was taken.
class EndlessSource : public ByteSource {
 public:
  explicit EndlessSource(char byte) : byte_(byte) {}
  std::size_t read(char* buffer, std::size_t size) override {
    std::memset(buffer, byte_, size);
    taken += size;
    return size;
  }
  const std::string& error() const override { return error_; }
  std::uint64_t taken = 0;

 private:
  char byte_;
  std::string error_;
};

TEST(LineReader, EachKindOfLineEndEndsOneLine) {
  struct Case {
    std::string data;
    Lines lines;
    bool fail = false;
  } cases[] = {
      {"", {""}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},  // a final line end gives no extra line
      {"a\rb\r", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"a\n\rb", {"a", "", "b"}},  // a line feed then a carriage return: two ends
      {"a\r\r\nb", {"a", "", "b"}},
      {"\r\n\r\n", {"", ""}},
      {"a\x1A"
       "b\r\nc",
       {"a"}},  // nothing after 1AH is read
      {"a\r\n\x1A\r\nb", {"a"}},
      {"a\r\x1A\n", {"a"}},
      {"\x1A", {""}},
      {std::string("\x00\xFF\x80 \t\x1B", 6) + "\r\n", {std::string("\x00\xFF\x80 \t\x1B", 6)}},
      {" x;y\rZ ; \r", {" x;y", "Z ; "}},
      // A read error cuts short only a line still without its end.
      {"uno\r\ndo", {"uno", "(cut short)", "(fallo de lectura)"}, true},
      {"uno\r", {"uno", "(fallo de lectura)"}, true},
      {"uno\r\n", {"uno", "(fallo de lectura)"}, true},
  };
  for (const auto& c : cases) {
    // The lines come prepared, as PrepareLine makes them of the raw lines.
    Lines prepared;
    for (const std::string& line : c.lines)
      prepared.push_back(line.front() == '(' ? line : PrepareLine(line));
    // Small blocks and short reads put every line end across a block border.
    for (std::size_t block :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, LineReader::kBlockSize}) {
      for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, SIZE_MAX}) {
        EXPECT_EQ(allLines(c.data, c.fail, block, chunk), prepared)
            << "data [" << c.data << "] block " << block << " chunk " << chunk;
      }
    }
  }
}

// A line streamed in pieces is prepared as PrepareLine prepares it whole:
// its kept beginning, its length and its words, for lines built from every
// kind of character that matters, cut into blocks of every small size.
TEST(LineReader, StreamedLinesArePreparedAsWholeOnes) {
  const std::string_view alphabet(
      "aZ09 \t;:\x01\xE1"
      "f");
  std::uint32_t seed = 7;
  const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
  for (int round = 0; round < 400; ++round) {
    std::string raw;
    const std::size_t length = next() % (round < 300 ? 24 : 700);
    for (std::size_t i = 0; i < length; ++i) raw += alphabet[next() % alphabet.size()];
    const std::string whole = PrepareLine(raw);
    for (std::size_t block : {std::size_t{1}, std::size_t{5}, LineReader::kBlockSize}) {
      MemorySource source(raw);
      LineReader reader(source, block);
      PreparedLine line;
      ASSERT_TRUE(reader.readLine(line));
      EXPECT_EQ(line.text, whole.substr(0, PreparedLine::kKept)) << raw;
      EXPECT_EQ(line.length, whole.size()) << raw;
      EXPECT_EQ(line.words, CountWords(whole)) << raw;
      EXPECT_EQ(line.complete(), whole.size() <= PreparedLine::kKept) << raw;
    }
  }
}

// Endless bytes hold no more than a block: an endless word stops as soon
// as the line is known to be too long for its reader; endless blanks end
// reading at the line limit with a read error, never by growing memory.
TEST(LineReader, EndlessLinesStopEarlyOrAtTheLineLimit) {
  {
    EndlessSource zeros('\0');
    LineReader reader(zeros, 4096);
    PreparedLine line;
    ASSERT_TRUE(reader.readLine(line, 9));
    EXPECT_FALSE(line.whole);
    EXPECT_EQ(line.words, 1u);
    EXPECT_LE(zeros.taken, 4096u);
  }
  for (const char byte : {' ', 'x'}) {
    EndlessSource endless(byte);
    LineReader reader(endless);
    PreparedLine line;
    EXPECT_FALSE(reader.readLine(line));
    EXPECT_EQ(reader.error(), LineReader::kLineTooLong);
    EXPECT_TRUE(reader.atEnd());
    EXPECT_LE(line.text.capacity(), 2 * PreparedLine::kKept);
    EXPECT_LE(endless.taken, LineReader::kLineLimit + LineReader::kBlockSize);
  }
}

TEST(LineReader, CloseLetsGoAndReadsNoMore) {
  ProbeSource source("a\r\nb\r\n", false, 3);
  LineReader reader(source, 3);
  PreparedLine line;
  ASSERT_TRUE(reader.readLine(line));
  reader.close();
  EXPECT_TRUE(source.closed);
  EXPECT_TRUE(reader.atEnd());
}

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
  const std::pair<std::string, std::string> cases[] = {
      {"   ", ""}, {"\tff2\ta\t", "FF2 A"}, {"a;b;c", "A"}, {"x\ry \xE9z\n\n", "X\rY \xE9Z"}};
  for (const auto& [line, prepared] : cases) EXPECT_EQ(PrepareLine(line), prepared) << line;
}

// A machine, its load command and a fresh folder for object files.
using testing::LoadCommandTest;

TEST_F(LoadCommandTest, OnlyTheLastFourCharactersOfTheNameChooseTheReader) {
  for (const char* name : {"PROG.ehc", "/a.hex/PROG.EHC"})
    EXPECT_EQ(objectFormatOfName(name), ObjectFormat::Ehc) << name;
  for (const char* name : {"PROG.Hex", ".HEX"})
    EXPECT_EQ(objectFormatOfName(name), ObjectFormat::Hex) << name;
  for (const char* name : {"PROG.EHCX", "PROG.EHC.TXT", "PROG.EH", "HEX", ""})
    EXPECT_EQ(objectFormatOfName(name), std::nullopt) << name;

  // A refused name is not even opened.
  const auto before = memory();
  EXPECT_EQ(load.loadFile(write("PROG.EHC.TXT", "10 2105\r\n")), LoadOutcome::BadExtension);
  EXPECT_EQ(ui.messages, Lines{"ERROR: Los archivos objeto deben tener extensión \r.HEX o .EHC"});
  EXPECT_EQ(memory(), before);
  EXPECT_TRUE(ui.file_errors.empty());
}

TEST_F(LoadCommandTest, MenuCommandEmptiesTheListingBeforeAskingEvenWhenNothingLoads) {
  std::filesystem::create_directory(pathOf("carpeta.EHC"));
  struct Case {
    const char* name;  // none: the dialog is cancelled
    int error;
  } cases[] = {{nullptr, 0}, {"falta.EHC", ENOENT}, {"carpeta.EHC", EISDIR}};
  const auto before = memory();
  for (const auto& c : cases) {
    listing.add("[0001]: HALT");
    ui.file_errors.clear();
    ui.file_answers.push_back(c.name ? std::optional(pathOf(c.name)) : std::nullopt);
    EXPECT_EQ(load.chooseAndLoad(), c.name ? LoadOutcome::FileError : LoadOutcome::Cancelled);
    // Reported with the system's reason.
    EXPECT_EQ(ui.file_errors,
              c.name ? Lines{pathOf(c.name) + "|" + std::strerror(c.error)} : Lines{});
    EXPECT_TRUE(listed().empty());
    EXPECT_EQ(memory(), before);
  }
  EXPECT_TRUE(ui.messages.empty());
  for (const auto& request : ui.file_requests) {
    EXPECT_EQ(request.default_extension, "EHC");
    EXPECT_EQ(request.filter,
              "Easy Hexadecimal Code (*.EHC)|*.EHC|Intel Standard HEX (*.hex)|*.HEX");
    EXPECT_EQ(request.title, "Cargar fichero objeto en ORBEN");
  }
  EXPECT_EQ(ui.lines_at_dialog, (std::vector<int>{0, 0, 0}));  // asked each time, emptied first
}

TEST_F(LoadCommandTest, EachLoadListsOnlyItsOwnWordsAndLeavesTheRestAlone) {
  // Every cell, flag and control tells its observers of each change.
  testing::RecordingObserver seen;
  machine.addObserver(&seen);
  ui.file_answers.push_back(write("uno.EHC", "10 2105\r\n11 F000\r\n"));
  ui.file_answers.push_back(write("dos.hex", "; solo\r\n:020011002105EF\r\n:00000001FF"));
  EXPECT_EQ(load.chooseAndLoad(), LoadOutcome::Loaded);
  EXPECT_EQ(listed(), (Lines{"[0010]: LLI R1, H'05", "[0011]: HALT"}));
  EXPECT_EQ(load.chooseAndLoad(), LoadOutcome::Loaded);
  EXPECT_EQ(listed(), Lines{"[0011]: LLI R1, H'05"});
  EXPECT_EQ(word(0x10), "2105");
  EXPECT_EQ(word(0x11), "2105");
  EXPECT_TRUE(seen.cells.empty() && seen.flags.empty() && seen.controls.empty());
  machine.removeObserver(&seen);
}

TEST_F(LoadCommandTest, FormatOrReadErrorLeavesTheRawLinesOfWhatWasStored) {
  EXPECT_EQ(load.loadFile(write("p.EHC", "10 2105\r\n11 F000\r\n\r\n12 1")),
            LoadOutcome::FormatError);
  EXPECT_EQ(listed(), (Lines{"[0010]: 2105", "[0011]: F000"}));

  listing.clear();
  testing::ProbeSource source{"10 2105\r\n11 F000\r\n12 3", true};
  EXPECT_EQ(load.loadSource(ObjectFormat::Ehc, "medio.EHC", source), LoadOutcome::FileError);
  EXPECT_EQ(ui.file_errors, Lines{"medio.EHC|fallo de lectura"});
  EXPECT_EQ(listed(), (Lines{"[0010]: 2105", "[0011]: F000"}));
  EXPECT_EQ(word(0x12), "0000");
}

constexpr auto kEhc = ObjectFormat::Ehc;
constexpr auto kHex = ObjectFormat::Hex;

// Runs one reader over a text in blocks of 7 bytes, so lines cross block
// borders, and notes at every message box the listing's length and whether
// the file was still open.
struct ReaderBench : testing::LoaderBench {
  ReadResult read(ObjectFormat format, std::string_view text, bool fail_at_end = false) {
    testing::ProbeSource source(text, fail_at_end);
    LineReader lines(source, 7);
    ui.on_message = [&](const std::string&) {
      listed_at_message.push_back(listing.count());
      open_at_message.push_back(!source.closed);
    };
    CorruptLineNotices notices;
    const ReadResult result = format == kEhc ? ReadEhcFile(machine, listing, lines, notices)
                                             : ReadHexFile(machine, listing, lines, notices);
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
      {kHex,
       "; uno\r\n\r\n:020001001111EF\r\n;\r\n:020002002222EF\r\n",
       {"[0001]: 1111", "[0002]: 2222"}},
      // Nothing after the end record is read, however it is written.
      {kHex, ":020001001111EF\r\n:00000001FF\r\nbasura\r\n:020002002222EF", {"[0001]: 1111"}},
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
  // The line, and how it is quoted; U+2026 is the ellipsis.
  const std::pair<std::string, std::string> cases[] = {
      {exact, exact},
      {exact + "Y", exact + "\xE2\x80\xA6"},
      {exact + std::string(5'000'000, 'Y'), exact + "\xE2\x80\xA6"},
  };
  for (const auto& [line, shown] : cases) {
    ReaderBench b;
    b.read(kHex, line + "\r\n:020001001111EF");
    EXPECT_EQ(b.ui.messages, Lines{corrupt(shown)}) << line.size();
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
