#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "grader/cases.h"
#include "grader/grade_reports.h"
#include "grader/grading.h"
#include "grader/grading_folder.h"
#include "runner/test_command.h"

namespace orben::grader {
namespace {

namespace fs = std::filesystem;
using runner::testCommandLine;

std::vector<std::string> English(const std::vector<Text>& lines) {
  return linesIn(lines, Language::English);
}

CaseFile Parse(const std::string& text) {
  const ParsedCases parsed = ParseCases(text, "casos.toml");
  std::string errors;
  for (const auto& e : parsed.errors) {
    errors +=
        std::to_string(e.line) + ":" + std::to_string(e.column) + " " + e.message.str() + "\n";
  }
  EXPECT_TRUE(parsed.cases.has_value()) << errors;
  return parsed.cases.value_or(CaseFile{});
}

TEST(CasesFile, EveryKeyIsRead) {
  const CaseFile file = Parse(R"toml(
title = "Suma de 1 a N"
max_steps = 500
seed = 7

[[case]]
name = "N = 10"
points = 2
inputs = { "02" = "a", "3F" = "FFFF", "00" = "1" }
start = "10"
registers = { R5 = "0003", rf = "1" }
memory = { "0100" = ["0001", "0002"], "EFFF" = "7" }
max_steps = 20
expect.stop = "no-instruction"
expect.outputs = { "01" = "0037" }
expect.registers = { R2 = "0037" }
expect.memory = { "0200" = ["0037"] }
expect.flags = { Z = 0, c = true }
expect.messages = ["Fin la ejecución :-)"]

[[case]]
)toml");
  EXPECT_EQ(file.title, "Suma de 1 a N");
  EXPECT_EQ(file.seed, 7u);
  ASSERT_EQ(file.cases.size(), 2u);
  const Case& c = file.cases[0];
  EXPECT_EQ(c.name, "N = 10");
  EXPECT_EQ(c.points, 2);
  // Keys come in their sorted order, whatever the order in the file.
  EXPECT_EQ(c.inputs, (std::vector<NumberedWord>{{0, 1}, {2, 0x000A}, {0x3F, 0xFFFF}}));
  EXPECT_EQ(c.start, 0x10);
  EXPECT_EQ(c.registers, (std::vector<NumberedWord>{{5, 3}, {15, 1}}));
  ASSERT_EQ(c.memory.size(), 2u);
  EXPECT_EQ(c.memory[0].address, 0x100);
  EXPECT_EQ(c.memory[0].words, (std::vector<std::uint16_t>{1, 2}));
  EXPECT_EQ(c.memory[1].address, 0xEFFF);
  EXPECT_EQ(c.memory[1].words, (std::vector<std::uint16_t>{7}));
  EXPECT_EQ(c.max_steps, 20u);
  EXPECT_EQ(c.expect.stop, StopKind::NoInstruction);
  EXPECT_EQ(c.expect.outputs, (std::vector<NumberedWord>{{1, 0x37}}));
  EXPECT_EQ(c.expect.registers, (std::vector<NumberedWord>{{2, 0x37}}));
  ASSERT_EQ(c.expect.memory.size(), 1u);
  EXPECT_EQ(c.expect.memory[0].address, 0x200);
  EXPECT_EQ(c.expect.flags, (std::vector<std::pair<char, bool>>{{'Z', false}, {'C', true}}));
  EXPECT_EQ(c.expect.messages, (std::vector<std::string>{"Fin la ejecución :-)"}));
  // What a case leaves out takes the file's or the runner's defaults.
  const Case& plain = file.cases[1];
  EXPECT_EQ(plain.name, "case 2");
  EXPECT_EQ(plain.points, 1);
  EXPECT_EQ(plain.max_steps, 500u);
  EXPECT_EQ(plain.start, 0);
  EXPECT_EQ(plain.expect.stop, StopKind::Halt);
  EXPECT_FALSE(plain.expect.messages.has_value());
  EXPECT_EQ(Parse("[[case]]\n").cases.at(0).max_steps, 1000000u);
  EXPECT_EQ(Parse("[[case]]\n").fill, 0u);
  EXPECT_EQ(Parse("fill = \"beef\"\n[[case]]\n").fill, 0xBEEF);
}

TEST(CasesFile, EveryFaultAtItsLineAndColumn) {
  const struct {
    const char* text;
    std::size_t line, column;
    const char* message;
  } cases[] = {
      {"tittle = \"x\"\n[[case]]", 1, 1, "unknown key 'tittle' in the cases file"},
      {"[[case]]\nnmae = \"x\"", 2, 1, "unknown key 'nmae' in [[case]]"},
      {"[[case]]\nexpect.stopp = \"halt\"", 2, 8, "unknown key 'stopp' in expect"},
      {"[[case]]\ninputs = { \"01\" = \"0001\" }", 2, 12, "input port 01 is the keypad"},
      {"[[case]]\ninputs = { \"40\" = \"0001\" }", 2, 12, "port '40' must be 00..3F"},
      {"[[case]]\nexpect.outputs = { \"1G\" = \"0001\" }", 2, 20, "port '1G' must be 00..3F"},
      {"[[case]]\nstart = \"12345\"", 2, 9, "start must be a word of one to four hexadecimal"},
      {"[[case]]\nstart = 12", 2, 9, "start must be a word"},
      {"[[case]]\ninputs = { \"02\" = \"00G0\" }", 2, 19, "a port's word must be a word"},
      {"[[case]]\nregisters = { R16 = \"0\" }", 2, 15, "register 'R16' must be R0..RF"},
      {"[[case]]\nregisters = { X1 = \"0\" }", 2, 15, "register 'X1' must be R0..RF"},
      {"[[case]]\nmemory = { \"EFFF\" = [\"1\", \"2\"] }", 2, 12, "runs past EFFF"},
      {"[[case]]\nmemory = { \"F000\" = \"1\" }", 2, 12, "runs past EFFF"},
      {"[[case]]\nexpect.flags = { Q = 1 }", 2, 18, "flag 'Q' must be Z, S, C or V"},
      {"[[case]]\nexpect.flags = { Z = 2 }", 2, 22, "a flag must be 0 or 1"},
      {"[[case]]\nexpect.stop = \"halted\"", 2, 15, "expect.stop must be"},
      {"[[case]]\npoints = -1", 2, 10, "points must be a whole number"},
      {"max_steps = \"lots\"\n[[case]]", 1, 13, "max_steps must be a whole number"},
      {"fill = \"0\"\nseed = 3\n[[case]]", 2, 8, "give fill or seed, not both"},
      {"title = 3\n[[case]]", 1, 9, "title must be a text"},
      {"title = \"x\"", 1, 1, "no [[case]]"},
      {"case = 3", 1, 8, "case must be written as [[case]] tables"},
      {"[[case]]\nexpect.messages = [1]", 2, 20, "a message must be a text"},
      {"[[case]]\nname = \"a\"\nname = \"b\"", 3, 8, "cannot redefine existing string 'name'"},
      {"[[case]\n", 1, 8, "expected ']'"},
  };
  for (const auto& c : cases) {
    const ParsedCases parsed = ParseCases(c.text, "casos.toml");
    EXPECT_FALSE(parsed.cases.has_value()) << c.text;
    ASSERT_FALSE(parsed.errors.empty()) << c.text;
    const CasesError& e = parsed.errors.front();
    EXPECT_EQ(e.line, c.line) << c.text << "\n" << e.message.str();
    EXPECT_EQ(e.column, c.column) << c.text << "\n" << e.message.str();
    EXPECT_NE(e.message.str().find(c.message), std::string::npos) << c.text << "\n"
                                                                  << e.message.str();
  }
  // Every fault of a file, in order.
  const ParsedCases several =
      ParseCases("[[case]]\nstart = \"X\"\n[[case]]\ninputs = { \"01\" = \"1\" }\n", "c.toml");
  ASSERT_EQ(several.errors.size(), 2u);
  EXPECT_EQ(several.errors[0].line, 2u);
  EXPECT_EQ(several.errors[1].line, 4u);
}

// Each kind of difference, worded as the teacher and the student read it.
TEST_F(GradingTest, EveryKindOfDifference) {
  const std::string program = write("p.asm",
                                    "  IN R1, H'02\n"
                                    "  LLI R2, 1\n"
                                    "  ADDS R3, R1, R2\n"
                                    "  OUT H'01, R3\n"
                                    "  LDI RD, dato\n"
                                    "  ST [RD], R3\n"
                                    "  HALT\n"
                                    "dato: DW 0\n");
  const CaseFile file = Parse(R"toml(
[[case]]
name = "right"
inputs = { "02" = "0036" }
expect.outputs = { "01" = "0037" }
expect.registers = { R3 = "0037" }
expect.memory = { "0008" = "0037" }
expect.flags = { Z = 0, S = 0 }
expect.messages = ["Fin la ejecución :-)"]

[[case]]
name = "wrong in every way"
points = 3
inputs = { "02" = "0035" }
expect.stop = "max-steps"
expect.outputs = { "01" = "0037", "05" = "0005" }
expect.registers = { R3 = "0037" }
expect.memory = { "0008" = ["0037", "0001"] }
expect.flags = { Z = 1 }
expect.messages = ["Fin la ejecución :-)", "otro"]

[[case]]
name = "stops too early"
registers = { R2 = "0009" }
memory = { "0000" = "F000" }
expect.stop = "halt"
expect.registers = { R2 = "0009" }
max_steps = 0
)toml");
  const ProgramResult result = GradeProgram(program, file);
  ASSERT_EQ(result.cases.size(), 3u);
  EXPECT_TRUE(result.cases[0].passed) << result.cases[0].differences.at(0).str();
  EXPECT_EQ(result.cases[0].points, 1);
  const CaseResult& wrong = result.cases[1];
  EXPECT_FALSE(wrong.passed);
  EXPECT_EQ(wrong.points, 0);
  EXPECT_EQ(wrong.max_points, 3);
  EXPECT_EQ(English(wrong.differences), (std::vector<std::string>{
                                            "stopped at halt after 8 steps, expected max-steps",
                                            "output port 01: expected 0037, got 0036",
                                            "output port 05: expected 0005, got 0000",
                                            "register R3: expected 0037, got 0036",
                                            "memory 0008: expected 0037, got 0036",
                                            "memory 0009: expected 0001, got 0000",
                                            "flag Z: expected 1, got 0",
                                            "message 2: expected \"otro\", got none",
                                        }));
  // Presets come after the load: the word at 0000 is HALT, R2 is 0009, and
  // with no step allowed the run ends at max-steps.
  EXPECT_EQ(English(result.cases[2].differences),
            (std::vector<std::string>{"stopped at max-steps after 0 steps, expected halt"}));
  EXPECT_EQ(result.points(), 1);
  EXPECT_EQ(result.maxPoints(), 5);
  EXPECT_EQ(result.passedCases(), 1);
}

TEST_F(GradingTest, AnAssemblyErrorFailsEveryCase) {
  const std::string program = write("mal.asm", "  FOO\n  LLI R1, 300\n  HALT\n");
  const CaseFile file = Parse("[[case]]\nname = \"a\"\n[[case]]\nname = \"b\"\n");
  const ProgramResult result = GradeProgram(program, file);
  const std::vector<std::string> expected = {
      "the assembly of " + program + " failed with 2 errors",
      program + ":1:3: error: unknown instruction 'FOO' (a label needs ':' after it)",
      program +
          ":2:11: error: value 300 does not fit the 8-bit value (0..255 or -128..-1): for a 16-bit "
          "value write "
          "LDI R1, 300"};
  EXPECT_EQ(result.problemLines(Language::English), expected);
  for (const CaseResult& c : result.cases) {
    EXPECT_FALSE(c.passed);
    EXPECT_EQ(English(c.differences), expected);
    EXPECT_EQ(c.stop, "");
  }
}

// A source saved as Windows-1252, with a byte-order mark or without, is
// graded like its UTF-8 twin.
TEST_F(GradingTest, SourcesAsWindowsEditorsSaveThem) {
  const CaseFile file = Parse(
      "[[case]]\nname = \"doble\"\ninputs = { \"02\" = \"0015\" }\n"
      "expect.outputs = { \"01\" = \"002A\" }\n");
  const std::string body =
      "  IN R1, H'02\r\n  ADDS R2, R1, R1 ; el doble\r\n  OUT H'01, R2\r\n  HALT\r\n";
  for (const std::string& source :
       {"; \xE9 \xF1 \xBF \x93"
        "doble\x94\r\n" +
            body,
        "; é ñ ¿ “doble”\r\n" + body, "\xEF\xBB\xBF; é ñ ¿ “doble”\r\n" + body}) {
    const ProgramResult result = GradeProgram(write("p.asm", source), file);
    EXPECT_TRUE(result.problems.empty()) << result.problemLines(Language::English).at(0);
    ASSERT_EQ(result.cases.size(), 1u);
    EXPECT_TRUE(result.cases[0].passed) << result.cases[0].differences.at(0).str();
  }
}

// tuka2 test on a mix of programs gives the same text, JSON and JUnit
// whatever the number of threads, in the order of the command line.
TEST_F(GradingTest, SameResultsWhateverTheThreads) {
  const std::string cases = write("c.toml", R"toml(
title = "Doble"
[[case]]
inputs = { "02" = "0015" }
expect.outputs = { "01" = "002A" }
[[case]]
name = "cero"
points = 2
inputs = { "02" = "0000" }
expect.outputs = { "01" = "0000" }
expect.flags = { Z = 1 }
)toml");
  std::vector<std::string> programs;
  for (int i = 0; i < 12; ++i) {
    const bool wrong = i % 3 == 1;
    std::string name = "p";
    name.append(std::to_string(i)).append(".asm");
    std::string text = "IN R1, H'02\nADDS R2, R1, R1\n";
    text.append(wrong ? "LLI R2, 1\n" : "").append("OUT H'01, R2\nHALT\n");
    programs.push_back(write(name, text));
  }
  programs.push_back(write("roto.asm", "BAD\n"));
  programs.push_back((folder_ / "falta.ehc").string());
  std::vector<std::string> outputs;
  for (const char* threads : {"1", "8"}) {
    for (const char* format : {"text", "json", "junit"}) {
      std::vector<std::string> args{cases};
      args.insert(args.end(), programs.begin(), programs.end());
      args.insert(args.end(), {"-j", threads});
      const std::string junit =
          (folder_ / std::string("j").append(threads).append(".xml")).string();
      if (std::string(format) == "json") args.push_back("--json");
      if (std::string(format) == "junit") args.insert(args.end(), {"--junit", junit});
      std::ostringstream out, err;
      EXPECT_EQ(testCommandLine(args, out, err), 1) << err.str();
      std::string produced = out.str();
      if (std::string(format) == "junit") {
        std::ifstream in(junit);
        produced = std::string(std::istreambuf_iterator<char>(in), {});
        // The measured times are the one thing that may differ.
        std::string masked;
        std::size_t from = 0;
        for (auto at = produced.find(" time=\""); at != std::string::npos;
             at = produced.find(" time=\"", from)) {
          masked.append(produced, from, at + 7 - from).append("T");
          from = produced.find('"', at + 7);
        }
        masked.append(produced, from, std::string::npos);
        produced = masked;
      }
      outputs.push_back(produced);
    }
  }
  ASSERT_EQ(outputs.size(), 6u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(outputs[i], outputs[i + 3]);
  // The order of the command line, and the final table.
  const std::string& text = outputs[0];
  EXPECT_LT(text.find("p2.asm\n"), text.find("p10.asm\n"));
  EXPECT_LT(text.find("p10.asm\n"), text.find("roto.asm\n"));
  EXPECT_NE(
      text.find("  FAIL  case 1  (0/1 point)\n        output port 01: expected 002A, got 0001"),
      std::string::npos)
      << text;
  EXPECT_NE(text.find("  3/3 points, 2/2 cases\n"), std::string::npos);
  const std::string p0 = programs[0];
  const std::size_t table = text.find("\nProgram ");
  ASSERT_NE(table, std::string::npos) << text;
  EXPECT_NE(
      text.find("\n" + p0 + std::string(programs[13].size() - p0.size() + 2, ' ') + "3/3     2/2\n",
                table),
      std::string::npos)
      << text;
}

TEST_F(GradingTest, JUnitValidatesAgainstTheCommonSchema) {
  if (std::system("command -v xmllint > /dev/null 2>&1") != 0) GTEST_SKIP() << "no xmllint";
  const std::string cases = write("c.toml", R"toml(
title = "<Título> & \"comillas\""
[[case]]
name = "bien <1>"
expect.outputs = { "01" = "0008" }
[[case]]
name = "mal & peor"
expect.outputs = { "01" = "0009" }
expect.messages = ["línea\runo"]
)toml");
  const std::string good = std::string(ORBEN_EXAMPLES) + "/suma.asm";
  const std::string broken = write("roto.asm", "LLI R1, \x01\xE9\n");
  const std::string junit = (folder_ / "junit.xml").string();
  std::ostringstream out, err;
  EXPECT_EQ(testCommandLine({cases, good, broken, "--junit", junit}, out, err), 1) << err.str();
  const std::string command = "xmllint --noout --schema " + std::string(JUNIT_SCHEMA) + " " + junit;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream in(junit);
  const std::string xml(std::istreambuf_iterator<char>(in), {});
  // The program that cannot be assembled is in error, not failing.
  EXPECT_NE(xml.find("<testsuites name=\"&lt;Título&gt; &amp; &quot;comillas&quot;\" tests=\"4\" "
                     "failures=\"1\" errors=\"2\" time=\""),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<testcase name=\"bien &lt;1&gt;\" classname=\"" + good + "\" time=\""),
            std::string::npos)
      << xml;
  // Each case's points and maximum; the assembly's reason once, each of
  // its cases an error.
  const auto count = [&](const std::string& what) {
    std::size_t n = 0;
    for (auto at = xml.find(what); at != std::string::npos; at = xml.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("<property name=\"max_points\" value=\"1\"/>"), 4u) << xml;
  EXPECT_EQ(count("<property name=\"points\" value=\"1\"/>"), 1u) << xml;
  EXPECT_EQ(count("<property name=\"points\" value=\"0\"/>"), 3u) << xml;
  EXPECT_EQ(count("type=\"assembly\"/>"), 2u) << xml;
  EXPECT_EQ(count("<system-err>the assembly of "), 1u) << xml;
  EXPECT_EQ(count("<failure "), 1u) << xml;
}

TEST_F(GradingTest, UsageAndCasesFileErrorsAreStatusTwo) {
  const std::string bad = write("bad.toml", "[[case]]\nstart = \"X\"\nexpect.stop = \"?\"\n");
  const std::string program = write("p.asm", "HALT\n");
  const struct {
    std::vector<std::string> args;
    const char* reason;
  } cases[] = {
      {{}, "needs a CASES file and at least one PROGRAM"},
      {{bad}, "needs a CASES file and at least one PROGRAM"},
      {{bad, program}, ":2:9: start must be a word"},
      {{bad, program}, ":3:15: expect.stop must be"},
      {{(folder_ / "none.toml").string(), program}, "cannot read"},
      {{bad, program, "--bogus"}, "--bogus"},
  };
  for (const auto& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(testCommandLine(c.args, out, err), 2);
    EXPECT_NE(err.str().find(c.reason), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
  }
}

}  // namespace
}  // namespace orben::grader
