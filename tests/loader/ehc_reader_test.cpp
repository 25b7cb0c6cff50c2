#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loader/line_reader.h"
#include "loader/object_readers.h"
#include "loader_support.h"

namespace orben {
namespace {

using Lines = std::vector<std::string>;

class EhcReader : public ::testing::Test, public testing::LoaderBench {
 protected:
  ReadResult read(std::string_view text) {
    testing::ProbeSource source{std::string(text)};
    LineReader lines(source, 0, 7);  // small blocks: lines cross block borders
    const ReadResult result = ReadEhcFile(machine, lines);
    EXPECT_TRUE(source.closed);
    return result;
  }
};

TEST_F(EhcReader, FormatErrorNamesTheLineAndStopsReading) {
  struct Case {
    std::string text;
    int line;
  } cases[] = {
      {"", 1},
      {"0001 1111\r\n\r\n0002 2222", 2},
      {"0001 1111\r\n \t \r\n0002 2222", 2},
      {"0001 1111\r\n  ; solo comentario\r\n0002 2222", 2},
      {"0001 1111\n0002\n0003 3333", 2},
      {"0001 1111\r\n0010 2105 0011\r\n0002 2222", 2},
      {"0001 1111\r\n00010 5\r\n0002 2222", 2},
      {"0001 1111\r\n5 00010\r\n0002 2222", 2},
      {"0001 1111\r\n0003 3333\r\n\r\n0002 2222", 3},
  };
  for (const auto& c : cases) {
    LoaderBench fresh;
    testing::ProbeSource source{c.text};
    LineReader lines(source);
    EXPECT_EQ(ReadEhcFile(fresh.machine, lines).outcome, ReadOutcome::FormatError) << c.text;
    EXPECT_EQ(fresh.ui.messages, Lines{formatErrorMessage(c.line)}) << c.text;
    // Earlier lines stored and listed raw; the line after the error unread.
    const Lines expected_lines = c.line == 1   ? Lines{}
                                 : c.line == 2 ? Lines{"[0001]: 1111"}
                                               : Lines{"[0001]: 1111", "[0003]: 3333"};
    EXPECT_EQ(fresh.listed(), expected_lines) << c.text;
    EXPECT_EQ(fresh.word(2), "0000") << c.text;
  }
}

TEST_F(EhcReader, FormatErrorMessageCountsInDecimal) {
  std::string text;
  for (int i = 0; i < 11; ++i) text += "0 0\r\n";
  EXPECT_EQ(read(text + "\r\n").outcome, ReadOutcome::FormatError);
  EXPECT_EQ(ui.messages, Lines{"Error: Formato incorrecto en la línea 12. Cada línea debe contener "
                               "Dirección y Contenido"});
}

TEST_F(EhcReader, WordsAreHexOfOneToFourDigitsWithBlanksAndComments) {
  machine.WriteMemoryWord(0, "FFFF");
  const auto result = read("0 0\r\n10   2105 ; carga R1\r\n\t2a0\t\t5 \t;x\r\nff2 a\r\nEFFF 1");
  EXPECT_EQ(result.outcome, ReadOutcome::Completed);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(listed(), (Lines{"[0000]: 0000", "[0010]: 2105", "[02A0]: 0005", "[0FF2]: 000A",
                             "[EFFF]: 0001"}));
  EXPECT_EQ(word(0x0000), "0000");
  EXPECT_EQ(word(0x0010), "2105");
  EXPECT_EQ(word(0x02A0), "0005");
  EXPECT_EQ(word(0x0FF2), "000A");
  EXPECT_EQ(word(0xEFFF), "0001");
}

TEST_F(EhcReader, CorruptWordIsReportedAndEmptiesTheListingButReadingGoesOn) {
  const auto result = read("0001 1111\r\n12G4 5\r\n0002 2222\r\n");
  EXPECT_EQ(result.outcome, ReadOutcome::Completed);
  EXPECT_EQ(ui.messages, Lines{"ERROR: Archivo HEX corrupto\rMire la línea: (:0212G4000005EF)"});
  EXPECT_EQ(listed(), Lines{"[0002]: 2222"});
  EXPECT_EQ(word(1), "1111");  // written before the corrupt line: stays
  EXPECT_EQ(word(2), "2222");
}

TEST_F(EhcReader, MonitorAddressesAreRefusedButKeepTheirListingLines) {
  machine.setControl(Control::StepMode, 0);
  // The listing line comes first, so it is there when the warning shows.
  std::vector<int> lines_at_warning;
  ui.on_message = [&](const std::string&) {
    lines_at_warning.push_back(machine.listing().count());
  };
  const auto result = read("F000 1234\r\nFFFF 1\r\n0001 5555");
  EXPECT_EQ(lines_at_warning, (std::vector<int>{1, 2}));
  EXPECT_EQ(result.outcome, ReadOutcome::Completed);
  EXPECT_EQ(listed(), (Lines{"[F000]: 1234", "[FFFF]: 0001", "[0001]: 5555"}));
  EXPECT_EQ(ui.messages, (Lines(2, std::string(kStoreRefusedMessage))));
  EXPECT_EQ(machine.StepMode(), 1);
  EXPECT_EQ(word(1), "5555");
}

TEST_F(EhcReader, RepeatedAndDescendingAddressesKeepFileOrderUnlessSorted) {
  read("0020 1\r\n0010 2\r\n0020 3");
  EXPECT_EQ(listed(), (Lines{"[0020]: 0001", "[0010]: 0002", "[0020]: 0003"}));
  EXPECT_EQ(word(0x20), "0003");  // the last line for an address wins

  machine.listing().clear();
  machine.listing().setSorted(true);
  read("0020 1\r\n0010 2\r\n0005 3");
  EXPECT_EQ(listed(), (Lines{"[0005]: 0003", "[0010]: 0002", "[0020]: 0001"}));
}

TEST_F(EhcReader, FileEndsAtItsLastByteOrAtTheFirst1AH) {
  struct Case {
    std::string text;
    Lines lines;
  } cases[] = {
      {"1 1\n2 2\n", {"[0001]: 0001", "[0002]: 0002"}},  // line feeds only
      {"1 1\r2 2\r\n3 3\n4 4", {"[0001]: 0001", "[0002]: 0002", "[0003]: 0003", "[0004]: 0004"}},
      {"1 1\r\n\x1A\r\n\r\n", {"[0001]: 0001"}},
      {"1 1\x1Agarbage\r\n", {"[0001]: 0001"}},
  };
  for (const auto& c : cases) {
    LoaderBench fresh;
    testing::ProbeSource source{c.text};
    LineReader lines(source);
    EXPECT_EQ(ReadEhcFile(fresh.machine, lines).outcome, ReadOutcome::Completed) << c.text;
    EXPECT_TRUE(fresh.ui.messages.empty()) << c.text;
    EXPECT_EQ(fresh.listed(), c.lines) << c.text;
  }
}

TEST_F(EhcReader, ReadErrorKeepsWhatWasStored) {
  testing::ProbeSource source{"0001 1111\r\n0002 2", true};
  LineReader lines(source);
  const auto result = ReadEhcFile(machine, lines);
  EXPECT_EQ(result.outcome, ReadOutcome::ReadError);
  EXPECT_EQ(result.error, "fallo de lectura");
  EXPECT_EQ(listed(), Lines{"[0001]: 1111"});
  EXPECT_EQ(word(2), "0000");  // the cut line is not stored
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace orben
