// Files of any size or kind: pipes and devices refused before they are
// opened, endless lines answered in a moment, a long load stopped from its
// progress, and a storm of corrupt-line boxes cut short.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "loader/load_command.h"
#include "loader/object_readers.h"
#include "loader_support.h"

namespace orben {
namespace {

using testing::Lines;
using testing::LoadCommandTest;

std::string hex4(unsigned value) {
  char text[5];
  std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
  return text;
}

// A pipe, a device (through a link with an object file's name) and a
// folder are refused with the system-style report, before anything is
// opened: a pipe with no writer would block the open for ever. The listing
// stays empty and memory untouched.
TEST_F(LoadCommandTest, OnlyRegularFilesAreOpened) {
  ASSERT_EQ(::mkfifo(pathOf("tubo.EHC").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", pathOf("cero.HEX"));
  std::filesystem::create_symlink("/dev/null", pathOf("nada.EHC"));
  std::filesystem::create_directory(pathOf("carpeta.hex"));
  const auto before = memory();
  const std::pair<const char*, const char*> cases[] = {
      {"tubo.EHC", "Not a regular file"},
      {"cero.HEX", "Not a regular file"},
      {"nada.EHC", "Not a regular file"},
      {"carpeta.hex", "Is a directory"},
  };
  for (const auto& [name, reason] : cases) {
    ui.file_errors.clear();
    ui.file_answers.push_back(pathOf(name));
    EXPECT_EQ(load.chooseAndLoad(), LoadOutcome::FileError) << name;
    EXPECT_EQ(ui.file_errors, Lines{pathOf(name) + "|" + reason});
    EXPECT_TRUE(listed().empty());
  }
  EXPECT_EQ(memory(), before);
  EXPECT_TRUE(ui.messages.empty());
}

// A 100 GB file of zero bytes (sparse: no disk is used) is one endless
// line. As EHC it is a format error on line 1 as soon as its first word
// passes four characters; as HEX, whose corrupt lines are passed over,
// reading ends at the line limit with a read error, the line never held.
TEST_F(LoadCommandTest, AHugeFileOfOneLineEndsInAMoment) {
  for (const char* name : {"enorme.EHC", "enorme.HEX"}) {
    std::filesystem::resize_file(write(name, ""), std::uintmax_t{100} << 30);
  }
  ui.file_errors.clear();
  EXPECT_EQ(load.loadFile(pathOf("enorme.EHC")), LoadOutcome::FormatError);
  EXPECT_EQ(ui.messages, Lines{formatErrorMessage(1)});
  EXPECT_EQ(load.loadFile(pathOf("enorme.HEX")), LoadOutcome::FileError);
  EXPECT_EQ(ui.file_errors,
            Lines{pathOf("enorme.HEX") + "|" + std::string(LineReader::kLineTooLong)});
  EXPECT_EQ(ui.messages.size(), 1u);  // no corrupt-line box: the line never ended
  EXPECT_TRUE(listed().empty());
}

// A user who stops a long load from its progress at the third report:
// what the first two blocks held is stored and listed disassembled, the
// line cut by the block border is not, and no box is shown.
TEST_F(LoadCommandTest, StoppingALoadKeepsAndListsWhatWasRead) {
  struct StoppingUi : testing::WatchingUi {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;
    bool ended = false;
    bool showLoadProgress(std::uint64_t done, std::uint64_t total) override {
      reports.emplace_back(done, total);
      return reports.size() < 3;
    }
    void endLoadProgress() override { ended = true; }
  } stopping;
  Machine quiet{stopping, random};
  LoadCommand stopped{quiet, listing};
  // Line i stores 21cc at i modulo F000, cc counting the rounds.
  const auto address = [](unsigned i) { return i % 0xF000; };
  const auto content = [](unsigned i) { return 0x2100 + i / 0xF000; };
  std::string text;
  for (unsigned i = 0; text.size() < 3 * LineReader::kBlockSize; ++i) {
    text.append(hex4(address(i))).append(" ").append(hex4(content(i))).append("\r\n");
  }
  EXPECT_EQ(stopped.loadFile(write("largo.EHC", text)), LoadOutcome::Stopped);
  const std::uint64_t block = LineReader::kBlockSize;
  EXPECT_EQ(stopping.reports,
            (std::vector<std::pair<std::uint64_t, std::uint64_t>>{
                {0, text.size()}, {block, text.size()}, {2 * block, text.size()}}));
  EXPECT_TRUE(stopping.ended);
  const auto whole_lines = static_cast<unsigned>(2 * block / 11);  // 11 bytes a line
  ASSERT_EQ(listing.count(), static_cast<int>(whole_lines));
  const unsigned last = whole_lines - 1;
  EXPECT_EQ(listing.line(0), "[0000]: LLI R1, H'00");
  EXPECT_EQ(listing.line(static_cast<int>(last)),
            std::string("[")
                .append(hex4(address(last)))
                .append("]: LLI R1, H'0")
                .append(std::to_string(content(last) - 0x2100)));
  EXPECT_EQ(quiet.ReadMemoryWord(address(last)).str(), hex4(content(last)));
  // The next line's word was not stored: its address keeps the round before.
  EXPECT_EQ(quiet.ReadMemoryWord(address(last + 1)).str(), hex4(content(last + 1) - 1));
  EXPECT_TRUE(stopping.messages.empty());
}

// 10,000 corrupt lines between records: closing every box and skipping
// the rest at the eleventh leave the same memory and listing; the first ten
// boxes are plain, the eleventh offers the skip, and none follows it.
TEST_F(LoadCommandTest, SkippingTheRestOfManyBoxesChangesNothingElse) {
  struct SkippingUi : testing::WatchingUi {
    bool skip = false;
    int skippable = 0;
    bool showMessageOrSkipRest(std::string_view text) override {
      ++skippable;
      showMessage(text);
      return skip;
    }
  };
  std::string text;
  for (unsigned i = 0; i < 10000; ++i) {
    text.append(":02").append(hex4(i)).append("00").append(hex4(~i)).append("EF\r\n");
    text.append("basura ").append(std::to_string(i)).append("\r\n");
  }
  text += ":020FFF00F000EF\r\n";
  const std::string file = write("tormenta.hex", text);
  std::vector<std::vector<std::uint8_t>> memories;
  std::vector<Lines> listings;
  for (const bool skip : {false, true}) {
    SkippingUi user;
    user.skip = skip;
    Machine machine_of{user, random};
    Listing listing_of;
    LoadCommand command{machine_of, listing_of};
    EXPECT_EQ(command.loadFile(file), LoadOutcome::Loaded);
    EXPECT_EQ(user.messages.size(), skip ? 11u : 10000u);
    EXPECT_EQ(user.skippable, skip ? 1 : 10000 - CorruptLineNotices::kPlainBoxes);
    EXPECT_EQ(user.messages[10], "ERROR: Archivo HEX corrupto\rMire la línea: (BASURA 10)");
    memories.emplace_back(machine_of.memory().data(),
                          machine_of.memory().data() + machine_of.memory().size());
    Lines lines;
    for (int i = 0; i < listing_of.count(); ++i) lines.push_back(listing_of.line(i));
    listings.push_back(lines);
  }
  EXPECT_EQ(memories[0], memories[1]);
  EXPECT_EQ(listings[0], listings[1]);
  EXPECT_EQ(listings[1], Lines{"[0FFF]: HALT"});
}

}  // namespace
}  // namespace orben
