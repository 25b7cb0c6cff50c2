#include "runner/runner.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

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

TEST_F(Tuka2RunTest, UnreadableFilesAreStatusTwo) {
  for (const char* name : {"none.ehc", "none.hex", "none.asm", ".ehc"}) {
    for (const char* command : {"run", "dis"}) {
      EXPECT_EQ(runMain({command, (folder_ / name).string()}), 2) << command << " " << name;
      EXPECT_NE(err.str().find("tuka2: cannot read " + (folder_ / name).string()),
                std::string::npos)
          << err.str();
      EXPECT_EQ(err.str().find('\n'), err.str().size() - 1);  // one line
      EXPECT_EQ(out.str(), "");
    }
  }
}

// A name that is neither .EHC nor .HEX is a source: assembled in memory, it
// runs and lists exactly as the object file tuka2 asm makes of it; its
// errors are printed as asm prints them and nothing runs.
TEST_F(Tuka2RunTest, RunAndDisTakeASource) {
  const std::string source = write("suma.asm",
                                   "; the five words of suma.ehc\n"
                                   "        LLI R1, H'05\n"
                                   "        LLI R2, 3\n"
                                   "        ADDS R3, R1, R2\n"
                                   "        OUT H'01, R3\n"
                                   "        HALT\n");
  const std::string object =
      write("suma.ehc", "0000 2105\n0001 2203\n0002 6312\n0003 5301\n0004 F000\n");
  for (const char* command : {"run", "dis"}) {
    std::vector<std::string> from_object{command, object};
    std::vector<std::string> from_source{command, source};
    if (std::string(command) == "run") {
      for (auto* line : {&from_object, &from_source}) {
        line->insert(line->end(), {"--json", "--fill", "0000", "--dump-memory"});
      }
    }
    const int object_status = runMain(from_object);
    const std::string object_out = out.str();
    EXPECT_EQ(runMain(from_source), object_status) << command;
    EXPECT_EQ(out.str(), object_out) << command;
    EXPECT_EQ(err.str(), "") << command;
    if (std::string(command) == "run") {
      EXPECT_EQ(parseReport()["outputs"][1].text, "0008");
    }
  }
}

// A loop counting R2 up by R1 = 1: bucle at 0003 (LDI takes two words).
// The checks: a line each in the summary, an object each in the JSON, in
// the order they fired; the trace of a source names each word's line.
TEST_F(Tuka2RunTest, ChecksAreReportedAndTheTraceShowsTheSourceLines) {
  const std::string source = write("c.asm",
                                   "        LLI R1, 1   ; one\n"
                                   "        BR\n");
  // 0000 LLI; 0001 BR to RD's power-on 000D, filled memory (LD R0 through
  // the unset RD there is not reported again).
  EXPECT_EQ(runMain({"run", source, "--fill", "0000", "--max-steps", "20"}), 1);
  std::vector<std::string> checks;
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("check: ", 0) == 0) checks.push_back(line);
  }
  ASSERT_EQ(checks.size(), 2u) << out.str();
  EXPECT_EQ(checks[0].substr(0, 35), "check: rd-not-set at 0001, step 2: ");
  EXPECT_EQ(checks[1].substr(0, 39), "check: unwritten-word at 000D, step 3: ");
  EXPECT_EQ(runMain({"run", source, "--fill", "0000", "--max-steps", "20", "--json"}), 1);
  const Json report = parseReport();
  ASSERT_EQ(report["checks"].items.size(), 2u);
  const Json& first = report["checks"].items[0];
  EXPECT_EQ(first["address"].text, "0001");
  EXPECT_EQ(first["step"].number, 2);
  EXPECT_EQ(first["kind"].text, "rd-not-set");
  EXPECT_EQ(checks[0].substr(35), first["text"].text);
  EXPECT_EQ(report["checks"].items[1]["kind"].text, "unwritten-word");

  EXPECT_EQ(runMain({"run", source, "--fill", "0000", "--max-steps", "3", "--trace"}), 1);
  std::istringstream traced(err.str());
  std::string line;
  std::getline(traced, line);
  EXPECT_EQ(line.substr(0, 44), "0000 2101 LLI R1, H'01 (line 1: LLI R1, 1   ") << line;
  std::getline(traced, line);
  EXPECT_NE(line.find("(line 2: BR) |"), std::string::npos) << line;
  std::getline(traced, line);  // 000D: filled memory, no source line
  EXPECT_EQ(line.find("(line"), std::string::npos) << line;
  // An object file's trace has no lines to show.
  const std::string object = write("c.ehc", "0000 2101\n0001 F000\n");
  EXPECT_EQ(runMain({"run", object, "--trace"}), 0);
  EXPECT_EQ(err.str().find("(line"), std::string::npos) << err.str();
}

