#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "grader/feedback.h"
#include "grader/grading_folder.h"
#include "runner/test_command.h"

namespace orben::grader {
namespace {

namespace fs = std::filesystem;
using runner::testCommandLine;

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

constexpr const char* kEcho = "IN R1, H'02\nOUT H'01, R1\nHALT\n";

// What the teacher sees of a hidden case, the student does not: its
// inputs, its presets and its differences; only its name, verdict and
// points.
TEST_F(GradingTest, AHiddenCaseIsOnlyNamedInTheFeedback) {
  const std::string cases = write("casos.toml", R"toml(
[[case]]
name = "a la vista"
inputs = { "02" = "0015" }
expect.outputs = { "01" = "002A" }
[[case]]
name = "secreto"
hidden = true
inputs = { "02" = "0BAD" }
registers = { R7 = "0CAF" }
memory = { "0100" = "0DAD" }
start = "0000"
expect.outputs = { "01" = "0FEE" }
)toml");
  const std::string program = write("eco.asm", kEcho);
  const std::string folder = (folder_ / "correcciones").string();
  std::ostringstream json, text, err;
  EXPECT_EQ(testCommandLine({cases, program, "--json", "--feedback", folder}, json, err), 1)
      << err.str();
  EXPECT_EQ(testCommandLine({cases, program}, text, err), 1) << err.str();
  const std::string feedback = read(folder + "/eco.asm.txt");
  ASSERT_FALSE(feedback.empty());

  const ProgramResult graded = GradeProgram(program, ParseCases(read(cases), cases).cases.value());
  ASSERT_EQ(graded.cases.size(), 2u);
  const std::vector<std::string> hidden = linesIn(graded.cases[1].differences, Language::Spanish);
  const std::vector<std::string> shown = linesIn(graded.cases[0].differences, Language::Spanish);
  ASSERT_FALSE(hidden.empty());
  ASSERT_FALSE(shown.empty());
  for (const auto& line : shown) EXPECT_TRUE(Holds(feedback, line)) << feedback;
  EXPECT_TRUE(Holds(feedback, "puerto 02 = 0015")) << feedback;
  for (const auto& line : hidden) EXPECT_FALSE(Holds(feedback, line)) << feedback;
  for (const char* word : {"0BAD", "0CAF", "0DAD", "0FEE"}) {
    EXPECT_FALSE(Holds(feedback, word)) << word << "\n" << feedback;
  }
  EXPECT_TRUE(Holds(feedback, "MAL   secreto  (0/1 punto)\n")) << feedback;

  // The teacher's reports keep it all.
  const auto report = nlohmann::json::parse(json.str());
  const auto& result = report["programs"][0]["results"][1];
  EXPECT_EQ(result["name"], "secreto");
  EXPECT_EQ(result["hidden"], true);
  EXPECT_EQ(result["differences"],
            nlohmann::json(linesIn(graded.cases[1].differences, Language::English)));
  for (const auto& line : linesIn(graded.cases[1].differences, Language::English)) {
    EXPECT_TRUE(Holds(text.str(), line)) << text.str();
  }
}

// The handout: the title over a rule as wide as it, what the assembly said
// once, each case's block, the checks not already among its differences,
// the total with the grade; in Spanish while the process speaks English.
TEST_F(GradingTest, TheFeedbackIsASpanishHandout) {
  const CaseFile cases = ParseCases(R"toml(
title = "Práctica 3: el eco"
scale = 10
[[case]]
name = "eco"
points = 2
inputs = { "02" = "0007" }
expect.outputs = { "01" = "0007" }
[[case]]
name = "doble"
inputs = { "02" = "0003" }
start = "0000"
registers = { R2 = "0001" }
memory = { "0100" = ["0001", "0002"] }
expect.outputs = { "01" = "0006" }
)toml",
                                    "casos.toml")
                             .cases.value();
  // LD through RD's power-on value: a check, not a difference.
  const std::string echo = write("eco.asm", "LD R3, [RD]\n" + std::string(kEcho));
  const std::string broken = write("roto.asm", "FOO\nBAR\n");
  ASSERT_EQ(currentLanguage(), Language::English);
  std::ostringstream good, bad;
  const ProgramResult echoed = GradeProgram(echo, cases);
  const ProgramResult failed = GradeProgram(broken, cases);
  WriteFeedback(cases, echoed, good);
  WriteFeedback(cases, failed, bad);
  EXPECT_EQ(currentLanguage(), Language::English);

  const std::string title = "Práctica 3: el eco";
  EXPECT_EQ(
      good.str().rfind(title + "\n" + std::string(18, '=') + "\n\nPrograma: " + echo + "\n\n", 0),
      0u)
      << good.str();
  const std::string check = echoed.cases.at(0).checks.at(0).in(Language::Spanish);
  EXPECT_TRUE(Holds(good.str(),
                    "BIEN  eco  (2/2 puntos)\n      Entradas: puerto 02 = 0007\n"
                    "      Avisos:\n        " +
                        check + "\n\n"))
      << good.str();
  EXPECT_TRUE(Holds(good.str(),
                    "MAL   doble  (0/1 punto)\n      Entradas: puerto 02 = 0003\n"
                    "      Valores previos: R2 = 0001; memoria 0100 = 0001 0002\n"
                    "      Diferencias:\n"
                    "        puerto de salida 01: se esperaba 0006 y hay 0003\n"))
      << good.str();
  // 2 of 3 points on a scale of 10.
  EXPECT_TRUE(Holds(good.str(), "\nTotal: 2/3 puntos, 1/2 casos, nota 6,67 sobre 10\n"))
      << good.str();

