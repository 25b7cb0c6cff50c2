#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "grader/cases.h"
#include "grader/grading.h"
#include "grader/grading_folder.h"
#include "runner/test_command.h"

namespace orben::grader {
namespace {

using runner::testCommandLine;

// Each warning as "LINE:COLUMN message", in English.
std::vector<std::string> Said(const std::vector<CasesError>& said) {
  std::vector<std::string> lines;
  for (const CasesError& w : said) {
    lines.push_back(std::to_string(w.line) + ":" + std::to_string(w.column) + " " +
                    w.message.in(Language::English));
  }
  return lines;
}

const std::string kHeld =
    " at power-on already: this expectation holds for a program that never writes there";
const std::string kPresetMemory = kHeld + " (preset another word under the case's memory)";
const std::string kPresetRegisters = kHeld + " (preset another word under the case's registers)";
const std::string kOnlyHalt =
    " checks nothing but that the run stops at HALT: say under expect what it must leave";

TEST(CasesWarnings, EachAtItsLineAndColumn) {
  const struct {
    const char* text;
    std::vector<std::string> warnings;
  } rows[] = {
      // Names.
      {"[[case]]\nname = \"a\"\nexpect.outputs = { \"01\" = \"0001\" }\n"
       "[[case]]\nname = \"a\"\nexpect.outputs = { \"01\" = \"0002\" }\n"
       "[[case]]\nname = \"a\"\nexpect.outputs = { \"01\" = \"0003\" }\n",
       {"5:8 another case is named \"a\" (line 2): the report cannot tell them apart",
        "8:8 another case is named \"a\" (line 2): the report cannot tell them apart"}},
      // The first case, unnamed, is "case 1".
      {"[[case]]\nexpect.stop = \"halt\"\n[[case]]\nname = \"case 1\"\nexpect.stop = \"error\"\n",
       {"4:8 another case is named \"case 1\" (line 1): the report cannot tell them apart"}},
      {"[[case]]\nname = \"\"\nexpect.stop = \"halt\"\n[[case]]\nname = \" \t \"\nexpect.stop = "
       "\"halt\"\n",
       {"2:8 the case's name is empty: the report shows it without one",
        "5:8 the case's name is empty: the report shows it without one"}},
      {"[[case]]\nname = \"Uno\"\nexpect.stop = \"halt\"\n[[case]]\nname = \"uno\"\nexpect.stop = "
       "\"halt\"\n",
       {}},
      // A case that checks nothing but the HALT it expects by default.
      {"title = \"t\"\n\n[[case]]\nname = \"nada\"\ninputs = { \"02\" = \"0001\" }\n"
       "expect.memory = {}\n",
       {"3:1 case \"nada\"" + kOnlyHalt}},
      {"[[case]]\n[[case]]\nexpect.stop = \"halt\"\n[[case]]\nexpect.messages = []\n"
       "[[case]]\nexpect.flags = { Z = 0 }\n[[case]]\nexpect.memory = { \"0100\" = [] }\n",
       {"1:1 case \"case 1\"" + kOnlyHalt, "8:1 case \"case 5\"" + kOnlyHalt}},
      // Output ports at power-on hold the fill.
      {"[[case]]\nexpect.outputs = { \"02\" = \"0000\", \"03\" = \"0001\" }\n",
       {"2:27 output port 02 holds 0000" + kHeld}},
      {"fill = \"00ff\"\n[[case]]\nexpect.outputs = { \"1\" = \"FF\", \"3f\" = \"00FF\", \"04\" = "
       "\"FF00\" }\n",
       {"3:26 output port 01 holds 00FF" + kHeld, "3:39 output port 3F holds 00FF" + kHeld}},
      // Registers at power-on hold their own numbers, RE the empty stack's
      // F000, whatever the fill; a register the case presets is its own.
      {"fill = \"ABCD\"\n[[case]]\nregisters = { R2 = \"0002\" }\nexpect.registers = { R0 = "
       "\"0000\", r1 = \"1\", R2 = \"0002\", R3 = \"0004\", RE = \"F000\", RF = \"000F\" }\n",
       {"4:27 register R0 holds 0000" + kPresetRegisters,
        "4:40 register R1 holds 0001" + kPresetRegisters,
        "4:76 register RE holds F000" + kPresetRegisters,
        "4:89 register RF holds 000F" + kPresetRegisters}},
      // Memory holds the fill where the case's presets do not write.
      {"fill = \"1234\"\n[[case]]\nmemory = { \"0100\" = [\"0005\", \"0005\"] }\n"
       "expect.memory = { \"00FF\" = [\"1234\", \"1234\", \"1234\", \"1234\"], \"0200\" = "
       "\"1234\", "
       "\"0300\" = \"1235\" }\n",
       {"4:29 memory 00FF holds 1234" + kPresetMemory,
        "4:53 memory 0102 holds 1234" + kPresetMemory,
        "4:71 memory 0200 holds 1234" + kPresetMemory}},
      {"seed = 3\n[[case]]\nexpect.memory = { \"0100\" = \"0000\" }\n"
       "expect.registers = { R1 = \"0001\" }\n",
       {"4:27 register R1 holds 0001" + kPresetRegisters}},
      // A file with faults: its names only.
      {"[[case]]\nname = \"a\"\nstart = \"X\"\n[[case]]\nname = \"a\"\n"
       "expect.outputs = { \"01\" = \"0000\" }\n",
       {"5:8 another case is named \"a\" (line 2): the report cannot tell them apart"}},
  };
  for (const auto& row : rows) {
    const ParsedCases parsed = ParseCases(row.text, "casos.toml");
    EXPECT_EQ(Said(parsed.warnings), row.warnings) << row.text;
  }
}

TEST(CasesWarnings, NoneOnTheExamples) {
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ORBEN_EXAMPLES)) {
    if (entry.path().extension() != ".toml") continue;
    ++files;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    const ParsedCases parsed = ParseCases(text, entry.path().string());
    EXPECT_TRUE(parsed.errors.empty()) << entry.path();
    EXPECT_EQ(Said(parsed.warnings), std::vector<std::string>{}) << entry.path();
  }
  EXPECT_GE(files, 6u);
}

