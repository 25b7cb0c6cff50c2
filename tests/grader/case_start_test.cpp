// A case's start on a machine that has been used: whatever it held, the
// prepared machine is the one a fresh machine of the cases file's fill or
// seed is once the program is loaded, the presets and inputs written and
// the start keyed; and what runs from there is what the grader reports.

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <vector>

#include "grader/case_start.h"
#include "grader/grading.h"
#include "session/session.h"
#include "support/scratch_folder.h"

namespace orben::grader {
namespace {

CaseFile Parse(const std::string& text) {
  const ParsedCases parsed = ParseCases(text, "casos.toml");
  EXPECT_TRUE(parsed.errors.empty()) << parsed.errors.front().message.str();
  return parsed.cases.value_or(CaseFile{});
}

// Reads a word it never loads (001D, RD at power-on being 000D) and puts it
// out: only the fill tells what comes out.
constexpr std::string_view kReadsTheFill =
    "        LD R1, [RD+H'10]\n"
    "        OUT H'01, R1\n"
    "        HALT\n";

// The case's start computed apart from PrepareCase: a machine of its own,
// switched on with the file's values, the program loaded once as a file,
// then presets, inputs and the start.
struct FreshStart {
  explicit FreshStart(const CaseFile& file, const Program& program, const Case& c)
      : session(file.powerOnValues()) {
    session.switchOn();
    session.loadObject(program.format, program.load_name, program.bytes);
    session.writePresets({c.memory, c.registers, c.inputs});
    session.keyStart(wordOf(c.start));
  }
  session::Session session;
};

std::vector<std::string> ListingOf(const Tuka2& tuka) {
  std::vector<std::string> lines;
  for (int i = 0; i < tuka.listing.count(); ++i) lines.push_back(tuka.listing.line(i));
  return lines;
}

void ExpectSameMachine(const Tuka2& got, const Tuka2& want) {
  const Machine& g = got.machine;
  const Machine& w = want.machine;
  for (int cell = 0; cell < kCellCount; ++cell) {
    const auto id = static_cast<CellId>(cell);
    EXPECT_EQ(g.cell(id).str(), w.cell(id).str()) << "cell " << cell;
  }
  for (Flag flag : {Flag::Z, Flag::S, Flag::C, Flag::V}) {
    EXPECT_EQ(g.flag(flag), w.flag(flag)) << "flag " << static_cast<int>(flag);
  }
  ASSERT_EQ(g.memory().size(), w.memory().size());
  std::size_t differing = 0;
  for (std::size_t i = 0; i < g.memory().size(); ++i) {
    differing += g.memory().data()[i] != w.memory().data()[i] ? 1 : 0;
  }
  EXPECT_EQ(differing, 0u) << "bytes of memory differ";
  EXPECT_EQ(ListingOf(got), ListingOf(want));
  EXPECT_TRUE(g.powerOn());
  EXPECT_TRUE(g.stepByStep());
  EXPECT_TRUE(g.stepLamp());
}

// How the user's machine was left before the case is prepared.
enum class Used : std::uint8_t {
  Off,                    // never switched on
  OffWithoutMemoryReset,  // off, "Inicializar memoria al Encender" unchecked
  OnAndBusy,              // on, another program run, memory, flags and mode changed
};

struct StartRow {
  const char* what;
  const char* file_values;  // the cases file's fill or seed line
  Used used;
};

class CaseStart : public ::testing::TestWithParam<StartRow> {};

TEST_P(CaseStart, IsAFreshMachinesStartWhateverTheMachineHeld) {
  const StartRow& row = GetParam();
  const CaseFile file = Parse(std::string(row.file_values).append(R"toml(
[[case]]
name = "con todo"
start = "0001"
inputs = { "02" = "0015", "3F" = "0003" }
registers = { R5 = "0005", RD = "0030" }
memory = { "0040" = ["0001", "0002"] }
expect.outputs = { "01" = "0000" }
)toml"));
  ASSERT_EQ(file.cases.size(), 1u);
  const Program program = PrepareProgram("lee.asm", std::string(kReadsTheFill));
  ASSERT_EQ(program.trouble, Trouble::None);
  const Case& c = file.cases.front();

  // The user's machine draws from a seed of its own.
  session::Session desk({std::nullopt, std::uint64_t{424242}});
  Tuka2& tuka = desk.tuka();
  desk.startUp();
  if (row.used == Used::OffWithoutMemoryReset) tuka.power.toggleInitMemoryAtPowerOn();
  if (row.used == Used::OnAndBusy) {
    tuka.power.TogglePower();
    std::ostringstream ignored;
    ASSERT_EQ(desk.loadSource("LLI R7, H'99\nHALT\n", "otro.asm", ignored),
              session::ProgramLoad::Loaded);
    tuka.machine.WriteMemoryWord(0x001D, WordText("1234"));
    tuka.machine.WriteMemoryWord(0x0041, WordText("BEEF"));
    tuka.machine.WriteRegister(5, WordText("7777"));
    tuka.machine.setFlag(Flag::Z, true);
    tuka.machine.setFlag(Flag::C, true);
    tuka.run.toggleStepMode();
    ASSERT_FALSE(tuka.machine.stepByStep());
  }

  PrepareCase(tuka, program, c, file);
  const FreshStart fresh(file, program, c);
  ExpectSameMachine(tuka, fresh.session.tuka());
  // The case's own words, as its file gives them.
  EXPECT_EQ(tuka.machine.cell(kCellKeypad).str(), "0001");
  EXPECT_EQ(tuka.machine.cell(inputPortCell(0x3F)).str(), "0003");
  EXPECT_EQ(tuka.machine.ReadRegister(0xD).str(), "0030");
  EXPECT_EQ(tuka.machine.ReadMemoryWord(0x0041).str(), "0002");
}

INSTANTIATE_TEST_SUITE_P(
    FillsAndSeeds, CaseStart,
    ::testing::Values(StartRow{"the default fill, off", "", Used::Off},
                      StartRow{"a fill, off without reset", "fill = \"ABCD\"\n",
                               Used::OffWithoutMemoryReset},
                      StartRow{"a fill, on and busy", "fill = \"ABCD\"\n", Used::OnAndBusy},
                      StartRow{"a seed, off", "seed = 7\n", Used::Off},
                      StartRow{"a seed, on and busy", "seed = 7\n", Used::OnAndBusy}),
    [](const ::testing::TestParamInfo<StartRow>& row_info) {
      std::string name;
      for (const char* p = row_info.param.what; *p != '\0'; ++p) {
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
      }
      return name;
    });

// The program puts out whatever word 001D holds: on the user's machine it
// held 1234, and only a start that wipes memory with the file's fill
// gives the 0037 the case expects. Stepped from the start as the user
// steps it (Ejecutar, then Continuar to HALT), the prepared machine ends
// where the grader's run ended.
TEST(CaseStartRun, StepsToWhatTheGraderReports) {
  const CaseFile file = Parse(R"toml(
fill = "0037"
[[case]]
name = "sale el relleno"
expect.outputs = { "01" = "0037" }
[[case]]
name = "se espera otra cosa"
expect.outputs = { "01" = "0036" }
)toml");
  const Program program = PrepareProgram("lee.asm", std::string(kReadsTheFill));
  const ProgramResult graded = GradeProgram(program, "lee.asm", file);
  ASSERT_EQ(graded.cases.size(), 2u);
  EXPECT_TRUE(graded.cases[0].passed);
  EXPECT_FALSE(graded.cases[1].passed);
  ASSERT_EQ(graded.cases[1].differences.size(), 1u);
  EXPECT_EQ(graded.cases[1].differences[0].str(), "output port 01: expected 0036, got 0037");

  for (std::size_t i = 0; i < file.cases.size(); ++i) {
    SCOPED_TRACE(file.cases[i].name);
    session::Session desk({std::nullopt, std::uint64_t{99}});
    desk.switchOn();
    desk.machine().WriteMemoryWord(0x001D, WordText("1234"));
    PrepareCase(desk.tuka(), program, file.cases[i], file);
    EXPECT_EQ(desk.machine().ReadMemoryWord(0x001D).str(), "0037");
    Outcome outcome = desk.tuka().run.executeFromKeypad();
    std::uint64_t steps = 1;
    while (outcome == Outcome::Executed && steps < 10) {
      desk.tuka().run.continueExecution();
      outcome = desk.tuka().run.lastOutcome();
      ++steps;
    }
    EXPECT_EQ(outcome, Outcome::Halted);
    EXPECT_EQ(steps, graded.cases[i].steps);
    EXPECT_EQ(desk.machine().cell(outputPortCell(1)).str(), "0037");
  }
}

// A source graded from the editor's text and the same source graded from
// its file: the same result, case by case.
TEST(ProgramInMemory, GradesAsItsFile) {
  const ScratchFolder folder("orben-case-start");
  const std::string path = folder.write("lee.asm", std::string(kReadsTheFill));
  const CaseFile file = Parse(
      "fill = \"0037\"\n[[case]]\nname = \"a\"\nexpect.outputs = { "
      "\"01\" = \"0036\" }\n");
  const ProgramResult from_file = GradeProgram(path, file);
  const ProgramResult from_text =
      GradeProgram(PrepareProgram(path, std::string(kReadsTheFill)), path, file);
  EXPECT_EQ(from_text.program, from_file.program);
  EXPECT_EQ(from_text.words, from_file.words);
  ASSERT_EQ(from_text.cases.size(), from_file.cases.size());
  EXPECT_EQ(from_text.cases[0].differences, from_file.cases[0].differences);
  EXPECT_EQ(from_text.cases[0].steps, from_file.cases[0].steps);
  EXPECT_FALSE(from_text.words.empty());
}

}  // namespace
}  // namespace orben::grader