  const std::vector<std::string> assembly = failed.problemLines(Language::Spanish);
  ASSERT_EQ(assembly.size(), 3u);
  std::size_t said = 0;
  for (auto at = bad.str().find(assembly[1]); at != std::string::npos;
       at = bad.str().find(assembly[1], at + 1)) {
    ++said;
  }
  EXPECT_EQ(said, 1u) << bad.str();
  EXPECT_TRUE(Holds(bad.str(), "Al preparar el programa:\n  " + assembly[0] + "\n  " + assembly[1]))
      << bad.str();
  EXPECT_TRUE(Holds(bad.str(), "\nTotal: 0/3 puntos, 0/2 casos, nota 0 sobre 10\n")) << bad.str();
  EXPECT_FALSE(Holds(bad.str(), "Diferencias:")) << bad.str();
}

TEST(FeedbackFiles, EachProgramItsOwnName) {
  const struct {
    std::vector<std::string> programs;
    std::vector<std::string> names;
  } cases[] = {
      {{"entregas/ana.asm", "luis.EHC"}, {"ana.asm.txt", "luis.EHC.txt"}},
      {{"g1/ana.asm", "g2/ana.asm"}, {"g1_ana.asm.txt", "g2_ana.asm.txt"}},
      {{"x/g/ana.asm", "y/g/ana.asm", "g/luis.asm"},
       {"x_g_ana.asm.txt", "y_g_ana.asm.txt", "luis.asm.txt"}},
      // Names that differ only in their letters' case collide on Windows
      // and macOS.
      {{"a/Ana.asm", "b/ana.asm"}, {"a_Ana.asm.txt", "b_ana.asm.txt"}},
      {{"ana.asm", "g/ana.asm"}, {"ana.asm.txt", "g_ana.asm.txt"}},
      {{"/home/p/entregas/ana.asm", "./ana.asm"}, {"entregas_ana.asm.txt", "ana.asm.txt"}},
      {{"ana.asm", "ana.asm", "ana.asm"}, {"ana.asm.txt", "ana.asm (2).txt", "ana.asm (3).txt"}},
      // A folder taken may make the name of another program.
      {{"g1_ana.asm", "g1/ana.asm", "g2/ana.asm"},
       {"g1_ana.asm.txt", "g1_ana.asm (2).txt", "g2_ana.asm.txt"}},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> names = FeedbackFileNames(c.programs);
    EXPECT_EQ(names, c.names) << c.programs.front();
    std::set<std::string> folded;
    for (std::string name : names) {
      for (char& letter : name) letter = static_cast<char>(std::tolower(letter));
      folded.insert(name);
    }
    EXPECT_EQ(folded.size(), names.size());
  }
}

// A report that cannot be written is said, after every other is written,
// and the status is 2.
TEST_F(GradingTest, AReportThatCannotBeWrittenIsStatusTwo) {
  const std::string cases =
      write("casos.toml",
            "[[case]]\ninputs = { \"02\" = \"0007\" }\nexpect.outputs = { \"01\" = \"0007\" }\n");
  const std::string program = write("eco.asm", kEcho);
  const std::string a_file = write("ocupado", "x");
  const std::string nowhere = (folder_ / "no" / "existe" / "x").string();
  const struct {
    const char* option;
    std::string target;
    std::string unwritable;
  } rows[] = {
      {"--csv", nowhere, nowhere},
      {"--junit", nowhere, nowhere},
      {"--feedback", a_file, a_file},
      {"--feedback", a_file + "/sub", a_file + "/sub"},
  };
  for (const auto& row : rows) {
    const std::string csv = (folder_ / "notas.csv").string();
    const std::string feedback = (folder_ / "fb").string();
    fs::remove(csv);
    fs::remove_all(feedback);
    std::vector<std::string> args = {cases, program, row.option, row.target};
    if (std::string(row.option) != "--csv") args.insert(args.end(), {"--csv", csv});
    if (std::string(row.option) != "--feedback") args.insert(args.end(), {"--feedback", feedback});
    std::ostringstream out, err;
    EXPECT_EQ(testCommandLine(args, out, err), 2) << row.option;
    EXPECT_EQ(err.str(), "tuka2: cannot write " + row.unwritable + "\n");
    EXPECT_TRUE(Holds(out.str(), "PASS  case 1")) << out.str();
    if (std::string(row.option) != "--csv") {
      EXPECT_TRUE(Holds(read(csv), program + ",1,1,1,1,1"));
    }
    if (std::string(row.option) != "--feedback") {
      EXPECT_TRUE(Holds(read(feedback + "/eco.asm.txt"), "BIEN  case 1"));
    }
  }
}

}  // namespace
}  // namespace orben::grader