// The warnings about power-on words are about the expectations a program
// that only halts meets, each told by running it.
TEST_F(GradingTest, APowerOnWarningIsWhatAProgramThatOnlyHaltsPasses) {
  const std::string halt = write("halt.asm", "  HALT\n");
  // The seeded machine's word in output port 02, as a run shows it.
  const CaseFile seeded =
      ParseCases("seed = 11\n[[case]]\nexpect.outputs = { \"02\" = \"0000\" }\n", "s.toml")
          .cases.value();
  const auto differences = GradeProgram(halt, seeded).cases.at(0).differences;
  ASSERT_EQ(differences.size(), 1u);
  const std::string got = differences[0].in(Language::English);
  ASSERT_EQ(got.rfind("output port 02: expected 0000, got ", 0), 0u) << got;
  const std::string port02 = got.substr(got.size() - 4);
  const std::string rows[] = {
      "[[case]]\nexpect.outputs = { \"01\" = \"0000\" }\n",
      "[[case]]\nexpect.outputs = { \"01\" = \"0001\" }\n",
      "fill = \"ABCD\"\n[[case]]\nexpect.outputs = { \"3F\" = \"ABCD\" }\n",
      "fill = \"ABCD\"\n[[case]]\nexpect.outputs = { \"3F\" = \"0000\" }\n",
      "seed = 11\n[[case]]\nexpect.outputs = { \"02\" = \"" + port02 + "\" }\n",
      "seed = 11\n[[case]]\nexpect.outputs = { \"02\" = \"" +
          std::string(port02 == "0000" ? "0001" : "0000") + "\" }\n",
      "[[case]]\nexpect.registers = { R7 = \"0007\" }\n",
      "[[case]]\nexpect.registers = { R7 = \"0000\" }\n",
      "seed = 11\n[[case]]\nexpect.registers = { RE = \"F000\" }\n",
      "fill = \"1234\"\n[[case]]\nexpect.memory = { \"0200\" = \"1234\" }\n",
      "fill = \"1234\"\n[[case]]\nexpect.memory = { \"0200\" = \"0000\" }\n",
  };
  for (const std::string& text : rows) {
    const ParsedCases parsed = ParseCases(text, "c.toml");
    ASSERT_TRUE(parsed.cases.has_value()) << text;
    const bool passes = GradeProgram(halt, *parsed.cases).cases.at(0).passed;
    EXPECT_EQ(parsed.warnings.size(), passes ? 1u : 0u) << text;
  }
}

