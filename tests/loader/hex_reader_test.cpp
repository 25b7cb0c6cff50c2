#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loader/line_reader.h"
#include "loader/object_readers.h"
#include "loader_support.h"

namespace orben {
namespace {

using Lines = std::vector<std::string>;

class HexReader : public ::testing::Test, public testing::LoaderBench {
 protected:
  ReadOutcome read(std::string text, bool fail_at_end = false) {
    testing::ProbeSource source{std::move(text), fail_at_end};
    LineReader lines(source);
    const ReadOutcome outcome = ReadHexFile(machine, lines).outcome;
    EXPECT_TRUE(source.closed);
    return outcome;
  }
};

TEST_F(HexReader, OneWordRecordsAreStoredWhateverTheirCountTypeAndChecksum) {
  struct Case {
    const char* record;
    long long address;
    const char* word;
  } cases[] = {{":020010002105C8", 0x10, "2105"},
               {":020010002105EF", 0x10, "2105"},  // the checksum is not checked
               {":020000040000FA", 0x0, "0000"},   // an extended address record is a word too
               {"  :02efff00abcd00 ; último", 0xEFFF, "ABCD"}};
  for (const auto& c : cases) {
    LoaderBench fresh;
    fresh.machine.WriteMemoryWord(c.address, "1111");
    testing::ProbeSource source{c.record};
    LineReader lines(source);
    EXPECT_EQ(ReadHexFile(fresh.machine, lines).outcome, ReadOutcome::Completed);
    EXPECT_EQ(fresh.word(c.address), c.word) << c.record;
    EXPECT_EQ(fresh.listed(), Lines{"[" + ValueToWordText(c.address).str() + "]: " + c.word});
    EXPECT_TRUE(fresh.ui.messages.empty()) << c.record;
  }
}

TEST_F(HexReader, BlankAndCommentLinesAreSkippedQuietly) {
  for (const char* text : {"", "\r\n\r\n", "; programa\r\n   \t\r\n;fin"}) {
    EXPECT_EQ(read(text), ReadOutcome::Completed);
    EXPECT_TRUE(listed().empty()) << text;
    EXPECT_TRUE(ui.messages.empty()) << text;
  }
  EXPECT_EQ(read("; uno\r\n\r\n:020001001111EF\r\n;\r\n:020002002222EF\r\n"),
            ReadOutcome::Completed);
  EXPECT_EQ(listed(), (Lines{"[0001]: 1111", "[0002]: 2222"}));
}

TEST_F(HexReader, CorruptLinesAreShownPreparedAndReadingGoesOn) {
  read(
      ":020001001111EF\r\n:04002000210531077E\r\n:020002002222EF\r\n"
      ":02  0010\t00 2105 c8 ; dentro\r\n:020003003333EF\r\n:00000001FF\r\n");
  EXPECT_EQ(ui.messages,
            (Lines{"ERROR: Archivo HEX corrupto\rMire la línea: (:04002000210531077E)",
                   "ERROR: Archivo HEX corrupto\rMire la línea: (:02 0010 00 2105 C8)"}));
  // Only the records after the last corrupt line stay listed; every word stays.
  EXPECT_EQ(listed(), Lines{"[0003]: 3333"});
  EXPECT_EQ(word(1), "1111");
  EXPECT_EQ(word(2), "2222");
  EXPECT_EQ(word(3), "3333");
  EXPECT_EQ(word(0x20), "0000");
}

TEST_F(HexReader, EndRecordStopsReading) {
  for (const char* end : {":00000001FF", ":00000001ff", "  :00000001FF \t; fin"}) {
    LoaderBench fresh;
    testing::ProbeSource source{std::string(":020001001111EF\r\n") + end +
                                "\r\nbasura\r\n:020002002222EF\r\n"};
    LineReader lines(source);
    EXPECT_EQ(ReadHexFile(fresh.machine, lines).outcome, ReadOutcome::Completed);
    EXPECT_TRUE(fresh.ui.messages.empty()) << end;
    EXPECT_EQ(fresh.listed(), Lines{"[0001]: 1111"}) << end;
    EXPECT_EQ(fresh.word(2), "0000") << end;
  }
  // Nothing after the end record is even read: a failing device there is
  // never touched.
  EXPECT_EQ(read(":00000001FF\r\n", true), ReadOutcome::Completed);
  EXPECT_EQ(read(":020001001111EF\r\n", true), ReadOutcome::ReadError);
}

TEST_F(HexReader, MonitorAddressesDescendingOrderAndRepeats) {
  machine.setControl(Control::StepMode, 0);
  read(":02F000001234EF\n:020020000001EF\n:020010000002EF\n:020020000003EF\n");
  EXPECT_EQ(ui.messages, Lines{std::string(kStoreRefusedMessage)});
  EXPECT_EQ(machine.StepMode(), 1);
  EXPECT_EQ(listed(), (Lines{"[F000]: 1234", "[0020]: 0001", "[0010]: 0002", "[0020]: 0003"}));
  EXPECT_EQ(word(0x20), "0003");
  EXPECT_EQ(word(0x10), "0002");
}

}  // namespace
}  // namespace orben
