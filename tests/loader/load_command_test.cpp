#include "loader/load_command.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "disasm/listing_commands.h"
#include "loader/object_readers.h"
#include "loader_support.h"
#include "panel/tuka2.h"

namespace orben {
namespace {

using Lines = std::vector<std::string>;

// A user who also notes how many listing lines there were when the file
// dialog opened.
class WatchingUi : public testing::ScriptedUi {
 public:
  const Listing* listing = nullptr;
  std::vector<int> lines_at_dialog;
  std::optional<std::string> askObjectFile(const FileRequest& request) override {
    lines_at_dialog.push_back(listing->count());
    return ScriptedUi::askObjectFile(request);
  }
};

class LoadCommandTest : public ::testing::Test {
 protected:
  LoadCommandTest() { ui.listing = &machine.listing(); }

  Lines listed() const {
    Lines lines;
    for (int i = 0; i < machine.listing().count(); ++i) lines.push_back(machine.listing().line(i));
    return lines;
  }
  std::vector<std::uint8_t> memory() const {
    const auto& m = machine.memory();
    return {m.data(), m.data() + m.size()};
  }

  WatchingUi ui;
  testing::ReplayRandom random;
  Machine machine{ui, random};
  LoadCommand load{machine};
  testing::TempFolder folder;
};

TEST_F(LoadCommandTest, OnlyTheLastFourCharactersOfTheNameChooseTheReader) {
  struct Case {
    const char* name;
    std::optional<ObjectFormat> format;
  } cases[] = {{"PROG.ehc", ObjectFormat::Ehc},
               {"PROG.Hex", ObjectFormat::Hex},
               {"/a.hex/PROG.EHC", ObjectFormat::Ehc},
               {".HEX", ObjectFormat::Hex},
               {"PROG.EHC.TXT", std::nullopt},
               {"PROG.EH", std::nullopt},
               {"HEX", std::nullopt},
               {"", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(objectFormatOfName(c.name), c.format) << c.name;

  // The same text read both ways: a word pair for EHC, a corrupt line for HEX.
  EXPECT_EQ(load.loadFile(folder.write("PROG.ehc", "10 2105\r\n")), LoadOutcome::Loaded);
  EXPECT_EQ(listed(), Lines{"[0010]: LLI R1, H'05"});
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(load.loadFile(folder.write("PROG.Hex", "10 2105\r\n")), LoadOutcome::Loaded);
  EXPECT_EQ(ui.messages, Lines{corruptRecordMessage("10 2105")});
}

TEST_F(LoadCommandTest, RefusedExtensionReadsNothing) {
  const auto before = memory();
  for (const char* name : {"PROG.EHC.TXT", "ab"}) {
    ui.messages.clear();
    EXPECT_EQ(load.loadFile(folder.write(name, "10 2105\r\n")), LoadOutcome::BadExtension);
    EXPECT_EQ(ui.messages, Lines{"ERROR: Los archivos objeto deben tener extensión \r.HEX o .EHC"});
  }
  EXPECT_EQ(memory(), before);
  EXPECT_TRUE(ui.file_errors.empty());
}

TEST_F(LoadCommandTest, MenuCommandEmptiesTheListingBeforeAskingAndCancelEnds) {
  machine.listing().add("[0001]: HALT");
  ui.file_answers.push_back(std::nullopt);
  EXPECT_EQ(load.Cargarprogramaobjeto1Click(), LoadOutcome::Cancelled);
  EXPECT_EQ(ui.lines_at_dialog, std::vector<int>{0});
  ASSERT_EQ(ui.file_requests.size(), 1u);
  EXPECT_EQ(ui.file_requests[0].default_extension, "EHC");
  EXPECT_EQ(ui.file_requests[0].filter,
            "Easy Hexadecimal Code (*.EHC)|*.EHC|Intel Standard HEX (*.hex)|*.HEX");
  EXPECT_EQ(ui.file_requests[0].title, "Cargar fichero objeto en ORBEN");
  EXPECT_TRUE(listed().empty());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LoadCommandTest, SecondLoadKeepsUntouchedWordsButListsOnlyItsOwn) {
  ui.file_answers.push_back(folder.write("uno.EHC", "10 2105\r\n11 F000\r\n"));
  ui.file_answers.push_back(folder.write("dos.hex", "; solo\r\n:020011002105EF\r\n:00000001FF"));
  EXPECT_EQ(load.Cargarprogramaobjeto1Click(), LoadOutcome::Loaded);
  EXPECT_EQ(listed(), (Lines{"[0010]: LLI R1, H'05", "[0011]: HALT"}));
  EXPECT_EQ(load.Cargarprogramaobjeto1Click(), LoadOutcome::Loaded);
  EXPECT_EQ(listed(), Lines{"[0011]: LLI R1, H'05"});
  EXPECT_EQ(machine.ReadMemoryWord(0x10).str(), "2105");
  EXPECT_EQ(machine.ReadMemoryWord(0x11).str(), "2105");
}

TEST_F(LoadCommandTest, FormatErrorLeavesRawLinesAndEmptyHexLeavesNothing) {
  EXPECT_EQ(load.loadFile(folder.write("p.EHC", "10 2105\r\n11 F000\r\n\r\n12 1")),
            LoadOutcome::FormatError);
  EXPECT_EQ(listed(), (Lines{"[0010]: 2105", "[0011]: F000"}));
  EXPECT_EQ(ui.messages, Lines{formatErrorMessage(3)});

  ClearListing(machine.listing());
  const auto before = memory();
  EXPECT_EQ(load.loadFile(folder.write("p.HEX", "; nada\r\n:00000001FF\r\n")), LoadOutcome::Loaded);
  EXPECT_TRUE(listed().empty());
  EXPECT_EQ(memory(), before);
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(LoadCommandTest, FileThatCannotBeOpenedOrReadIsReportedWithTheSystemReason) {
  std::filesystem::create_directory(folder.pathOf("carpeta.EHC"));
  struct Case {
    std::string path;
    int error;
  } cases[] = {{folder.pathOf("falta.EHC"), ENOENT}, {folder.pathOf("carpeta.EHC"), EISDIR}};
  const auto before = memory();
  for (const auto& c : cases) {
    ui.file_errors.clear();
    ui.file_answers.push_back(c.path);
    EXPECT_EQ(load.Cargarprogramaobjeto1Click(), LoadOutcome::FileError) << c.path;
    EXPECT_EQ(ui.file_errors, Lines{c.path + "|" + std::strerror(c.error)});
    EXPECT_TRUE(listed().empty());
    EXPECT_EQ(memory(), before);
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LoadCommandTest, UnreadableFileIsReported) {
  const std::string path = folder.write("cerrado.EHC", "10 2105\r\n");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  if (std::ifstream(path).good()) GTEST_SKIP() << "this user reads files without permission";
  EXPECT_EQ(load.loadFile(path), LoadOutcome::FileError);
  EXPECT_EQ(ui.file_errors, Lines{path + "|" + std::strerror(EACCES)});
}

TEST_F(LoadCommandTest, ReadErrorInTheMiddleKeepsWhatWasStoredUndisassembled) {
  testing::ProbeSource source{"10 2105\r\n11 F000\r\n12 3", true};
  EXPECT_EQ(load.loadSource(ObjectFormat::Ehc, "medio.EHC", source), LoadOutcome::FileError);
  EXPECT_EQ(ui.file_errors, Lines{"medio.EHC|fallo de lectura"});
  EXPECT_EQ(listed(), (Lines{"[0010]: 2105", "[0011]: F000"}));
  EXPECT_EQ(machine.ReadMemoryWord(0x12).str(), "0000");
}

TEST_F(LoadCommandTest, LoadLeavesCellsFlagsAndControlsAlone) {
  Tuka2 tuka2(ui, random);
  tuka2.power.TogglePower();
  Machine& m = tuka2.machine;
  m.setControl(Control::StepMode, 0);
  m.setFlag(Flag::C, true);
  auto snapshot = [&m] {
    std::vector<std::string> state;
    for (int i = 0; i < kCellCount; ++i) state.push_back(m.cell(static_cast<CellId>(i)).str());
    for (int f = 0; f < kFlagCount; ++f) state.push_back(m.flag(Flag(f)) ? "1" : "0");
    for (int c = 0; c < kControlCount; ++c) state.push_back(std::to_string(m.control(Control(c))));
    return state;
  };
  const auto before = snapshot();
  EXPECT_EQ(tuka2.load.loadFile(folder.write("p.hex", ":020010002105C8\r\n")), LoadOutcome::Loaded);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(m.ReadMemoryWord(0x10).str(), "2105");
}

}  // namespace
}  // namespace orben
