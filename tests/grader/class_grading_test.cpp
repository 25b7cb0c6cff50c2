// Grading as a class needs it: flags judged each on its own, time limits,
// a HALT the program did not load, partial credit, what went wrong said
// once and where it belongs, and the keys of the cases file for them.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "grader/cases.h"
#include "grader/grade_reports.h"
#include "grader/grading.h"
#include "support/scratch_folder.h"

namespace orben::grader {
namespace {

CaseFile Parsed(const std::string& text) {
  ParsedCases parsed = ParseCases(text, "casos.toml");
  for (const auto& e : parsed.errors)
    ADD_FAILURE() << e.line << ":" << e.column << " " << e.message.str();
  return parsed.cases.value_or(CaseFile{});
}

std::vector<std::string> English(const std::vector<Text>& lines) {
  return linesIn(lines, Language::English);
}

class ClassGradingTest : public ::testing::Test {
 protected:
  ScratchFolder folder_{"tuka2-class"};
};

// Two sums whose flags differ in every one of the four: FFFF + 0001 gives
// 0000 with a carry out and no overflow (-1 + 1); 7FFF + 0001 gives 8000,
// negative, no carry, an overflow (32767 + 1). Each flag expected 0 and 1:
// a case passes exactly when its flag is what the sum makes it.
TEST_F(ClassGradingTest, EachFlagIsJudgedOnItsOwn) {
  const struct {
    const char* high;  // of the first operand
    std::map<char, bool> flags;
  } sums[] = {
      {"H'FF", {{'Z', true}, {'S', false}, {'C', true}, {'V', false}}},
      {"H'7F", {{'Z', false}, {'S', true}, {'C', false}, {'V', true}}},
  };
  std::string cases;
  for (const char flag : std::string("ZSCV")) {
    for (const int value : {0, 1}) {
      cases += "[[case]]\nname = \"" + std::string(1, flag) + std::to_string(value) +
               "\"\nexpect.flags = { " + std::string(1, flag) + " = " + std::to_string(value) +
               " }\n";
    }
  }
  const CaseFile file = Parsed(cases);
  ASSERT_EQ(file.cases.size(), 8u);
  for (const auto& sum : sums) {
    const std::string program =
        folder_.write("suma.asm", std::string("  LLI R1, H'FF\n  LHI R1, ") + sum.high +
                                      "\n  LLI R2, 1\n  ADDS R3, R1, R2\n  HALT\n");
    const ProgramResult result = GradeProgram(program, file);
    ASSERT_EQ(result.cases.size(), 8u);
    for (const CaseResult& c : result.cases) {
      const char flag = c.name[0];
      const bool expected = c.name[1] == '1';
      const bool actual = sum.flags.at(flag);
      EXPECT_EQ(c.passed, expected == actual) << sum.high << " " << c.name;
      const std::vector<std::string> differences =
          expected == actual
              ? std::vector<std::string>{}
              : std::vector<std::string>{std::string("flag ") + flag + ": expected " +
                                         (expected ? "1" : "0") + ", got " + (actual ? "1" : "0")};
      EXPECT_EQ(English(c.differences), differences) << sum.high << " " << c.name;
    }
  }
}

// An endless loop with a step limit no run reaches stops at the time
// limit, the file's or the case's own, and fails saying so; the case after
// it is graded as usual.
TEST_F(ClassGradingTest, TheTimeLimitStopsAnEndlessLoop) {
  const CaseFile file = Parsed(R"toml(
timeout = 0.3
max_steps = 10000000000
[[case]]
name = "file's limit"
[[case]]
name = "its own"
timeout = 0.2
)toml");
  ASSERT_EQ(file.cases.size(), 2u);
  EXPECT_EQ(file.cases[0].timeout, 0.3);
  EXPECT_EQ(file.cases[1].timeout, 0.2);
  const ProgramResult loop =
      GradeProgram(folder_.write("bucle.asm", "otra: LDI RD, otra\n  BR\n"), file);
  const ProgramResult stops = GradeProgram(folder_.write("para.asm", "  HALT\n"), file);
  const char* const limits[] = {"0.3", "0.2"};
  for (std::size_t i = 0; i < 2; ++i) {
    const CaseResult& c = loop.cases[i];
    EXPECT_FALSE(c.passed);
    EXPECT_EQ(c.stop, "timeout");
    EXPECT_GE(c.seconds, file.cases[i].timeout);
    ASSERT_EQ(c.differences.size(), 1u);
    const std::string said = c.differences[0].in(Language::English);
    EXPECT_EQ(said, std::string("stopped after ") + limits[i] + " s (" + std::to_string(c.steps) +
                        " steps)");
    EXPECT_GT(c.steps, 1000u);
    EXPECT_TRUE(stops.cases[i].passed);
  }
}

// Without HALT the program runs into memory it did not load; with memory
// random, that word may be a HALT. By default each such case fails, whatever
// the seed, with the check as its difference; checks = "warn" only notes it.
TEST_F(ClassGradingTest, AHaltTheProgramDidNotLoadDoesNotPass) {
  const std::string program = folder_.write("sin_halt.asm", "  LLI R1, 5\n  OUT H'01, R1\n");
  for (int seed = 1; seed <= 8; ++seed) {
    for (const bool warn : {false, true}) {
      const CaseFile file =
          Parsed("seed = " + std::to_string(seed) + (warn ? "\nchecks = \"warn\"" : "") +
                 "\n[[case]]\nexpect.outputs = { \"01\" = \"0005\" }\n");
      const CaseResult c = GradeProgram(program, file).cases.at(0);
      const auto unwritten = [](const std::vector<std::string>& lines) {
        for (const auto& line : lines)
          if (line.find("a word nothing has written") != std::string::npos) return true;
        return false;
      };
      EXPECT_TRUE(unwritten(English(c.checks))) << seed;
      EXPECT_EQ(unwritten(English(c.differences)), !warn) << seed;
      if (!warn) {
        EXPECT_FALSE(c.passed) << seed;
        EXPECT_EQ(c.points, 0) << seed;
      }
    }
  }
}

// A partial case shares its points among its expectations; the others stay
// all or nothing. 7 + 7 = 000E: the stop, the output and R1 hold, R2 does
// not, so 3 of 4 shares of 2 points.
TEST_F(ClassGradingTest, PartialCreditSharesThePointsAmongTheExpectations) {
  const CaseFile file = Parsed(R"toml(
[[case]]
name = "partial"
points = 2
partial = true
expect.outputs = { "01" = "000E" }
expect.registers = { R1 = "0007", R2 = "0001" }
[[case]]
name = "all or nothing"
points = 2
expect.outputs = { "01" = "000E" }
expect.registers = { R1 = "0007", R2 = "0001" }
[[case]]
name = "partial, all held"
points = 3
partial = true
expect.outputs = { "01" = "000E" }
)toml");
  const ProgramResult result = GradeProgram(
      folder_.write("p.asm", "  LLI R1, 7\n  ADDS R2, R1, R1\n  OUT H'01, R2\n  HALT\n"), file);
  ASSERT_EQ(result.cases.size(), 3u);
  EXPECT_EQ(result.cases[0].expectations, 4u);
  EXPECT_EQ(result.cases[0].held, 3u);
  EXPECT_DOUBLE_EQ(result.cases[0].points, 1.5);
  EXPECT_FALSE(result.cases[0].passed);
  EXPECT_EQ(result.cases[1].points, 0);
  EXPECT_EQ(result.cases[2].points, 3);
  EXPECT_DOUBLE_EQ(result.points(), 4.5);
  const struct {
    double points;
    const char* english;
    const char* spanish;
  } shown[] = {{1.5, "1.5", "1,5"},
               {2.0 / 3, "0.67", "0,67"},
               {4, "4", "4"},
               {0.1, "0.1", "0,1"},
               {0.999, "1", "1"}};
  for (const auto& s : shown) {
    EXPECT_EQ(pointsText(s.points, Language::English), s.english);
    EXPECT_EQ(pointsText(s.points, Language::Spanish), s.spanish);
  }
  std::ostringstream out;
  WriteTextReport(file, {result}, out);
  EXPECT_NE(out.str().find("(1.5/2 points)"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("4.5/7 points, 1/3 cases"), std::string::npos) << out.str();
  const auto json = JsonReport(file, {result});
  EXPECT_EQ(json["programs"][0]["points"].dump(), "4.5");
  EXPECT_EQ(json["programs"][0]["results"][2]["points"].dump(), "3");
}

// What went wrong, said once and where it belongs: an execution error's
// message among its case's differences; a corrupt line of an object file
// once for the program, in text and JSON, its cases still run.
TEST_F(ClassGradingTest, WhatWentWrongIsSaidOnceWhereItBelongs) {
  const CaseFile file = Parsed("[[case]]\nname = \"a\"\n[[case]]\nname = \"b\"\n");
  const ProgramResult refused =
      GradeProgram(folder_.write("puerto.asm", "  IN R1, H'40\n  HALT\n"), file);
  const auto differences = English(refused.cases.at(0).differences);
  ASSERT_EQ(differences.size(), 2u);
  EXPECT_EQ(differences[0], "stopped at error after 1 step, expected halt");
  EXPECT_EQ(differences[1].rfind("the run stopped with the message \"", 0), 0u) << differences[1];
  EXPECT_GT(differences[1].size(), 36u);

  const ProgramResult corrupt =
      GradeProgram(folder_.write("roto.ehc", "0000 2105\r\nESTO NO\r\n0001 F000\r\n"), file);
  EXPECT_EQ(corrupt.trouble, Trouble::None);
  ASSERT_FALSE(corrupt.load_messages.empty());
  EXPECT_TRUE(corrupt.cases.at(0).passed) << English(corrupt.cases[0].differences).at(0);
  std::ostringstream out;
  WriteTextReport(file, {corrupt}, out);
  const std::string text = out.str();
  const auto first = text.find("the load showed \"");
  ASSERT_NE(first, std::string::npos) << text;
  EXPECT_EQ(text.find("the load showed \"", first + 1), std::string::npos) << text;
  EXPECT_LT(first, text.find("PASS")) << text;
  const auto json = JsonReport(file, {corrupt});
  ASSERT_EQ(json["programs"][0]["problems"].size(), corrupt.load_messages.size());
  EXPECT_EQ(json["programs"][0]["problems"][0].get<std::string>().rfind("the load showed", 0), 0u);
  // The words the load put there, for finding copies.
  EXPECT_EQ(corrupt.words, (std::vector<LoadedWord>{{0x0000, 0x2105}, {0x0001, 0xF000}}));
}

TEST(ClassCasesFile, TheNewKeysAreCheckedAtTheirPlace) {
  const struct {
    const char* text;
    std::size_t line, column;
    const char* message;
  } faults[] = {
      {"timeout = 0\n[[case]]", 1, 11, "timeout must be a number of seconds above 0"},
      {"timeout = \"10\"\n[[case]]", 1, 11, "timeout must be a number of seconds"},
      {"[[case]]\ntimeout = 100000", 2, 11, "timeout must be a number of seconds"},
      {"scale = -1\n[[case]]", 1, 9, "scale must be a number above 0"},
      {"checks = \"maybe\"\n[[case]]", 1, 10, "checks must be \"fail\" or \"warn\""},
      {"[[case]]\npartial = 1", 2, 11, "partial must be true or false"},
      {"[[case]]\nhidden = \"yes\"", 2, 10, "hidden must be true or false"},
  };
  for (const auto& f : faults) {
    const ParsedCases parsed = ParseCases(f.text, "casos.toml");
    EXPECT_FALSE(parsed.cases.has_value()) << f.text;
    ASSERT_EQ(parsed.errors.size(), 1u) << f.text;
    EXPECT_EQ(parsed.errors[0].line, f.line) << f.text;
    EXPECT_EQ(parsed.errors[0].column, f.column) << f.text;
    EXPECT_NE(parsed.errors[0].message.str().find(f.message), std::string::npos)
        << f.text << "\n"
        << parsed.errors[0].message.str();
  }
  const CaseFile file =
      Parsed("scale = 10\nchecks = \"warn\"\n[[case]]\nhidden = true\npartial = true\n");
  EXPECT_EQ(file.scale, 10.0);
  EXPECT_EQ(file.checks, ChecksRule::Warn);
  EXPECT_TRUE(file.cases.at(0).hidden);
  EXPECT_TRUE(file.cases.at(0).partial);
  EXPECT_EQ(file.cases.at(0).timeout, kDefaultTimeout);
}

}  // namespace
}  // namespace orben::grader