TEST_F(Tuka2RunTest, BreakStopsBeforeItsInstructionByAddressOrLabel) {
  const std::string source = write("b.asm",
                                   "        LDI RD, bucle\n"
                                   "        LLI R1, 1\n"
                                   "bucle:  ADDS R2, R2, R1\n"
                                   "face:   BR\n");
  struct Case {
    std::vector<std::string> breaks;
    const char* stop;
    long long steps;
    const char* pc;
  } cases[] = {
      {{"bucle"}, "breakpoint", 3, "0003"},
      {{"3"}, "breakpoint", 3, "0003"},
      {{"BUCLE", "0002"}, "breakpoint", 2, "0002"},
      {{"face"}, "breakpoint", 4, "0004"},  // the label, not address FACE
      {{"0000"}, "max-steps", 40, "0004"},  // Ejecutar's instruction does not stop
      {{"0100"}, "max-steps", 40, "0004"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> line{"run", source, "--json", "--fill", "0000", "--max-steps", "40"};
    for (const std::string& b : c.breaks) line.insert(line.end(), {"--break", b});
    EXPECT_EQ(runMain(line), 1) << c.breaks[0];
    const Json report = parseReport();
    EXPECT_EQ(report["stop"].text, c.stop) << c.breaks[0];
    EXPECT_EQ(report["steps"].number, c.steps) << c.breaks[0];
    EXPECT_EQ(report["pc"].text, c.pc) << c.breaks[0];
    // Stopped at a breakpoint, step by step as after an error stop.
    EXPECT_EQ(report["step_mode"].number, c.stop == std::string("breakpoint")) << c.breaks[0];
  }
  // The step limit reached on the breakpoint's address: the limit stops it.
  EXPECT_EQ(runMain({"run", source, "--fill", "0000", "--break", "bucle", "--max-steps", "3"}), 1);
  EXPECT_NE(out.str().find("stop: max-steps"), std::string::npos);
  for (const char* bad : {"nada", "12345", "", "G1"}) {
    EXPECT_EQ(runMain({"run", source, "--break", bad}), 2) << bad;
    EXPECT_NE(err.str().find("--break needs an address"), std::string::npos) << bad;
  }
  // An object file has no labels.
  const std::string object = write("b.ehc", "0000 C000\n");
  EXPECT_EQ(runMain({"run", object, "--break", "bucle"}), 2);
}

TEST_F(Tuka2RunTest, ASourceWithErrorsRunsNothing) {
  const std::string source = write("mal.s", "LLI R1, 5\nFROB R1\nOUT H'01, R1\nHALT\n");
  for (const char* command : {"run", "dis"}) {
    EXPECT_EQ(runMain({command, source, "--fill", "0000"}), 1) << command;
    EXPECT_EQ(out.str(), "") << command;
    EXPECT_EQ(err.str().rfind(source + ":2:", 0), 0u) << err.str();
    EXPECT_NE(err.str().find(": error: "), std::string::npos) << err.str();
    EXPECT_NE(err.str().find(source + ": 1 error, nothing loaded\n"), std::string::npos)
        << err.str();
  }
}

// An OUT that writes the value a port already holds still shows: 0000 to
// port 01 over a fill of 0000, on the fast path and traced alike.
TEST_F(Tuka2RunTest, EveryPortAnOutWroteIsShown) {
  // LLI R1, H'00; OUT H'01, R1; OUT H'3F, R1; HALT
  const std::string file = write("cero.ehc", "0000 2100\n0001 5101\n0002 513F\n0003 F000\n");
  for (const bool traced : {false, true}) {
    std::vector<std::string> line{"run", file, "--fill", "0000"};
    if (traced) line.push_back("--trace");
    ASSERT_EQ(runMain(line), 0);
    const std::string summary = out.str();
    EXPECT_NE(summary.find("output port 01: 0000\n"), std::string::npos) << summary;
    EXPECT_NE(summary.find("output port 3F: 0000\n"), std::string::npos) << summary;
    EXPECT_EQ(summary.find("output port 02"), std::string::npos) << summary;
    EXPECT_EQ(summary.find("output port 00"), std::string::npos) << summary;
    line.push_back("--json");
    ASSERT_EQ(runMain(line), 0);
    const Json report = parseReport();
    ASSERT_EQ(report["outputs_written"].items.size(), 2u);
    EXPECT_EQ(report["outputs_written"][0].number, 1);
    EXPECT_EQ(report["outputs_written"][1].number, 0x3F);
  }
  // No OUT: nothing written, and a port keyed by the panel is no OUT.
  ASSERT_EQ(runMain({"run", write("nada.ehc", "0000 F000\n"), "--json", "--fill", "0000"}), 0);
  EXPECT_TRUE(parseReport()["outputs_written"].items.empty());
}

// A corrupt line quoted back in a message keeps every byte: each control
// byte a line can hold (01H..1FH but the line ends LF, CR and the end of
// text 1AH) and 7FH comes out escaped, and the report stays valid JSON. The
// loader reads a tab as the blank it is, so the quote holds a space there.
TEST_F(Tuka2RunTest, ControlBytesInMessagesAreEscaped) {
  std::string line;
  for (int c = 0x01; c <= 0x1F; ++c) {
    if (c != '\n' && c != '\r' && c != 0x1A) line += static_cast<char>(c);
  }
  line += '\x7F';
  const std::string file = write("control.hex", ":" + line + "\n:00000001FF\n");
  ASSERT_EQ(runMain({"run", file, "--json", "--fill", "0000", "--max-steps", "0"}), 1);
  const std::string json = out.str();
  ASSERT_FALSE(json.empty());
  for (std::size_t i = 0; i + 1 < json.size(); ++i) {
    const auto c = static_cast<unsigned char>(json[i]);
    EXPECT_TRUE(c >= 0x20 && c != 0x7F) << "raw byte " << int(c) << " at " << i;
  }
  EXPECT_EQ(json.back(), '\n');
  const Json report = parseReport();
  ASSERT_FALSE(report["messages"].items.empty());
  std::string quoted = line;
  std::replace(quoted.begin(), quoted.end(), '\t', ' ');
  EXPECT_EQ(report["messages"][0].text,
            "ERROR: Archivo HEX corrupto\rMire la línea: (:" + quoted + ")");
  for (const char* escape : {"\\u0001", "\\u0008", "\\u000B", "\\u001F", "\\u007F", "\\u001B"}) {
    EXPECT_NE(json.find(escape), std::string::npos) << escape;
  }
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
  EXPECT_EQ(report.keys, (std::vector<std::string>{"stop", "steps", "pc", "ir", "ar", "dr",
                                                   "keypad", "registers", "flags", "step_mode",
                                                   "inputs", "outputs", "outputs_written",
                                                   "messages", "checks", "listing", "selected"}));
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

// Large files cost little more than their size, whatever is asked of the
// report: 20 MB of the shortest EHC lines (5 million words at one address)
// and of HEX records, and 20 MB of corrupt EHC and HEX lines (a message
// each, many times the line's size), listed and run in at most four times
// the file's size and a fixed 64 MB, with and without --json and
// --dump-memory.
TEST_F(Tuka2RunTest, LargeFilesLoadInLittleMoreThanTheirSize) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer's shadow memory and redzones count in the resident size";
#endif
  const auto repeated = [](std::string_view line) {
    std::string text;
    while (text.size() < 20'000'000) text += line;
    return text;
  };
  const std::pair<const char*, std::string> files[] = {
      {"grande.ehc", repeated("0 0\n")},
      {"grande.hex", repeated(":020000002105EF\n")},
      {"corrupto.ehc", repeated("0 G\n")},
      {"corrupto.hex", repeated("x\n")},
  };
  const std::vector<std::vector<std::string>> commands = {
      {"dis"},
      {"run", "--max-steps", "10"},
      {"run", "--max-steps", "10", "--json"},
      {"run", "--max-steps", "10", "--json", "--dump-memory"},
  };
  for (const auto& [name, text] : files) {
    const std::string file = write(name, text);
    for (const auto& command : commands) {
      std::vector<std::string> arguments = command;
      arguments.insert(arguments.begin() + 1, file);
      const Measured measured = runTuka2Measured(arguments);
      std::string shown;
      for (const auto& word : command) shown += word + " ";
      EXPECT_NE(measured.status, -1) << name << " " << shown;
      EXPECT_LE(measured.peak, 4 * static_cast<long long>(text.size()) + (64 << 20))
          << name << " " << shown << ": " << (measured.peak >> 20) << " MB";
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
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"dis"},
          std::vector<std::string>{"run", "--json", "--fill", "0000"}}) {
      std::vector<std::string> arguments = command;
      arguments.insert(arguments.begin() + 1, (folder_ / name).string());
      const Measured measured = runTuka2Measured(arguments);
      EXPECT_LE(measured.peak, kBound)
          << name << " " << command[0] << ": " << (measured.peak >> 20) << " MB";
      // A format error lists and runs what came before it (nothing: the
      // filled memory, whose 0000 is no HALT);
      // the line limit is a read error.
      EXPECT_EQ(measured.status, std::string(name) == "enorme.ehc" ? 1 : 2)
          << name << " " << command[0];
    }
  }
  const std::string pipe = (folder_ / "tubo.EHC").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(runMain({"run", pipe}), 2);
  EXPECT_NE(err.str().find("Not a regular file"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace orben::runner