TEST(CasesFile, TomlMistakesWithAHint) {
  const std::string kLatin1 = "the file is not UTF-8 (saved as Latin-1?): save it as UTF-8";
  const std::string kQuote = "(the closing quote is missing: end the text with \" on its line)";
  const struct {
    std::string text;
    std::size_t line, column;
    std::string said;  // the whole message, or its end
  } rows[] = {
      {"[[case]]\nstart = 2A\n", 2, 10, "(write the word in quotes: \"002A\")"},
      {"[[case]]\ninputs = { \"02\" = 002A }\n", 2, 22, "(write the word in quotes: \"002A\")"},
      {"[[case]]\nexpect.outputs = { \"01\" = 0037 }\n", 2, 31,
       "leading zeroes are prohibited (write the word in quotes: \"0037\")"},
      {"fill = ffff\n[[case]]\n", 1, 9, "(write the word in quotes: \"FFFF\")"},
      {"[[case]]\nmemory = { \"0100\" = [\"1\", 00aa] }\n", 2, 29,
       "(write the word in quotes: \"00AA\")"},
      // Characters, not bytes, before it.
      {"x = { n = \"ñandú\", y = 1e }\n[[case]]\n", 1, 26, "(write the word in quotes: \"001E\")"},
      {"[[case]]\nname = \"sin cerrar\n", 2, 19, kQuote},
      {"[[case]]\nexpect.messages = [\"Fin la ejecución :-)\", \"otro]\n", 2, 50, kQuote},
      {"title = \"Canci\xF3n\"\n[[case]]\n", 1, 15, kLatin1},
      {"# ñandú\n\ntitle = \"ñ\xF1\"\n", 3, 11, kLatin1},
      {"\xEF\xBB\xBF[[case]]\nname = \"\xE9\"\n", 2, 9, kLatin1},
  };
  for (const auto& row : rows) {
    const ParsedCases parsed = ParseCases(row.text, "casos.toml");
    ASSERT_EQ(parsed.errors.size(), 1u) << row.text;
    const CasesError& e = parsed.errors[0];
    const std::string said = e.message.in(Language::English);
    EXPECT_EQ(e.line, row.line) << row.text << "\n" << said;
    EXPECT_EQ(e.column, row.column) << row.text << "\n" << said;
    ASSERT_GE(said.size(), row.said.size()) << said;
    EXPECT_EQ(said.substr(said.size() - row.said.size()), row.said) << row.text;
    if (row.said != kLatin1) {
      EXPECT_EQ(said.rfind("not valid TOML: ", 0), 0u) << said;
    }
  }
  // Mistakes with no hint to give: a table's bracket, a word that is not
  // hexadecimal, a second value after the first, a quote in a comment.
  for (const char* text : {"[[case]\n", "[[case]]\nstart = GG\n", "title = 3 3 # \"2A\n",
                           "[[case]]\nname = 'sin cerrar\n", "title = \"x\" 2A\n"}) {
    const ParsedCases parsed = ParseCases(text, "casos.toml");
    ASSERT_EQ(parsed.errors.size(), 1u) << text;
    const std::string said = parsed.errors[0].message.in(Language::English);
    EXPECT_EQ(said.find("(write the word"), std::string::npos) << text << "\n" << said;
    EXPECT_EQ(said.find("(the closing quote"), std::string::npos) << text << "\n" << said;
  }
}

// On the command line: the faults, then the warnings, which change no
// status; "aviso" in Spanish, as the assembler says it.
TEST_F(GradingTest, WarningsAfterTheFaultsOnStandardError) {
  const std::string program = write("p.asm", "  LLI R1, 5\n  OUT H'01, R1\n  HALT\n");
  const std::string good =
      write("bien.toml",
            "[[case]]\nname = \"cinco\"\nexpect.outputs = { \"01\" = \"0005\" }\n"
            "[[case]]\nname = \"cinco\"\nexpect.outputs = { \"02\" = \"0000\" }\n");
  const std::string bad =
      write("mal.toml", "[[case]]\nname = \"a\"\n[[case]]\nname = \"a\"\nstart = \"X\"\n");
  const struct {
    std::string cases;
    Language language;
    int status;
    std::vector<std::string> err;
  } rows[] = {
      {good,
       Language::English,
       0,
       {good + ":5:8: warning: another case is named \"cinco\" (line 2): the report cannot tell "
               "them apart",
        good + ":6:27: warning: output port 02 holds 0000" + kHeld}},
      {good,
       Language::Spanish,
       0,
       {good +
            ":5:8: aviso: otro caso se llama \"cinco\" (línea 2): en el informe no se distinguen",
        good + ":6:27: aviso: puerto de salida 02 ya vale 0000 al encender: esta comprobación la "
               "cumple un programa que nunca escribe ahí"}},
      {bad,
       Language::English,
       2,
       {bad +
            ":5:9: start must be a word of one to four hexadecimal digits in quotes, like \"00FF\"",
        bad + ":4:8: warning: another case is named \"a\" (line 2): the report cannot tell them "
              "apart"}},
  };
  const Language before = currentLanguage();
  for (const auto& row : rows) {
    setLanguage(row.language);
    std::ostringstream out, err;
    const int status = testCommandLine({row.cases, program}, out, err);
    setLanguage(before);
    EXPECT_EQ(status, row.status) << err.str();
    std::vector<std::string> lines;
    std::istringstream said(err.str());
    for (std::string line; std::getline(said, line);) lines.push_back(line);
    EXPECT_EQ(lines, row.err);
  }
}

}  // namespace
}  // namespace orben::grader
