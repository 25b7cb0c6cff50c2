#include "loader/load_command.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "loader_support.h"

namespace orben {
namespace {

using testing::Lines;

// A machine, its load command and a fresh folder for object files.
class LoadCommandTest : public ::testing::Test, public testing::LoaderBench {
 protected:
  LoadCommandTest() { std::filesystem::create_directories(folder_); }
  ~LoadCommandTest() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::string pathOf(const std::string& name) const { return (folder_ / name).string(); }
  std::string write(const std::string& name, std::string_view bytes) const {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
    return pathOf(name);
  }

  LoadCommand load{machine, listing};

 private:
  const std::filesystem::path folder_ =
      std::filesystem::path(::testing::TempDir()) / ("orben-loader-" + std::to_string(::getpid()));
};

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
  // Cells, flags and controls all set away from their power-on values.
  for (int i = 0; i < kCellCount; ++i) machine.setCell(CellId(i), ValueToWordText(0x100 + i));
  for (int f = 0; f < kFlagCount; ++f) machine.setFlag(Flag(f), true);
  machine.setPowerOn(true);
  machine.setStepMode(StepMode::Timed);
  machine.setPanelState(PanelState::Paused);
  machine.setStepInterval(7000);
  machine.setInitMemoryAtPowerOn(false);
  machine.setDisassemblerMode(true);
  machine.setMemoryGridCursor(12);
  auto state = [this] {
    std::vector<std::string> all;
    for (int i = 0; i < kCellCount; ++i) all.push_back(machine.cell(CellId(i)).str());
    for (int f = 0; f < kFlagCount; ++f) all.push_back(machine.flag(Flag(f)) ? "1" : "0");
    for (int c : {machine.powerOn() ? 1 : 0, static_cast<int>(machine.stepMode()),
                  static_cast<int>(machine.panelState()), machine.stepInterval(),
                  machine.initMemoryAtPowerOn() ? 1 : 0, machine.disassemblerMode() ? 1 : 0,
                  machine.memoryGridCursor()}) {
      all.push_back(std::to_string(c));
    }
    return all;
  };
  const auto before = state();
  ui.file_answers.push_back(write("uno.EHC", "10 2105\r\n11 F000\r\n"));
  ui.file_answers.push_back(write("dos.hex", "; solo\r\n:020011002105EF\r\n:00000001FF"));
  EXPECT_EQ(load.chooseAndLoad(), LoadOutcome::Loaded);
  EXPECT_EQ(listed(), (Lines{"[0010]: LLI R1, H'05", "[0011]: HALT"}));
  EXPECT_EQ(load.chooseAndLoad(), LoadOutcome::Loaded);
  EXPECT_EQ(listed(), Lines{"[0011]: LLI R1, H'05"});
  EXPECT_EQ(word(0x10), "2105");
  EXPECT_EQ(word(0x11), "2105");
  EXPECT_EQ(state(), before);
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

}  // namespace
}  // namespace orben
