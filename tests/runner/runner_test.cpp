#include "runner/runner.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runner/json_writer.h"
#include "runner/tuka2_process.h"
#include "support/json_value.h"

namespace orben::runner {
namespace {

using orben::testing::Json;

TEST(Tuka2Options, UsageErrors) {
  // The arguments, and a part of the reason given.
  const std::pair<std::vector<std::string>, const char*> cases[] = {
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
  for (const auto& [args, reason] : cases) {
    const ParseResult parsed = parseArguments(args);
    EXPECT_FALSE(parsed.options.has_value()) << parsed.error;
    EXPECT_NE(parsed.error.find(reason), std::string::npos) << parsed.error;
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
    const char *program, *stop;
    long long steps;
    int status;
  } cases[] = {
      {"0000 F000\n", "halt", 1, 0},
      {"0000 4140\n0001 F000\n", "error", 1, 1},                      // IN from port 40
      {"0000 2DFF\n0001 3DEF\n0002 C000\n", "no-instruction", 5, 1},  // to EFFF, on to F000
      {"0000 C000\n", "max-steps", 50, 1},                            // BR to RD = 0000 forever
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

// Runs the tuka2 executable as a user would.
std::string program(const char* name) {
  return std::string(TUKA2_PROGRAMS) + "/" + name;
}

std::vector<std::string> texts(const Json& array) {
  std::vector<std::string> texts;
  for (const auto& item : array.items) texts.push_back(item.text);
  return texts;
}

TEST(Tuka2EndToEnd, AdditionProgramOutputsEightAndHalts) {
  const Ran ran = runTuka2("run " + program("suma.ehc") + " --json --seed 3");
  ASSERT_EQ(ran.status, 0) << ran.out;
  const Json report = Json::parse(ran.out);
  EXPECT_EQ(report.keys,
            (std::vector<std::string>{"stop", "steps", "pc", "ir", "ar", "dr", "keypad",
                                      "registers", "flags", "step_mode", "inputs", "outputs",
                                      "messages", "listing", "selected"}));
  EXPECT_EQ(report["stop"].text, "halt");
  EXPECT_EQ(report["steps"].number, 5);
  EXPECT_EQ(report["pc"].text, "0005");
  EXPECT_EQ(report["registers"][3].text, "0008");
  EXPECT_EQ(report["registers"][14].text, "F000");
  EXPECT_EQ(report["outputs"][1].text, "0008");
  EXPECT_EQ(report["outputs"].items.size(), 64u);
  EXPECT_EQ(report["keypad"].text, "0000");
  EXPECT_EQ(report["inputs"][1].text, "0000");  // the keypad is input port 01
  for (const char* f : {"Z", "S", "C", "V"}) EXPECT_EQ(report["flags"][f].number, 0) << f;
  EXPECT_EQ(report["step_mode"].number, 1);
  EXPECT_EQ(texts(report["messages"]), std::vector<std::string>{"Fin la ejecución :-)"});
  EXPECT_EQ(texts(report["listing"]),
            (std::vector<std::string>{"[0000]: LLI R1, H'05", "[0001]: LLI R2, H'03",
                                      "[0002]: ADDS R3, R1, R2", "[0003]: OUT H'01, R3",
                                      "[0004]: HALT"}));
  // PC 0005 has no line, so the HALT's line stays selected.
  EXPECT_EQ(report["selected"].number, 4);
}

// --fill and --dump-memory: every random power-on value and memory word is
// the fill word; the return address was pushed at EFFF, the last word dumped.
TEST(Tuka2EndToEnd, CallAndReturnExample) {
  const Ran ran = runTuka2("run " + program("llamada.ehc") + " --json --fill 1234 --dump-memory");
  ASSERT_EQ(ran.status, 0) << ran.out;
  const Json report = Json::parse(ran.out);
  EXPECT_EQ(report["outputs"][1].text, "0007");
  ASSERT_EQ(report["memory"].items.size(), 0xF000u);
  EXPECT_EQ(report["memory"][0xEFFF].text, "0002");
  EXPECT_EQ(report["memory"][0x11].text, "5101");
  EXPECT_EQ(report["memory"][0x20].text, "1234");
  EXPECT_EQ(report["ar"].text, "0003");
}

// The executable's exit status: 0 at HALT, also after a load message (a
// corrupt HEX line passed over), 1 at any other stop, 2 for usage errors.
TEST(Tuka2EndToEnd, ExitStatusesAndStops) {
  EXPECT_EQ(runTuka2("run " + program("corrupto.hex") + " --fill 0000 --max-steps 20").status, 0);
  EXPECT_EQ(runTuka2("run " + program("suma.ehc") + " --max-steps 2").status, 1);
  EXPECT_EQ(runTuka2("frobnicate").status, 2);
  const Json report =
      Json::parse(runTuka2("run " + program("suma.ehc") + " --max-steps 0 --json").out);
  EXPECT_EQ(report["stop"].text, "max-steps");
  EXPECT_EQ(report["steps"].number, 0);
  EXPECT_EQ(report["listing"].items.size(), 5u);
  const Ran help = runTuka2("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--max-steps"), std::string::npos);
}

// Large valid files cost little more than their size: 20 MB of the
// shortest EHC lines (5 million words) and of HEX records are listed and
// run in at most four times the file's size and a fixed 32 MB.
TEST_F(Tuka2RunTest, LargeFilesLoadInLittleMoreThanTheirSize) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer's shadow memory and redzones count in the resident size";
#endif
  std::string ehc;
  while (ehc.size() < 20'000'000) ehc += "0 0\n";
  std::string hex;
  while (hex.size() < 20'000'000) hex += ":020000002105EF\n";
  for (const auto& [name, text] : {std::pair{"grande.ehc", &ehc}, std::pair{"grande.hex", &hex}}) {
    const std::string file = write(name, *text);
    for (const char* command : {"dis", "run"}) {
      std::vector<std::string> arguments{command, file};
      if (std::string(command) == "run") arguments.insert(arguments.end(), {"--max-steps", "10"});
      const Measured measured = runTuka2Measured(arguments);
      EXPECT_NE(measured.status, -1) << name << " " << command;
      EXPECT_LE(measured.peak, 4 * static_cast<long long>(text->size()) + (32 << 20))
          << name << " " << command << ": " << (measured.peak >> 20) << " MB";
    }
  }
}

// A 100 GB file of zero bytes (sparse) ends at once: as EHC with the
// format error of its first line, as HEX at the line limit; neither grows
// memory. A pipe is refused before it is opened, never waited on.
TEST_F(Tuka2RunTest, EndlessFilesAndPipesEndAtOnce) {
#if defined(__SANITIZE_ADDRESS__)
  // AddressSanitizer's shadow memory counts in the resident size; growing
  // with the file would still pass any bound by gigabytes.
  constexpr long long kBound = 128 << 20;
#else
  constexpr long long kBound = 32 << 20;
#endif
  for (const char* name : {"enorme.ehc", "enorme.hex"}) {
    std::filesystem::resize_file(write(name, ""), std::uintmax_t{100} << 30);
    const Measured measured = runTuka2Measured({"dis", (folder_ / name).string()});
    EXPECT_LE(measured.peak, kBound) << name << ": " << (measured.peak >> 20) << " MB";
    EXPECT_EQ(measured.status, std::string(name) == "enorme.ehc" ? 1 : 2) << name;
  }
  const std::string pipe = (folder_ / "tubo.EHC").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(runMain({"run", pipe}), 2);
  EXPECT_NE(err.str().find("Not a regular file"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace orben::runner
