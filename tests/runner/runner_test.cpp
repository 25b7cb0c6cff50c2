#include "runner/runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/json_value.h"
#include "runner/json_writer.h"

namespace orben::runner {
namespace {

using orben::testing::Json;

TEST(Tuka2Options, UsageErrors) {
  struct Case {
    std::vector<std::string> args;
    const char* reason_part;
  } cases[] = {
      {{}, "no command"},
      {{"go", "x.ehc"}, "unknown command"},
      {{"run"}, "needs a FILE"},
      {{"run", "a.ehc", "b.ehc"}, "only one FILE"},
      {{"run", "a.ehc", "--start"}, "--start"},
      {{"run", "a.ehc", "--start", "12345"}, "--start"},
      {{"run", "a.ehc", "--start", "12G4"}, "--start"},
      {{"run", "a.ehc", "--fill", ""}, "--fill"},
      {{"run", "a.ehc", "--seed", "-3"}, "--seed"},
      {{"run", "a.ehc", "--max-steps", "1e3"}, "--max-steps"},
      {{"run", "a.ehc", "--in", "02"}, "PP=HHHH"},
      {{"run", "a.ehc", "--in", "40=0000"}, "00 to 3F"},
      {{"run", "a.ehc", "--in", "1=0000"}, "keypad"},
      {{"run", "a.ehc", "--in", "2=12345"}, "PP=HHHH"},
      {{"dis", "a.ehc", "--json"}, "unknown option"},
      {{"dis", "a.ehc", "--trace"}, "unknown option"},
  };
  for (const auto& c : cases) {
    const ParseResult parsed = parseArguments(c.args);
    EXPECT_FALSE(parsed.options.has_value()) << parsed.error;
    EXPECT_NE(parsed.error.find(c.reason_part), std::string::npos) << parsed.error;
  }
}

TEST(Tuka2Options, ValuesAreNormalised) {
  const ParseResult parsed = parseArguments(
      {"run", "p.hex", "--start", "1f", "--in", "2=abc", "--in", "3F=1", "--fill", "0", "--json"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  const Options& o = *parsed.options;
  EXPECT_EQ(o.start, "001F");
  EXPECT_EQ(o.inputs, (std::vector<std::pair<int, std::string>>{{2, "0ABC"}, {0x3F, "0001"}}));
  EXPECT_EQ(o.fill, 0);
  EXPECT_EQ(o.max_steps, 1000000u);
  EXPECT_TRUE(o.json);
}

TEST(Tuka2Json, StringsStayValidWhateverTheBytes) {
  EXPECT_EQ(jsonString("a\"b\\c"), R"("a\"b\\c")");
  EXPECT_EQ(jsonString("uno\rdos\n"), R"("uno\rdos\n")");
  EXPECT_EQ(jsonString(std::string("\x01\x1A", 2)), R"("\u0001\u001A")");
  EXPECT_EQ(jsonString("línea ¡"), "\"línea ¡\"");                   // UTF-8 passes through
  EXPECT_EQ(jsonString("\xE9t\xE9"), R"("\u00E9t\u00E9")");          // Latin-1 bytes
  EXPECT_EQ(jsonString("\xC3"), R"("\u00C3")");                      // cut sequence
  EXPECT_EQ(jsonString("\xED\xA0\x80"), R"("\u00ED\u00A0\u0080")");  // surrogate
}

class Tuka2RunTest : public ::testing::Test {
 protected:
  Tuka2RunTest() {
    folder_ = std::filesystem::temp_directory_path() /
              ("tuka2-run-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  ~Tuka2RunTest() override { std::filesystem::remove_all(folder_); }

  std::string write(const std::string& name, const std::string& content) {
    const auto path = folder_ / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }
  int runMain(std::vector<std::string> args) {
    out.str("");
    err.str("");
    return runCommandLine(args, out, err);
  }
  Json parseReport() { return Json::parse(out.str()); }

  std::filesystem::path folder_;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(Tuka2RunTest, StopsOfEveryKind) {
  struct Case {
    const char* program;
    const char* extra;
    const char* stop;
    long long steps;
    int status;
  } cases[] = {
      {"0000 F000\n", "", "halt", 1, 0},
      {"0000 4140\n0001 F000\n", "", "error", 1, 1},                      // IN from port 40
      {"0000 2DFF\n0001 3DEF\n0002 C000\n", "", "no-instruction", 5, 1},  // to EFFF, on to F000
      {"0000 C000\n", "", "max-steps", 50, 1},                            // BR to RD = 0000 forever
      {"0000 E000\n", "", "error", 1, 1},                                 // RET with an empty stack
      {"0000 2E00\n0001 D000\n", "", "error", 2, 1},  // CALL push at FFFF refused
  };
  for (const auto& c : cases) {
    const std::string file = write("p.ehc", c.program);
    EXPECT_EQ(runMain({"run", file, "--json", "--fill", "0000", "--max-steps", "50"}), c.status)
        << c.program;
    const Json report = parseReport();
    EXPECT_EQ(report["stop"].text, c.stop) << c.program;
    EXPECT_EQ(report["steps"].number, c.steps) << c.program;
  }
}

TEST_F(Tuka2RunTest, InputPortsStartAndFill) {
  const std::string file = write("in.ehc", "0010 4102\n0011 4201\n0012 433F\n0013 F000\n");
  ASSERT_EQ(runMain({"run", file, "--json", "--start", "10", "--fill", "1234", "--in", "02=00AA",
                     "--in", "3f=BEEF"}),
            0);
  const Json report = parseReport();
  EXPECT_EQ(report["registers"][1].text, "00AA");
  EXPECT_EQ(report["registers"][2].text, "0010");  // port 01 is the keypad, keyed 0010
  EXPECT_EQ(report["registers"][3].text, "BEEF");
  EXPECT_EQ(report["inputs"][2].text, "00AA");
  EXPECT_EQ(report["inputs"][0].text, "1234");  // --fill: every random power-on value
  EXPECT_EQ(report["outputs"][9].text, "1234");
}

TEST_F(Tuka2RunTest, SeedMakesRunsRepeatable) {
  const std::string file = write("s.ehc", "0000 F000\n");
  runMain({"run", file, "--json", "--seed", "99", "--dump-memory"});
  const std::string first = out.str();
  runMain({"run", file, "--json", "--seed", "99", "--dump-memory"});
  EXPECT_EQ(out.str(), first);
  runMain({"run", file, "--json", "--seed", "100", "--dump-memory"});
  EXPECT_NE(out.str(), first);
}

TEST_F(Tuka2RunTest, TraceNamesEveryChangedCell) {
  const std::string file = write("t.ehc", "0000 2DE0\n0001 1D05\n0002 F000\n");
  runMain({"run", file, "--trace", "--fill", "0000"});
  std::istringstream lines(err.str());
  std::string line;
  std::getline(lines, line);
  // Cells in the order they first changed (the fetch wrote IR), final values.
  EXPECT_EQ(line, "0000 2DE0 LLI RD, H'E0 | IR=1D05 RD=00E0 PC=0001 AR=0001 DR=1D05");
  std::getline(lines, line);
  EXPECT_EQ(line, "0001 1D05 ST [RD+H'05], RD | PC=0002 IR=F000 AR=0002 DR=F000 [00E5]=00E0");
  std::getline(lines, line);
  EXPECT_EQ(line.substr(0, 15), "0002 F000 HALT ");
}

TEST_F(Tuka2RunTest, SummaryListsChangedPortsAndMessages) {
  const std::string file = write("o.ehc", "0000 2141\n0001 5107\n0002 F000\n");
  EXPECT_EQ(runMain({"run", file, "--fill", "0000"}), 0);
  const std::string summary = out.str();
  EXPECT_NE(summary.find("stop: halt after 3 steps"), std::string::npos);
  EXPECT_NE(summary.find("output port 07: 0041"), std::string::npos);
  EXPECT_EQ(summary.find("output port 06"), std::string::npos);
  EXPECT_NE(summary.find("message: Fin la ejecución :-)"), std::string::npos);
}

TEST_F(Tuka2RunTest, UnreadableFilesAndBadNamesAreStatusTwo) {
  EXPECT_EQ(runMain({"run", (folder_ / "none.ehc").string()}), 2);
  EXPECT_NE(err.str().find("none.ehc"), std::string::npos);
  EXPECT_EQ(err.str().find('\n'), err.str().size() - 1);  // one line
  EXPECT_EQ(runMain({"dis", write("prog.txt", "0000 F000\n")}), 2);
  EXPECT_EQ(runMain({"dis", folder_.string() + "/.ehc"}), 2);
}

TEST_F(Tuka2RunTest, DisPrintsTheListingAndMessagesApart) {
  const std::string file = write("d.ehc", "0001 2105\nF000 1234\n");
  EXPECT_EQ(runMain({"dis", file}), 1);
  EXPECT_EQ(out.str(), "[0001]: LLI R1, H'05\n[F000]: ST [RD+H'34], R2\n");
  EXPECT_NE(err.str().find("Intentó escribir por encima"), std::string::npos);
}

}  // namespace
}  // namespace orben::runner
